#pragma once

#include <QDateTime>
#include <QPrinter>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "ColumnMapping.h"
#include "ListLoading.h"
#include "ListSheets.h"
#include "MasterComparison.h"
#include "SourceTable.h"
#include "WorkProgress.h"

class QCheckBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSettings;
class QSortFilterProxyModel;
class QSpinBox;
class QTableView;
class QVBoxLayout;

namespace zukaro {

class CommonDialog1;
class MessageBoxes;
class PrintDayEdit;
class ProductListModel;
class ProductMaster;

// What the list window needs from the rest of the program.
struct ProductListHooks {
    // A sheet with the layout and offsets the labels are printed with (the editor's).
    std::function<SheetState()> base;
    // Changes that layout (the editor's, as a step the clerk can undo there): 税込表示 in one
    // click. Without it the window only says what prints untaxed.
    std::function<void(const std::function<void(Layout&)>&)> changeLayout;
    // Shows a sheet of the list in the editor, as it prints on `day` (the list's 印刷日).
    std::function<void(const SheetState&, const QString& title, const QDate& day)> openInEditor;
    ProductMaster* master = nullptr;  // lists are compared with it, registered on the clerk's word
    QSettings* columns = nullptr;     // column mappings remembered per header, when given
    // Where the printers' calibrations and the next start on a partly used sheet are kept, when
    // given (else the next start is kept while the window is open).
    QString settingsFolder;
    int progressDelayMs = 400;  // how long work runs before its progress dialog shows
};

// 商品リスト: a shop's product list (a CSV/TSV or .xlsx file, or rows pasted from a
// spreadsheet) in a table with a print checkbox and copies per row, sorting and a filter; the
// start position on the first sheet; and the sheets it makes, to open one in the editor, to
// save all as label files NAME-001.csv … or to print all in one job. Rows that cannot become
// labels, or will print without bars, are listed below the table.
//
// With a product master the list is compared with it as it is read, and the window says what
// registering the list would do (新規, 売価が変わる with old → new, 変更なし); nothing is stored
// until 「マスターに登録」, which asks first when a price would go back to an older list's.
// Rows of a JAN code alone (a scanner's list) take their texts from the master. Each row is
// marked against the label last printed for its code (新規, 価格変更, 表示変更, 変更なし),
// 「変更分だけ」 checks only the first three, and after a print or a save the clerk is asked
// whether to record the rows as printed. A print that leaves its last sheet partly used offers
// the label after it as the next start, shown beside 開始位置 and taken only by its button;
// another list starts at label 1. Prices a row says are 税抜 that the layout prints as typed are
// said under the table and before a print or save, with 税込表示 one click away.
//
// Reading a list, registering it, saving and printing every sheet run on a thread of their own
// behind a progress dialog with キャンセル (see BackgroundWork); a cancelled reading or
// registration changes neither the list nor the master. Sheets are made only when one is
// opened, saved or printed.
class ProductListWindow final : public QWidget {
    Q_OBJECT

public:
    ProductListWindow(CommonDialog1& dialog, MessageBoxes& messages, ProductListHooks hooks,
                      QWidget* parent = nullptr);
    ~ProductListWindow() override;

    // ファイルを開く after its dialog: replaces the list with the file's rows.
    bool importFile(const QString& path);
    // 貼り付け: adds rows pasted from a spreadsheet (tab-separated text).
    bool pasteRows(const QString& text);

    // Where the labels of the checked rows go, each row with its copies, from the start
    // position; valid until the list changes.
    SheetPlan plan() const;
    // Sheet `index` (from 0) of the plan, with the editor's layout.
    SheetState sheet(qint64 index) const;
    const ProductListModel& model() const { return *model_; }

    // The start offered after a print that left the last sheet partly used (2-21); 0 for none.
    int offeredStart() const { return offeredStart_; }

