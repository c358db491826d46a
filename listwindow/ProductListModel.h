#pragma once

#include <QAbstractTableModel>
#include <vector>

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

    // Replaces the rows; every row is checked for printing.
    void setRows(std::vector<ProductRow> rows);
    // Appends rows (a second paste adds to the list).
    void appendRows(const std::vector<ProductRow>& rows);
    // The checked rows, each with its copies, in list order.
    std::vector<ProductRow> rowsToPrint() const;
    const std::vector<ProductRow>& rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<ProductRow> rows_;
    std::vector<bool> print_;
};

}  // namespace zukaro
