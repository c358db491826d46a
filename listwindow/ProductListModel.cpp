#include "ProductListModel.h"

#include <QBrush>
#include <QColor>
#include <iterator>

#include "JanCompletion.h"

namespace zukaro {
namespace {

constexpr int kMaxCopies = 999;

QString rateText(const ProductRow& row) {
    return row.taxRate ? QStringLiteral("%1%").arg(*row.taxRate) : QString();
}

}  // namespace

ProductListModel::ProductListModel(QObject* parent) : QAbstractTableModel(parent) {}

void ProductListModel::setRows(std::vector<ProductRow> rows, std::vector<RowCheck> checks) {
    beginResetModel();
    rows_ = std::move(rows);
    checks_ = std::move(checks);
    print_.assign(rows_.size(), true);
    endResetModel();
}

void ProductListModel::appendRows(std::vector<ProductRow> rows, std::vector<RowCheck> checks) {
    if (rows.empty()) {
        return;
    }
    const int first = static_cast<int>(rows_.size());
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    rows_.insert(rows_.end(), std::make_move_iterator(rows.begin()),
                 std::make_move_iterator(rows.end()));
    checks_.insert(checks_.end(), checks.begin(), checks.end());
    print_.resize(rows_.size(), true);
    endInsertRows();
}

int ProductListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ProductListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ProductListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    const auto i = static_cast<std::size_t>(index.row());
    const ProductRow& row = rows_[i];
    if (index.column() == Print) {
        return role == Qt::CheckStateRole ? QVariant(print_[i] ? Qt::Checked : Qt::Unchecked)
                                          : QVariant();
    }
    const QString jan = completeJanCheckDigit(row.jan);
    if (index.column() == Jan && role == Qt::ToolTipRole) {
        const QString problem = janBarsProblem(jan);
        if (!problem.isEmpty()) {
            return QStringLiteral("バーコードなしで印刷されます（%1）").arg(problem);
        }
        return jan != row.jan ? QVariant(checkDigitNote(row.jan, jan)) : QVariant();
    }
    if (index.column() == Jan && role == Qt::BackgroundRole && !janBarsProblem(jan).isEmpty()) {
        return QBrush(QColor(0xFF, 0xD0, 0xD0));
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole) {
        return {};
    }
    switch (index.column()) {
        case Copies:
            return row.copies;
        case Jan:
            return jan;
        case Maker:
            return row.maker;
        case Product:
            return row.product;
        case Spec:
            return row.spec;
        case Lot:
            return row.lot;
        case Price:
            return row.price;
        case Rate:
            return rateText(row);
        default:
            return {};
    }
}

bool ProductListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid()) {
        return false;
    }
    const auto i = static_cast<std::size_t>(index.row());
    if (index.column() == Print && role == Qt::CheckStateRole) {
        print_[i] = value.value<Qt::CheckState>() == Qt::Checked;
    } else if (index.column() == Copies && role == Qt::EditRole) {
        bool ok = false;
        const int copies = value.toInt(&ok);
        if (!ok || copies < 0 || copies > kMaxCopies) {
            return false;
        }
        rows_[i].copies = copies;
        checks_[i].copies = static_cast<qint16>(copies);
    } else {
        return false;
    }
    emit dataChanged(index, index, {role});
    return true;
}

Qt::ItemFlags ProductListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.column() == Print) {
        f |= Qt::ItemIsUserCheckable;
    } else if (index.column() == Copies) {
        f |= Qt::ItemIsEditable;
    }
    return f;
}

QVariant ProductListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) {
        return {};
    }
    if (orientation == Qt::Vertical) {
        return rows_[static_cast<std::size_t>(section)].line;  // the list's own line number
    }
    static const char16_t* const names[] = {u"印刷", u"枚数",   u"JAN コード", u"メーカー", u"品名",
                                            u"規格", u"ロット", u"売価",       u"税率"};
    return QString::fromUtf16(names[section]);
}

}  // namespace zukaro
