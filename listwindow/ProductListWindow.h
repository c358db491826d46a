#pragma once

#include <QPrinter>
#include <QWidget>
#include <functional>

#include "ColumnMapping.h"
#include "ListSheets.h"
#include "SourceTable.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSettings;
class QSortFilterProxyModel;
class QSpinBox;
class QTableView;

namespace zukaro {

class CommonDialog1;
class MessageBoxes;
class ProductListModel;
class ProductMaster;

// What the list window needs from the rest of the program.
struct ProductListHooks {
    // A sheet with the layout and offsets the labels are printed with (the editor's).
    std::function<SheetState()> base;
    // Shows a sheet of the list in the editor.
    std::function<void(const SheetState&, const QString& title)> openInEditor;
    ProductMaster* master = nullptr;  // imported lists are kept there, when given
    QSettings* columns = nullptr;     // column mappings remembered per header, when given
    QString settingsFolder;           // where the printers' calibrations are kept, when given
};

// 商品リスト: a shop's product list (a CSV/TSV or .xlsx file, or rows pasted from a
// spreadsheet) in a table with a print checkbox and copies per row, sorting and a filter; the
// start position on the first sheet; and the sheets it makes, to open one in the editor, to
// save all as label files NAME-001.csv … or to print all in one job. Rows that cannot become
// labels, or will print without bars, are listed below the table.
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

    // The sheets of the checked rows, each with its copies, from the start position.
    ListSheets sheets() const;
    const ProductListModel& model() const { return *model_; }

    // The commands behind the buttons.
    void openFile();
    void pasteFromClipboard();
    void changeColumns();
    void openSheetInEditor();
    void saveAll();
    void printAll();

private:
    bool showList(const SourceResult& source, const QString& name, bool append);
    void refresh();

    CommonDialog1& dialog_;
    MessageBoxes& messages_;
    ProductListHooks hooks_;
    QPrinter printer_{QPrinter::HighResolution};

    SourceTable table_;  // the last list read, for 列の割り当て
    ColumnMapping mapping_ = ColumnMapping::positional();
    std::vector<RowProblem> readProblems_;
    QString listFile_;   // the file the list was read from; empty for pasted rows only
    QString listName_;   // what the title calls the list
    int pastes_ = 0;     // pastes since the list was read, for their rows' numbers

    ProductListModel* model_;
    QSortFilterProxyModel* proxy_;
    QTableView* table;
    QLineEdit* filter;
    QPlainTextEdit* problems;
    QLabel* summary;
    QSpinBox* start;
    QSpinBox* sheetNumber;
    QPushButton* openInEditor;
    QPushButton* save;
    QPushButton* print;
};

}  // namespace zukaro
