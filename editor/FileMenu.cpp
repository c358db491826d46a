// The file menu: open, overwrite save and save as, the printer's calibration, and the two
// buttons that keep or restore the layout pattern (pt保存, デフォルト).
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

#include "BuiltInValues.h"
#include "CalibrationDialog.h"
#include "ColumnMapping.h"
#include "CommonDialog1.h"
#include "EditorWindow.h"
#include "EntryField.h"
#include "LabelFile.h"
#include "MasterDialog.h"
#include "MessageBoxes.h"
#include "ProductListSource.h"
#include "ProductMaster.h"
#include "SettingsFile.h"
#include "TaxPrice.h"
#include "UnencodableText.h"

namespace zukaro {
namespace {

const QString kFilter = QStringLiteral(
    "テキスト ファイル (*.csv)|*.csv|テキスト ファイル (*.txt)|*.txt|すべてのファイル (*.*)|*.*|");
// Opening shows both extensions at once: a sheet may be saved as .csv or .txt.
const QString kOpenFilter = QStringLiteral(
    "ラベルデータ (*.csv;*.txt)|*.csv;*.txt|テキスト ファイル (*.csv)|*.csv|"
    "テキスト ファイル (*.txt)|*.txt|すべてのファイル (*.*)|*.*|");

// Labels with any text: what a saved file holds for the clerk.
int filledLabels(const SheetState& sheet) {
    int count = 0;
    for (int n = 1; n <= kLabelCount; ++n) {
        count += sheet.label(n).isBlank() ? 0 : 1;
    }
    return count;
}

// A file that is no sheet but reads as a product list (a header naming its columns).
bool looksLikeProductList(const QString& path) {
    const SourceResult source = readProductFile(path);
    if (!source.ok || source.table.rows.empty()) {
        return false;
    }
    const ColumnMapping mapping = ColumnMapping::detect(source.table);
    return mapping.headerRow() >= 0 &&
           (mapping.column(ProductColumn::Jan) >= 0 || mapping.column(ProductColumn::Product) >= 0);
}

// Asks before characters that Shift_JIS cannot hold are written as "?". Returns the policy
// to write with, or nothing when the user said no.
std::optional<UnencodablePolicy> confirmUnencodable(EditorWindow& window,
                                                    const std::vector<UnencodableText>& found) {
    if (found.empty()) {
        return UnencodablePolicy::Refuse;
    }
    const QString text = QStringLiteral("次の文字は Shift_JIS で保存できません。\n") +
                         describeUnencodable(found) +
                         QStringLiteral("\n\nこれらの文字を「?」に置き換えて保存しますか？");
    if (!window.messages().askYesNo(QStringLiteral("保存"), text, MessageIcon::Exclamation,
                                    false)) {
        return std::nullopt;
    }
    return UnencodablePolicy::WriteQuestionMark;
}

// Writes the sheet to `path`. Typed text is stored first so the file holds what the user
// sees. Returns false (after telling the user why) when nothing was written.
bool writeSheet(EditorWindow& window, const QString& path) {
    window.storeFocusedField();
    const std::optional<UnencodablePolicy> policy =
        confirmUnencodable(window, findUnencodable(window.sheet()));
    if (!policy) {
        return false;
    }
    const FileResult result = writeLabelFile(path, window.sheet(), *policy);
    if (!result.ok) {
        window.messages().tell(QStringLiteral("エラー"),
                               QStringLiteral("ファイルを保存できませんでした。\n") + result.error,
                               MessageIcon::Critical);
        return false;
    }
    return true;
}

// Writes the sheet to `path` and, when it was written, makes it the sheet's file and shows
// label 1. Returns whether the sheet was saved.
bool saveTo(EditorWindow& window, const QString& path) {
    if (!writeSheet(window, path)) {
        window.focusText1();
        return false;
    }
    window.markSaved();
    window.setFileName(path);
    window.returnToLabel1();
    QString said = QStringLiteral("ラベル %1 枚分を %2 に保存しました。")
                       .arg(filledLabels(window.sheet()))
                       .arg(QDir::toNativeSeparators(path));
    if (const std::vector<int> untaxed = labelsPrintedWithoutTax(window.sheet());
        !untaxed.empty()) {
        said += QStringLiteral("　") + printedWithoutTaxNote(untaxed);
    }
    window.say(said);
    return true;
}

bool saveAs(EditorWindow& window) {
    QString path;
    if (window.dialog().showSave(kFilter, path) == kCancelError) {
        window.focusText1();
        return false;
    }
    if (QFileInfo::exists(path)) {
        const bool overwrite = window.messages().askYesNo(
            QStringLiteral("削除"), path + QStringLiteral("はすでに存在します　上書きしますか?"),
            MessageIcon::Critical, false);
        if (!overwrite) {
            window.focusText1();
            return false;
        }
    }
    return saveTo(window, path);
}

void open(EditorWindow& window) {
    if (!window.confirmDiscard()) {
        return;
    }
    QString path;
    if (window.dialog().showOpen(kOpenFilter, path) == kCancelError) {
        return;  // the focus stays where it was
    }
    openSheetFile(window, path);
}

void savePattern(EditorWindow& window) {
    if (!window.messages().askYesNo(kProgramCaption, QStringLiteral("保存しますか？"),
                                    MessageIcon::None, true)) {
        return;
    }
    const Layout& layout = window.sheet().layout;
    const std::optional<UnencodablePolicy> policy =
        confirmUnencodable(window, findUnencodable(layout));
    if (!policy) {
        return;
    }
    const FileResult result = saveSettings(window.settingsLocations(), layout, *policy);
    if (!result.ok) {
        window.messages().tell(
            QStringLiteral("エラー"),
            QStringLiteral("印字位置とフォントパターンを保存できませんでした。\n") + result.error,
            MessageIcon::Critical);
        return;
    }
    window.say(QStringLiteral("印字位置とフォントパターンを %1 に保存しました。")
                   .arg(QDir::toNativeSeparators(result.path)));
}

// 印刷位置の調整: the calibration sheet is printed at the sheet's shift, as the sheet is.
void calibratePrinter(EditorWindow& window) {
    const SheetState& sheet = window.sheet();
    CalibrationDialog dialog(window.dialog(), window.messages(), window.printer(),
                             window.settingsLocations().userDir, {sheet.sheetX, sheet.sheetY},
                             &window);
    dialog.exec();
    window.focusText1();
}

// 商品マスター: where the master is; the window's master moves there when saved.
void chooseMaster(EditorWindow& window) {
    if (window.productMaster() == nullptr) {
        return;
    }
    MasterDialog dialog(*window.productMaster(), window.dialog(), window.messages(), &window);
    if (dialog.exec() == QDialog::Accepted) {
        window.say(QStringLiteral("商品マスタを %1 にしました。")
                       .arg(window.productMaster()->location().describe()));
    }
    window.focusText1();
}

void restoreDefaultPattern(EditorWindow& window) {
    if (!window.messages().askYesNo(kProgramCaption,
                                    QStringLiteral("設定をデフォルトにもどしますか？"),
                                    MessageIcon::None, true)) {
        return;
    }
    window.edit(QStringLiteral("デフォルト"), [&window] { applyDefaultPattern(window.sheet()); });
    window.mirrorCaptions();
    window.showPreview();
}

}  // namespace

bool saveSheet(EditorWindow& window) {
    const QString fileName = window.sheet().fileName;
    // Without a file of its own (a new sheet, or after 全クリア) the sheet needs a name.
    if (fileName == kUntitled || fileName.isEmpty()) {
        return saveAs(window);
    }
    return saveTo(window, fileName);
}

bool openSheetFile(EditorWindow& window, const QString& path) {
    SheetState& sheet = window.sheet();
    // Rate changes are the law's, not the file's: those the window knows stay known.
    const std::vector<TaxRateChange> known = sheet.layout.taxRateChanges;
    const LabelFileReport report = readLabelFile(path, sheet);
    if (!report.opened) {
        if (!report.unreadable && window.canOpenProductFile() && looksLikeProductList(path)) {
            if (window.messages().askYesNo(
                    QStringLiteral("ファイルを開く"),
                    QDir::toNativeSeparators(path) +
                        QStringLiteral("\nはラベルのデータではなく、商品リストのようです。\n\n"
                                       "商品リストの画面で開きますか？"),
                    MessageIcon::Question, true)) {
                window.openProductFile(path);
            }
            return false;
        }
        QString text = QStringLiteral("ズカロ形式のデータではありません");
        if (report.unreadable) {
            text = QStringLiteral("ファイルを開けませんでした。\n") + report.error;
        } else if (!report.encodingHint.isEmpty()) {
            text += QStringLiteral("\n\n") + report.encodingHint;
        }
        window.messages().tell(QStringLiteral("エラー"), text, MessageIcon::Critical);
        return false;
    }
    addKnownTaxRateChanges(sheet.layout.taxRateChanges, known);
    // The reader emptied the labels before it read the records.
    sheet.currentLabel = 1;
    window.say({});  // a note about the old sheet would now mislead
    window.undoStack().clear();
    window.markSaved();
    window.loadEntryFields();
    window.mirrorCaptions();
    window.controls().Label6->setText(QStringLiteral("1/21"));
    window.setFileName(path);
    // The field that had the focus shows label 1 now; leaving it stores nothing and does not
    // move on, so the editor stays on label 1.
    window.showPreviewQuietly();
    if (report.anythingSkipped()) {
        window.messages().tell(
            QStringLiteral("注意"),
            path +
                QStringLiteral(
                    "\nの一部を読み込めませんでした。読み込めた分だけを開きました。\n\n") +
                report.warnings().join(QLatin1Char('\n')),
            MessageIcon::Exclamation);
    }
    return true;
}

void wireFileMenu(EditorWindow& window) {
    const EditorControls& ui = window.controls();
    window.onMenu(ui.f_open, [&window] { open(window); });
    window.onMenu(ui.U_SAVE, [&window] { saveSheet(window); });
    window.onMenu(ui.N_SAVE, [&window] { saveAs(window); });
    window.onClick(ui.pt保存, [&window] { savePattern(window); });
    window.onClick(ui.デフォルト, [&window] { restoreDefaultPattern(window); });
    window.onMenu(ui.印刷位置の調整, [&window] { calibratePrinter(window); });
    window.onMenu(ui.商品マスター, [&window] { chooseMaster(window); });
    window.onClick(ui.印刷位置の調整ボタン, [&window] { calibratePrinter(window); });
}

}  // namespace zukaro
