#include "ProductListModel.h"

#include <QBrush>
#include <QColor>
#include <iterator>

#include "JanCompletion.h"
#include "TaxPrice.h"

namespace zukaro {
namespace {

constexpr int kMaxCopies = 999;

// 「8%」, 「10% 内税」, 「内税」, 「非課税」: the rate of its own and how the price stands to tax.
QString rateText(const ProductRow& row) {
    if (row.taxKind == PriceTax::Exempt) {
        return kTaxExemptText;
    }
    QString text = row.taxRate ? QStringLiteral("%1%").arg(*row.taxRate) : QString();
    if (row.taxKind == PriceTax::Inclusive) {
        text += (text.isEmpty() ? QString() : QStringLiteral(" ")) + kTaxIncludedText;
    }
    return text;
}

}  // namespace

ProductListModel::ProductListModel(QObject* parent) : QAbstractTableModel(parent) {}

void ProductListModel::setRows(std::vector<ProductRow> rows, std::vector<RowCheck> checks) {
    beginResetModel();
    rows_ = std::move(rows);
    checks_ = std::move(checks);
    print_.assign(rows_.size(), true);
    marks_.clear();
    printed_.clear();
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
    if (!marks_.empty()) {
        marks_.resize(rows_.size(), ChangeMark::New);
    }
    endInsertRows();
}

void ProductListModel::setMarks(std::size_t first, std::vector<ChangeMark> marks,
                                QHash<std::size_t, Printed> printed) {
    if (first == 0) {
        marks_.clear();
        printed_.clear();
    }
    marks_.resize(first, ChangeMark::New);
    marks_.insert(marks_.end(), marks.begin(), marks.end());
    marks_.resize(rows_.size(), ChangeMark::New);
    for (auto it = printed.cbegin(); it != printed.cend(); ++it) {
        printed_.insert(it.key(), it.value());
    }
    if (!rows_.empty()) {
        emit dataChanged(index(static_cast<int>(first), Change),
                         index(static_cast<int>(rows_.size()) - 1, Change));
    }
}

void ProductListModel::clearMarks() {
    marks_.clear();
    printed_.clear();
    if (!rows_.empty()) {
        emit dataChanged(index(0, Change), index(static_cast<int>(rows_.size()) - 1, Change));
    }
}

void ProductListModel::chooseChanged(bool only, std::size_t first) {
    for (std::size_t i = first; i < rows_.size(); ++i) {
        print_[i] = !only || i >= marks_.size() || needsPrinting(marks_[i]);
    }
    if (first < rows_.size()) {
        emit dataChanged(index(static_cast<int>(first), Print),
                         index(static_cast<int>(rows_.size()) - 1, Print), {Qt::CheckStateRole});
    }
}

void ProductListModel::markPrinted(const std::vector<std::size_t>& rows) {
    marks_.resize(rows_.size(), ChangeMark::New);
    for (const std::size_t i : rows) {
        marks_[i] = ChangeMark::Unchanged;
        printed_.remove(i);
    }
    if (!rows_.empty()) {
        emit dataChanged(index(0, Change), index(static_cast<int>(rows_.size()) - 1, Change));
    }
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
    if (index.column() == Change) {
        if (i >= marks_.size()) {
            return {};
        }
        const auto printed = printed_.constFind(i);
        if (role == Qt::ToolTipRole) {
            return printed == printed_.cend() ? QVariant() : QVariant(printed->tip);
        }
        if (role != Qt::DisplayRole) {
            return {};
        }
        const QString mark = markText(marks_[i]);
        return marks_[i] == ChangeMark::PriceChanged && printed != printed_.cend()
                   ? QStringLiteral("%1（前回 %2）").arg(mark, printed->price)
                   : mark;
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
    static const char16_t* const names[] = {u"印刷", u"枚数", u"前回",   u"JAN コード", u"メーカー",
                                            u"品名", u"規格", u"ロット", u"売価",       u"税率"};
    return QString::fromUtf16(names[section]);
}

}  // namespace zukaro
