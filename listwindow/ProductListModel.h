#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "ListSheets.h"
#include "ProductRow.h"

namespace zukaro {

// The rows of a product list as the list window shows them: a print checkbox and a copies
// count per row, then the texts. The JAN column shows the code with its check digit completed,
// as the editor would, and marks a code that will print without bars.
class ProductListModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { Print, Copies, Jan, Maker, Product, Spec, Lot, Price, Rate, ColumnCount };

    explicit ProductListModel(QObject* parent = nullptr);

    // Replaces the rows, with checkRow() of each; every row is checked for printing.
    void setRows(std::vector<ProductRow> rows, std::vector<RowCheck> checks);
    // Appends rows (a second paste adds to the list).
    void appendRows(std::vector<ProductRow> rows, std::vector<RowCheck> checks);
    const std::vector<ProductRow>& rows() const { return rows_; }
    // Per row: whether it is checked for printing, and its checkRow().
    const std::vector<bool>& chosen() const { return print_; }
    const std::vector<RowCheck>& checks() const { return checks_; }

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
};

}  // namespace zukaro
