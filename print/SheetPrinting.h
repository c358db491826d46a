#pragma once

#include <QDate>
#include <QString>
#include <functional>

class QPrinter;

namespace zukaro {

struct SheetState;
class CommonDialog1;
class MessageBoxes;

// 印刷 / P_印刷 of the editor: the print dialog, then the sheet at 100 % with real bars,
// calibrated for the printer chosen, as one PrintJob. Cancel prints nothing; a missing
// printer, a PDF that could not be written and a queue that refuses the job are told. The
// preview and its zoom are not touched. The editor window owns the sheet, the dialogs and the
// printer.
class SheetPrinting {
public:
    SheetPrinting(const SheetState& sheet, CommonDialog1& dialog, MessageBoxes& messages,
                  QPrinter& printer);

    // The user's settings folder, where each printer's calibration is kept; none: printing
    // is never calibrated.
    void setSettingsFolder(const QString& folder) { settingsFolder_ = folder; }
    // Asked before the print dialog opens; false prints nothing.
    void setPrintCheck(std::function<bool()> check) { printCheck_ = std::move(check); }
    // Told where a print went, once it went out: 「…/今週.pdf に印刷しました。」.
    void setPrinted(std::function<void(const QString&)> printed) { printed_ = std::move(printed); }
    // The day the sheet prints for (印刷日), asked as the print starts; none: today.
    void setPrintDay(std::function<QDate()> day) { printDay_ = std::move(day); }
    // Puts the keyboard focus back into Text1 once the command is done.
    void setFocusText1(std::function<void()> focus) { focusText1_ = std::move(focus); }

    void printSheet();

private:
    const SheetState& sheet_;
    CommonDialog1& dialog_;
    MessageBoxes& messages_;
    QPrinter& printer_;
    QString settingsFolder_;
    std::function<bool()> printCheck_;
    std::function<void(const QString&)> printed_;
    std::function<QDate()> printDay_;
    std::function<void()> focusText1_;
};

}  // namespace zukaro
