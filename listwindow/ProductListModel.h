#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <vector>

#include "ListSession.h"
#include "ListSheets.h"
#include "PrintHistory.h"
#include "ProductRow.h"

namespace zukaro {

// The rows of a product list as the list window shows them: a print checkbox and a copies
// count per row, how the row stands against the label last printed (when the master was
// asked), then the texts. The JAN column shows the code with its check digit completed, as the
// editor would, and marks a code that will print without bars.
class ProductListModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { Print, Copies, Change, Jan, Maker, Product, Spec, Lot, Price, Rate, ColumnCount };

    // What the 前回 column says of a row that was printed before: the price then, as the clerk
    // reads it, and for its tool tip what changed and when it was printed.
    using Printed = LastPrintedWords;

    explicit ProductListModel(QObject* parent = nullptr);

    // Replaces the rows, with checkRow() of each; every row is checked for printing.
    void setRows(std::vector<ProductRow> rows, std::vector<RowCheck> checks);
    // Appends rows (a second paste adds to the list).
    void appendRows(std::vector<ProductRow> rows, std::vector<RowCheck> checks);
    const std::vector<ProductRow>& rows() const { return rows_; }
    // Per row: whether it is checked for printing, and its checkRow().
    const std::vector<bool>& chosen() const { return print_; }
    const std::vector<RowCheck>& checks() const { return checks_; }

    // The marks of the rows from `first` on (to the end), each printed row's words by index.
    // Without marks the 前回 column stays empty.
    void setMarks(std::size_t first, std::vector<ChangeMark> marks,
                  QHash<std::size_t, Printed> printed);
    // No marks: the history could not be read for the day the list prints on.
    void clearMarks();
    bool hasMarks() const { return !marks_.empty(); }
    const std::vector<ChangeMark>& marks() const { return marks_; }
    // 「変更分だけ」: only the new and changed rows from `first` on checked for printing; or
    // every one of them again.
    void chooseChanged(bool only, std::size_t first = 0);
    // The rows were just recorded as printed: 変更なし.
    void markPrinted(const std::vector<std::size_t>& rows);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<ProductRow> rows_;
    std::vector<bool> print_;
    std::vector<RowCheck> checks_;
    std::vector<ChangeMark> marks_;  // empty, or one per row
    QHash<std::size_t, Printed> printed_;
};

}  // namespace zukaro
