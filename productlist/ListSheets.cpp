#include "ListSheets.h"

#include <algorithm>

#include "Cp932.h"
#include "JanCompletion.h"
#include "TaxPrice.h"

namespace zukaro {
namespace {

SheetState emptySheet(const SheetState& base) {
    SheetState sheet = base;
    sheet.clearAllLabels();
    sheet.currentLabel = 1;
    sheet.fileName = kUntitled;
    return sheet;
}

// A rate equal to the layout's default is stored as "the default", as the editor does.
QString rateText(const ProductRow& row, const Layout& layout) {
    if (!row.taxRate || *row.taxRate == layout.defaultTaxRate) {
        return {};
    }
    return QString::number(*row.taxRate);
}

void listTextProblems(const ProductRow& row, std::vector<RowProblem>& problems) {
    for (const QString* text :
         {&row.jan, &row.maker, &row.product, &row.spec, &row.lot, &row.price}) {
        const std::vector<cp932::Unencodable> found = cp932::findUnencodable(*text);
        if (!found.empty()) {
            const char32_t c = found.front().character;
            problems.push_back({row.line,
                                QStringLiteral("「%1」の「%2」は Shift_JIS で保存できません"
                                               "（保存するときは「?」になります）。")
                                    .arg(*text, QString::fromUcs4(&c, 1)),
                                true, row.batch});
        }
    }
}

}  // namespace

ListSheets layOutSheets(const std::vector<ProductRow>& rows, const SheetState& base, int start) {
    ListSheets out;
    int position = std::clamp(start, 1, kLabelCount);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const ProductRow& row = rows[r];
        if (row.product.isEmpty()) {
            out.problems.push_back(
                {row.line,
                 QStringLiteral("品名が空のため、ラベルにしません（品名のないラベルは"
                                "印刷されません）。"),
                 false, row.batch});
            continue;
        }
        if (row.copies <= 0) {
            out.problems.push_back(
                {row.line, QStringLiteral("枚数が 0 のため、印刷しません。"), false, row.batch});
            continue;
        }
        const QString jan = completeJanCheckDigit(row.jan);
        if (jan != row.jan) {
            out.problems.push_back(
                {row.line,
                 QStringLiteral("JAN コード「%1」: ").arg(row.jan) + checkDigitNote(row.jan, jan),
                 true, row.batch});
        }
        if (const QString problem = janBarsProblem(jan); !problem.isEmpty()) {
            out.problems.push_back({row.line,
                                    QStringLiteral("JAN コード「%1」はバーコードなしで印刷"
                                                   "されます（%2）。")
                                        .arg(jan, problem),
                                    true, row.batch});
        }
        listTextProblems(row, out.problems);
        const LabelRecord label{jan,      row.maker, row.product,
                                row.spec, row.lot,   row.price,
                                rateText(row, base.layout), priceTaxText(row.taxKind)};
        for (int copy = 0; copy < row.copies; ++copy) {
            if (out.sheets.empty() || position > kLabelCount) {
                out.sheets.push_back(emptySheet(base));
                out.labelRows.emplace_back();
                position = out.sheets.size() == 1 ? position : 1;
            }
            out.labelRows.back()[static_cast<std::size_t>(position)] = static_cast<int>(r) + 1;
            out.sheets.back().setLabel(position++, label);
            ++out.labels;
        }
    }
    out.problems = inLineOrder(std::move(out.problems));
    return out;
}

}  // namespace zukaro
