#include "ListSheets.h"

#include <QStringList>
#include <algorithm>
#include <array>
#include <optional>

#include "Cp932.h"
#include "JanCompletion.h"
#include "ShownText.h"
#include "TaxPrice.h"

namespace zukaro {
namespace {

// A rate equal to the layout's default is stored as "the default", as the editor does.
QString rateText(const ProductRow& row, const Layout& layout) {
    if (!row.taxRate || *row.taxRate == layout.defaultTaxRate) {
        return {};
    }
    return QString::number(*row.taxRate);
}

std::array<const QString*, 6> texts(const ProductRow& row) {
    return {&row.jan, &row.maker, &row.product, &row.spec, &row.lot, &row.price};
}

// What a printed row has to say, in the order the lines are listed: the check digit, the bars,
// then each text with a character Shift_JIS cannot hold.
void printedRowProblems(const ProductRow& row, std::vector<RowProblem>& out) {
    const QString jan = completeJanCheckDigit(row.jan);
    if (jan != row.jan) {
        out.push_back({row.line,
                       QStringLiteral("JAN コード「%1」: ").arg(shownText(row.jan)) +
                           withoutControls(checkDigitNote(row.jan, jan)),
                       true, row.batch});
    }
    if (const QString problem = janBarsProblem(jan); !problem.isEmpty()) {
        out.push_back({row.line,
                       QStringLiteral("JAN コード「%1」はバーコードなしで印刷されます（%2）。")
                           .arg(shownText(jan), problem),
                       true, row.batch});
    }
    for (const QString* text : texts(row)) {
        const std::vector<cp932::Unencodable> found = cp932::findUnencodable(*text);
        if (!found.empty()) {
            const char32_t c = found.front().character;
            out.push_back({row.line,
                           QStringLiteral("「%1」の「%2」は Shift_JIS で保存できません"
                                          "（保存するときは「?」になります）。")
                               .arg(shownText(*text), shownText(QString::fromUcs4(&c, 1))),
                           true, row.batch});
        }
    }
}

}  // namespace

RowCheck checkRow(const ProductRow& row) {
    RowCheck check;
    check.hasProduct = !row.product.isEmpty();
    check.untaxed =
        row.taxKindSaid && row.taxKind == PriceTax::Exclusive && wholeYen(row.price).has_value();
    check.copies = static_cast<qint16>(row.copies);
    const QString jan = completeJanCheckDigit(row.jan);
    check.notes += jan != row.jan ? 1 : 0;
    check.notes += janBarsProblem(jan).isEmpty() ? 0 : 1;
    for (const QString* text : texts(row)) {
        check.notes += cp932::findUnencodable(*text).empty() ? 0 : 1;
    }
    return check;
}

PlanRows planRowsOf(const std::vector<ProductRow>& rows) {
    return {rows.size(), [&rows](std::size_t i) { return rows[i]; }};
}

SheetPlan::SheetPlan(PlanRows rows, int start, const std::vector<bool>* chosen,
                     const std::vector<RowCheck>* checks)
    : rows_(std::move(rows)),
      chosen_(chosen),
      checks_(checks),
      start_(std::clamp(start, 1, kLabelCount)) {
    if (checks_ == nullptr) {
        ownChecks_.reserve(rows_.count);
        for (std::size_t i = 0; i < rows_.count; ++i) {
            ownChecks_.push_back(checkRow(rows_.row(i)));
        }
        checks_ = &ownChecks_;
    }
    placed_.reserve(rows_.count);
    for (std::size_t i = 0; i < rows_.count; ++i) {
        if (!isChosen(i)) {
            continue;
        }
        const int copies = check(i).copies;
        problemCount_ += !check(i).hasProduct || copies <= 0 ? 1 : check(i).notes;
        if (check(i).hasProduct && copies > 0) {
            placed_.push_back({i, labels_});
            labels_ += copies;
        }
    }
}

qint64 SheetPlan::sheetCount() const {
    return labels_ == 0 ? 0 : (start_ - 1 + labels_ + kLabelCount - 1) / kLabelCount;
}

SheetState SheetPlan::sheet(qint64 index, const SheetState& base) const {
    SheetState sheet = base;
    sheet.clearAllLabels();
    sheet.currentLabel = 1;
    sheet.fileName = kUntitled;
    // Label k of the job (from 0) goes to place start - 1 + k, counted over all sheets.
    const qint64 firstPlace = index * kLabelCount;
    const qint64 first = std::max<qint64>(0, firstPlace - (start_ - 1));
    const qint64 end = std::min(labels_, firstPlace + kLabelCount - (start_ - 1));
    auto placed = std::upper_bound(placed_.begin(), placed_.end(), first,
                                   [](qint64 k, const Placed& p) { return k < p.firstLabel; });
    if (placed == placed_.begin() || first >= end) {
        return sheet;
    }
    --placed;
    std::optional<LabelRecord> record;  // of the row at `placed`
    for (qint64 k = first; k < end; ++k) {
        if (k >= placed->firstLabel + check(placed->row).copies) {
            ++placed;
            record.reset();
        }
        if (!record) {
            record = label(placed->row, base.layout);
        }
        sheet.setLabel(static_cast<int>(start_ - 1 + k - firstPlace) + 1, *record);
    }
    return sheet;
}

std::vector<RowProblem> SheetPlan::problems(std::size_t limit) const {
    std::vector<RowProblem> out;
    for (std::size_t i = 0; i < rows_.count && out.size() < limit; ++i) {
        if (!isChosen(i) || (check(i).hasProduct && check(i).copies > 0 && check(i).notes == 0)) {
            continue;
        }
        const ProductRow row = rows_.row(i);
        if (!check(i).hasProduct) {
            out.push_back({row.line,
                           QStringLiteral("品名が空のため、ラベルにしません（品名のないラベルは"
                                          "印刷されません）。"),
                           false, row.batch});
        } else if (check(i).copies <= 0) {
            out.push_back(
                {row.line, QStringLiteral("枚数が 0 のため、印刷しません。"), false, row.batch});
        } else {
            printedRowProblems(row, out);
        }
    }
    out.resize(std::min(out.size(), limit));
    return inLineOrder(std::move(out));
}

std::vector<std::size_t> SheetPlan::printedRows() const {
    std::vector<std::size_t> rows;
    rows.reserve(placed_.size());
    for (const Placed& p : placed_) {
        rows.push_back(p.row);
    }
    return rows;
}

LabelRecord SheetPlan::label(std::size_t index, const Layout& layout) const {
    const ProductRow row = rows_.row(index);
    return {completeJanCheckDigit(row.jan),
            row.maker,
            row.product,
            row.spec,
            row.lot,
            row.price,
            rateText(row, layout),
            priceTaxText(row.taxKind),
            row.salePrice,
            row.regularPrice,
            row.saleFrom,
            row.saleTo};
}

std::vector<std::size_t> SheetPlan::rowsWithUnencodableText() const {
    std::vector<std::size_t> found;
    for (const Placed& p : placed_) {
        if (check(p.row).notes == 0) {
            continue;
        }
        const ProductRow row = rows_.row(p.row);
        for (const QString* text : texts(row)) {
            if (!cp932::findUnencodable(*text).empty()) {
                found.push_back(p.row);
                break;
            }
        }
    }
    return found;
}

qint64 SheetPlan::untaxedRowCount() const {
    return std::count_if(placed_.begin(), placed_.end(),
                         [this](const Placed& p) { return check(p.row).untaxed; });
}

QString SheetPlan::untaxedNote(const Layout& layout) const {
    constexpr int kNamed = 5;
    if (layout.priceMode != PriceMode::AsTyped) {
        return {};
    }
    QStringList named;
    qint64 count = 0;
    for (const Placed& p : placed_) {
        if (!check(p.row).untaxed) {
            continue;
        }
        if (++count <= kNamed) {
            const ProductRow row = rows_.row(p.row);
            named << RowProblem{row.line, {}, true, row.batch}.text().section(u':', 0, 0);
        }
    }
    if (count == 0) {
        return {};
    }
    if (count > kNamed) {
        named << QStringLiteral("ほか %1 行").arg(countText(count - kNamed));
    }
    return QStringLiteral(
               "税抜の売価がそのまま印刷されます: 外税（税抜）と書かれた %1 行（%2）。総額表示が"
               "「入力どおり」のため、消費税を足さずに印刷します。店頭の売価は税込の総額で表示"
               "してください（総額表示を「税込表示」にすると、税込の総額を印刷します）。")
        .arg(countText(count), named.join(QStringLiteral("、")));
}

}  // namespace zukaro