    // The commands behind the buttons.
    void openFile();
    void pasteFromClipboard();
    void changeColumns();
    void openSheetInEditor();
    void saveAll();
    void printAll();
    // 「マスターに登録」: the list into the product master, as compared just before.
    void registerWithMaster();
    // 「税込表示にする」: the layout prints totals with tax.
    void showTaxIncluded();

protected:
    // Back to the window (from the editor, whose layout may have changed): the notes anew.
    void changeEvent(QEvent* event) override;

private:
    // The window's parts, made once by the constructor.
    QHBoxLayout* buildListCommands();
    void buildTable();
    void buildListChoices(QHBoxLayout& top);
    QHBoxLayout* buildMasterRow();
    void buildSheetRows(QVBoxLayout& layout);
    QLabel* wrappingLabel(const QString& name);
    void buildWidgets();
    void wire();
    // The next start a print left in list.ini, offered again.
    void restoreNextStart();

    // Reads a list (again), handing over its rows as they come.
    using Reader = std::function<SourceResult(const RowSink&, WorkProgress&)>;
    // `madeAt`: when the list was made (a file's modification time, or now for pasted rows).
    bool loadList(Reader read, const QString& name, bool append, const QDateTime& madeAt);
    // What the master would do with the list, beside 「マスターに登録」.
    void showMasterView();
    // Before a print or a save (`what`: 印刷, 保存): when prices the rows say are 税抜 would
    // print as typed, asks whether to show totals with tax first. False: the clerk stopped.
    bool confirmUntaxed(const SheetPlan& plan, const QString& what);
    // The list.ini beside the printers' calibrations; empty without a settings folder.
    QString listSettingsFile() const;
    // The editor's sheet, whose layout the list's labels take; a default one without an editor.
    SheetState baseSheet() const;
    bool allowedJob(const SheetPlan& plan);
    void refresh();
    // After a print or a save: whether to record the rows as printed (nothing is recorded
    // without the clerk's word); `done` says what was done with them (印刷した, 保存した).
    void offerToRecord(const SheetPlan& laid, const QString& done);
    // After a print: the label after the last one printed, offered as the next start.
    void rememberNextStart(const SheetPlan& laid);
    void showNextStart();
    // 印刷日 changed: the rows marked against the history as they print on the new day.
    void markForDay();
    // The day being typed is taken now, not when the clerk pauses: before a print, a save, the
    // editor and 変更分だけ.
    void settleDay();

    CommonDialog1& dialog_;
    MessageBoxes& messages_;
    ProductListHooks hooks_;
    QPrinter printer_{QPrinter::HighResolution};

    // For 列の割り当て: the last list, read again with the columns chosen, and its first rows,
    // which the choice is made from. A long list is not kept twice.
    Reader reader_;
    SourceTable head_;
    ColumnMapping mapping_ = ColumnMapping::positional();
    std::vector<RowProblem> readProblems_;  // the first ones
    qint64 readProblemCount_ = 0;           // all of them
    // How each row's labels come out on paper (LabelLayout), by row index, as checked with
    // `notesLayout_` for `notesDay_`; `notesChecked_` false for a list too long to check.
    LabelNotes labelNotes_;
    std::optional<Layout> notesLayout_;
    QDate notesDay_;
    bool notesChecked_ = true;
    QString listFile_;  // the file the list was read from; empty for pasted rows only
    std::vector<QDateTime> listTimes_;  // by batch: when its rows were made
    MasterView masterView_;             // the list against the master, as last compared
    QString registered_;                // what 「マスターに登録」 last did
    QString listName_;                  // what the title calls the list
    int pastes_ = 0;                    // pastes since the list was read, for their rows' numbers
    int offeredStart_ = 0;
    QDateTime offeredAfter_;  // when the print that left it ended
    // Runs from each change of 印刷日: the rows are marked once the clerk has stopped typing a
    // day, so that a keystroke never meets the window busy with a day half typed.
    QTimer dayTyped_;

    ProductListModel* model_;
    QSortFilterProxyModel* proxy_;
    QPushButton* openButton;
    QPushButton* pasteButton;
    QPushButton* columnsButton;
    QTableView* table;
    QLineEdit* filter;
    QPlainTextEdit* problems;
    QLabel* summary;
    QLabel* masterNote;
    QPushButton* registerButton;
    QPushButton* taxIncluded;
    QCheckBox* widenKatakana;
    QCheckBox* changedOnly;
    QSpinBox* start;
    PrintDayEdit* printDay;
    QLabel* nextStartNote;
    QPushButton* nextStart;
    QSpinBox* sheetNumber;
    QPushButton* openInEditor;
    QPushButton* save;
    QPushButton* print;
};

}  // namespace zukaro
