#pragma once

#include <QDateTime>
#include <QPrinter>
#include <QWidget>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "ColumnMapping.h"
#include "ListSheets.h"
#include "SourceTable.h"
#include "WorkProgress.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSettings;
class QSortFilterProxyModel;
class QSpinBox;
class QTableView;

namespace zukaro {

// Notes about how labels come out on paper, by the row index they came from.
using LabelNotes = std::vector<std::pair<std::size_t, QString>>;

class CommonDialog1;
class MessageBoxes;
class ProductListModel;
class ProductMaster;
class ScratchFile;

// What the list window needs from the rest of the program.
struct ProductListHooks {
    // A sheet with the layout and offsets the labels are printed with (the editor's).
    std::function<SheetState()> base;
    // Shows a sheet of the list in the editor.
    std::function<void(const SheetState&, const QString& title)> openInEditor;
    ProductMaster* master = nullptr;  // imported lists are kept there, when given
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
// With a product master each row is marked against the label last printed for its code (新規,
// 価格変更, 表示変更, 変更なし), 「変更分だけ」 checks only the first three, and after a print or
// a save the clerk is asked whether to record the rows as printed. A print that leaves its last
// sheet partly used offers the label after it as the next start, shown beside 開始位置 and
// taken only by its button; another list starts at label 1.
//
// Reading a list (and keeping it in the master), saving and printing every sheet run on a
// thread of their own behind a progress dialog with キャンセル (see BackgroundWork); a cancelled
// reading changes neither the list nor the master. Sheets are made only when one is opened,
// saved or printed.
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

private:
    // Reads a list (again), handing over its rows as they come.
    using Reader = std::function<SourceResult(const RowSink&, WorkProgress&)>;
    bool loadList(Reader read, const QString& name, bool append);
    // The editor's sheet, whose layout the list's labels take; a default one without an editor.
    SheetState baseSheet() const;
    bool allowedJob(const SheetPlan& plan);
    bool submitJob(const ScratchFile& job, const QString& printerName);
    void refresh();
    // After a print or a save: whether to record the rows as printed (nothing is recorded
    // without the clerk's word); `done` says what was done with them (印刷した, 保存した).
    void offerToRecord(const SheetPlan& laid, const QString& done);
    // After a print: the label after the last one printed, offered as the next start.
    void rememberNextStart(const SheetPlan& laid);
    void showNextStart();

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
    // `notesLayout_`; `notesChecked_` false for a list too long to check.
    LabelNotes labelNotes_;
    std::optional<Layout> notesLayout_;
    bool notesChecked_ = true;
    QString listFile_;  // the file the list was read from; empty for pasted rows only
    QString listName_;  // what the title calls the list
    int pastes_ = 0;    // pastes since the list was read, for their rows' numbers
    int offeredStart_ = 0;
    QDateTime offeredAfter_;  // when the print that left it ended

    ProductListModel* model_;
    QSortFilterProxyModel* proxy_;
    QTableView* table;
    QLineEdit* filter;
    QPlainTextEdit* problems;
    QLabel* summary;
    QCheckBox* widenKatakana;
    QCheckBox* changedOnly;
    QSpinBox* start;
    QLabel* nextStartNote;
    QPushButton* nextStart;
    QSpinBox* sheetNumber;
    QPushButton* openInEditor;
    QPushButton* save;
    QPushButton* print;
};

}  // namespace zukaro
