#pragma once

#include <QDialog>
#include <optional>

#include "PrinterCalibration.h"
#include "PrintingSettings.h"
#include "SheetState.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPrinter;
class QPushButton;

namespace zukaro {

class CommonDialog1;
class MessageBoxes;

// 印刷位置の調整: prints the calibration sheet on the chosen printer, takes what the clerk
// reads off its scales (where the crosses at label 1 and label 21 landed), shows the printer's
// offset and stretch in words and keeps them for that printer in the user's settings folder.
// From then on every print to that printer puts the labels where the crosses said. A printer
// with a calibration opens on its check sheet (確認用シート): readings of 0 keep the stored
// calibration, others correct it; nothing stored is replaced without a question.
class CalibrationDialog final : public QDialog {
    Q_OBJECT

public:
    // `printer` is the window's printer (the print dialog starts from it); the sheet is printed
    // at `shift`, as the window prints its sheets.
    CalibrationDialog(CommonDialog1& dialogs, MessageBoxes& messages, QPrinter& printer,
                      QString settingsFolder, SheetOrigin shift, QWidget* parent = nullptr);

    // The printer whose calibration the dialog shows and keeps.
    QString printerName() const;
    // What the readings give, as shown.
    CalibrationResult result() const;

    // The buttons' commands.
    void printSheet(bool check);
    void save();
    void forget();

private:
    struct Axis {
        QComboBox* direction;
        QDoubleSpinBox* distance;
    };
    Axis axis(const QString& name, const QString& plus, const QString& minus);
    void showStored();
    void showResult();
    void choosePrinter(const QString& name);
    // Which sheet the readings are of: the one without calibration, or the check sheet.
    bool readsCheckSheet() const;
    void readSheet(bool check);

    CommonDialog1& dialogs_;
    MessageBoxes& messages_;
    QPrinter& printer_;
    QString folder_;
    SheetOrigin shift_;

    QComboBox* printers_;
    QLabel* stored_;
    QLabel* storedProblem_;
    std::optional<StoredCalibration> storedCalibration_;  // the chosen printer's
    QComboBox* sheetRead_;
    QPushButton* printButton_;
    QPushButton* checkButton_;
    Axis firstRight_, firstDown_, lastRight_, lastDown_;
    QLabel* result_;
    QPushButton* saveButton_;
    QPushButton* forgetButton_;
};

}  // namespace zukaro
