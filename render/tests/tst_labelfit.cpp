// A shop's real data on the recording target, checked from outside the renderer: every text it
// recorded is printed again alone, through the QPainter target, into a raster of its own, and
// the rasters are laid over each other. A text's ink extent (the box around all its ink) holding
// ink of another text overprints or reads as part of it (a spec between 「2,」 and 「894」); ink
// outside the label's 66.1 x 38.1 mm runs onto the next one. With 価格を枠内に収める neither may
// happen, every price ends where the five-character field ends and the texts fitting sized keep
// 1 mm from the label's edge; without it, the output is today's wherever today's price was not
// cut, and the labels reported are those the rasters show.
#include <QImage>
#include <QPainter>
#include <QTest>
#include <cmath>
#include <set>

#include "BuiltInValues.h"
#include "ColumnMapping.h"
#include "ItemTexts.h"
#include "Items.h"
#include "JanCompletion.h"
#include "ListSheets.h"
#include "PainterTarget.h"
#include "PrintedSheet.h"
#include "ProductListSource.h"
#include "ProductRows.h"
#include "RecordingTarget.h"
#include "SheetRenderer.h"
#include "SpecQuantity.h"
#include "TaxPrice.h"

using namespace zukaro;
using draw::RecordingTarget;
using Op = RecordingTarget::Op;

namespace {

constexpr double kPxPerMm = 300 / 25.4;  // the rasters: 300 dpi
constexpr double kMmPerPoint = 25.4 / 72;

// A drugstore's and a grocer's labels: makers, names of 2 to 40 characters, specs, lots.
const QStringList kMakers{"花王", "ライオン", "資生堂", "カゴメ", "キッコーマン", "明治"};
const QStringList kNames{"キシリトールガムボトル徳用",                // 13
                         "薬用ハンドソープ泡タイプ詰め替え用大容量",  // 20
                         "北海道産じゃがいも使用ポテトチップスうすしお味ファミリーサイズ"
                         "期間限定増量パック",  // 40
                         "緑茶", "ポテトチップス"};
const QStringList kSpecs{"500ml", "1.0kg", "20g×10袋", "詰替 400ml", ""};
const QStringList kLots{"L2401", "LOT-0001", "", "B12"};
const QStringList kPrices{"1",     "9",     "98",     "398",    "1280",    "9999",
                          "12800", "99999", "128000", "999999", "1234567", "9999999"};
// Specs of 3 to 6 characters, and prices whose totals with 10 % have six and seven digits
// (107,800 and 1,358,023) and four (3,183): the spec beside a price with separators.
const QStringList kShortSpecs{"6個入", "24本入", "350ml", "2L×6本", "500g×2", "詰替用3個"};
const QStringList kLongTotals{"2894",   "12800",  "98000",  "128000",
                              "398000", "918000", "999999", "1234567"};
// Prices of up to three digits, clear of any spec at the first-start sizes.
const QStringList kShortPrices{"98", "398", "980", "158"};
// Names whose underline is their lowest ink: capitals and digits have no descent.
const QStringList kCapitalNames{"LED電球 E26", "NIVEA UV", "DHA EPA 30日", "CCレモン"};

// The texts a sheet's labels take in turn; with `sales`, every other label is on sale at the
// next label's price, its regular price on the line of its own.
struct ShopTexts {
    QStringList names = kNames;
    QStringList specs = kSpecs;
    QStringList lots = kLots;
    QStringList prices = kPrices;
    bool sales = false;
};

QString withSeparators(const QString& digits) {
    return yenAmount(digits.toLongLong(), true);
}

// 21 labels with real-looking data; every fourth label has the reduced rate of its own.
SheetState shopSheet(const Layout& layout, bool typedWithSeparators, const ShopTexts& texts = {}) {
    SheetState sheet;
    sheet.layout = layout;
    for (int n = 1; n <= kLabelCount; ++n) {
        const QString price = texts.prices[(n - 1) % texts.prices.size()];
        sheet.setLabel(
            n, {completeJanCheckDigit(QString("4901234567%1").arg(n, 2, 10, QChar('0'))),
                kMakers[n % kMakers.size()], texts.names[n % texts.names.size()],
                texts.specs[n % texts.specs.size()], texts.lots[n % texts.lots.size()],
                typedWithSeparators ? withSeparators(price) : price, n % 4 == 0 ? "8" : ""});
        if (texts.sales && n % 2 == 1) {
            const QString salePrice = texts.prices[n % texts.prices.size()];
            sheet.salePrice[n] = typedWithSeparators ? withSeparators(salePrice) : salePrice;
        }
    }
    return sheet;
}

using printed::labelLeft;
using printed::labelTop;

void setFont(draw::DrawTarget& t, const RecordingTarget::Font& f) {
    t.setFontName(f.name);
    t.setFontSize(f.size);
    t.setFontBold(f.bold);
    t.setFontItalic(f.italic);
    t.setFontUnderline(f.underline);
}

// How wide the QPainter target prints a text, measured on an image at `dpi`.
double printedWidth(const Op& op, int dpi = 1200) {
    QImage probe(1, 1, QImage::Format_Grayscale8);
    probe.setDotsPerMeterX(int(std::lround(dpi / 0.0254)));
    probe.setDotsPerMeterY(probe.dotsPerMeterX());
    QPainter painter(&probe);
    draw::PainterTarget target(painter, true);
    target.setScaleMode(draw::ScaleMode::Millimeters);
    setFont(target, op.font);
    return target.textWidth(op.text);
}

// One text printed alone: its raster and where the raster's corner lies on the page (mm).
struct Raster {
    QImage image;
    double left = 0;
    double top = 0;

    bool dark(int x, int y) const {
        return x >= 0 && y >= 0 && x < image.width() && y < image.height() &&
               image.constScanLine(y)[x] < 128;
    }
};

Raster rasterise(const Op& op) {
    const double em = op.font.size * kMmPerPoint;
    Raster r;
    r.left = op.x1 - em;
    r.top = op.y1 - em;
    const double width = printedWidth(op, 300) + 2 * em, height = 3 * em;
    r.image = QImage(int(std::ceil(width * kPxPerMm)), int(std::ceil(height * kPxPerMm)),
                     QImage::Format_Grayscale8);
    r.image.setDotsPerMeterX(int(std::lround(kPxPerMm * 1000)));
    r.image.setDotsPerMeterY(r.image.dotsPerMeterX());
    r.image.fill(Qt::white);
    QPainter painter(&r.image);
    draw::PainterTarget target(painter, true);
    target.setScaleMode(draw::ScaleMode::Millimeters);
    setFont(target, op.font);
    target.setForeColor(draw::kBlack);
    target.setCurrentPosition(op.x1 - r.left, op.y1 - r.top);
    target.printText(op.text);
    return r;
}

// The pixel of `r` whose centre is nearest to `mm` across (or down).
int pixelX(const Raster& r, double mm) {
    return int(std::floor((mm - r.left) * kPxPerMm));
}
int pixelY(const Raster& r, double mm) {
    return int(std::floor((mm - r.top) * kPxPerMm));
}

// The box around all of a text's ink, in page mm: from the first dark pixel's edge to the last's.
struct Extent {
    double left = 0, top = 0, right = -1, bottom = -1;
};

Extent inkExtent(const Raster& r) {
    int x0 = r.image.width(), y0 = r.image.height(), x1 = -1, y1 = -1;
    for (int y = 0; y < r.image.height(); ++y) {
        for (int x = 0; x < r.image.width(); ++x) {
            if (r.dark(x, y)) {
                std::tie(x0, y0, x1, y1) =
                    std::tuple(std::min(x0, x), std::min(y0, y), std::max(x1, x), std::max(y1, y));
            }
        }
    }
    return {r.left + x0 / kPxPerMm, r.top + y0 / kPxPerMm, r.left + (x1 + 1) / kPxPerMm,
            r.top + (y1 + 1) / kPxPerMm};
}

// Pixels of `r`'s ink whose centre lies inside the extent.
int inkInside(const Raster& r, const Extent& e) {
    int inside = 0;
    for (int y = std::max(0, pixelY(r, e.top)); y <= pixelY(r, e.bottom); ++y) {
        const double my = r.top + (y + 0.5) / kPxPerMm;
        for (int x = std::max(0, pixelX(r, e.left)); x <= pixelX(r, e.right); ++x) {
            const double mx = r.left + (x + 0.5) / kPxPerMm;
            inside +=
                my >= e.top && my <= e.bottom && mx >= e.left && mx <= e.right && r.dark(x, y);
        }
    }
    return inside;
}

// Pixels of ink whose centre lies outside the box (page mm).
int inkOutside(const Raster& r, double left, double top, double right, double bottom) {
    int outside = 0;
    for (int y = 0; y < r.image.height(); ++y) {
        const double my = r.top + (y + 0.5) / kPxPerMm;
        for (int x = 0; x < r.image.width(); ++x) {
            const double mx = r.left + (x + 0.5) / kPxPerMm;
            if (my >= top && my <= bottom && mx >= left && mx <= right) {
                x = std::max(x, pixelX(r, right) - 1);  // past the inside of the row
                continue;
            }
            outside += r.dark(x, y);
        }
    }
    return outside;
}

// The texts recorded for each label (paper: every op's corner lies in its own label).
std::map<int, std::vector<Op>> textsByLabel(const SheetState& s, const RecordingTarget& t) {
    std::map<int, std::vector<Op>> by;
    for (const Op& op : t.opsOf(RecordingTarget::Kind::Text)) {
        const int column = int(std::floor((op.x1 - s.sheetX) / kLabelPitchX));
        const int row = int(std::floor((op.y1 - s.sheetY) / kLabelPitchY));
        by[row * 3 + column + 1].push_back(op);
    }
    return by;
}

// What the rasters show on label n: "" when nothing, else why. Texts that fitting drew smaller
// than the layout's size (`fitted`) keep 1 mm from the label's edge, less a pixel.
QString inkProblems(const SheetState& s, int n, const std::vector<Op>& ops,
                    const std::vector<bool>& fitted = {}) {
    std::vector<Raster> rasters;
    std::vector<Extent> extents;
    for (const Op& op : ops) {
        rasters.push_back(rasterise(op));
        extents.push_back(inkExtent(rasters.back()));
    }
    QStringList found;
    const double x = labelLeft(s, n), y = labelTop(s, n);
    const auto text = [&ops](std::size_t i) { return QString::fromStdString(ops[i].text); };
    for (std::size_t i = 0; i < ops.size(); ++i) {
        const double in = i < fitted.size() && fitted[i] ? 1 - 1 / kPxPerMm : 0;
        if (const int px = inkOutside(rasters[i], x + in, y + in, x + kLabelPitchX - in,
                                      y + kLabelPitchY - in)) {
            found << QString("「%1」 %2 px outside%3")
                         .arg(text(i))
                         .arg(px)
                         .arg(in > 0 ? " 1 mm" : "");
        }
        for (std::size_t j = 0; j < ops.size(); ++j) {
            if (const int px = j != i ? inkInside(rasters[j], extents[i]) : 0) {
                found << QString("「%1」 in 「%2」's extent %3 px").arg(text(j), text(i)).arg(px);
            }
        }
    }
    return found.join(", ");
}

Layout layoutOf(bool pattern, int mode, bool separators, int rate, bool fit) {
    SheetState s;
    applyFirstStartValues(s.layout);
    if (pattern) {
        applyDefaultPattern(s);  // 品名 18 pt, 円 24 pt
    }
    Layout& l = s.layout;
    l.priceMode = PriceMode(mode);
    l.thousandsSeparators = separators;
    l.defaultTaxRate = rate;
    l.fitPrice = fit;
    return l;
}

// The item of the i-th text drawn on a label: JAN digits, product name, price, 円, maker, spec,
// lot, then the 本体 or 税込 line of the layout's mode, then 単位価格; a sale's 「特価」 and
// regular price by their texts.
const ItemDescription& drawnItem(const Layout& l, std::size_t i, const Op& op) {
    static const Item order[] = {Item::Jan,   Item::Product, Item::Price, Item::Yen,
                                 Item::Maker, Item::Spec,    Item::Lot};
    const QString text = QString::fromStdString(op.text);
    if (text == "特価") {
        return describe(Item::SaleMark);
    }
    if (text.startsWith("通常価格")) {
        return describe(Item::RegularLine);
    }
    if (i < std::size(order)) {
        return describe(order[i]);
    }
    if (i == std::size(order) && l.priceMode != PriceMode::AsTyped) {
        return describe(l.priceMode == PriceMode::TaxIncluded ? Item::NetLine : Item::GrossLine);
    }
    return describe(Item::UnitPrice);
}

// Where the price's field ends on label n: five digits of the layout's price font.
double fieldRight(const SheetState& s, int n) {
    Op digits;
    digits.text = "00000";
    digits.font = {s.layout.priceFont.Name.toStdString(), double(s.layout.priceFont.Size)};
    return labelLeft(s, n) + s.layout.priceX + printedWidth(digits);
}

}  // namespace

Q_DECLARE_METATYPE(ShopTexts)

class TestLabelFit : public QObject {
    Q_OBJECT

private slots:
    // Prices of 1 to 9,999,999, typed with and without separators, in the three modes, at 10 %
    // and 8 %, with names of 13, 20 and 40 characters, on the first-start layout and on the
    // デフォルト pattern (product name 18 pt, 円 24 pt), fitted and not. Then, fitted and not:
    // 3桁区切り with specs of 3 to 6 characters beside totals of four, six and seven digits;
    // underlined texts, and names of capitals whose underline is their lowest ink; 円 and ロット
    // nudged to the label's bottom edge; the JAN digits nudged onto the price's line left of it,
    // where they give way and the price keeps its size; five-character prices with nothing
    // under the name, filling the field from the label's edge.
    void shopData_data() {
        QTest::addColumn<Layout>("layout");
        QTest::addColumn<bool>("typedWithSeparators");
        QTest::addColumn<ShopTexts>("texts");
        QTest::addColumn<bool>("priceKeepsItsSize");
        for (const bool fit : {false, true}) {
            const char* fitted = fit ? "fit" : "as laid out";
            for (const bool pattern : {false, true}) {
                const char* start = pattern ? "pattern" : "first start";
                for (const int mode : {0, 1, 2}) {
                    for (const bool separators : {false, true}) {
                        const int rate = separators ? 8 : 10;
                        QTest::addRow("%s, %s, mode %d, %s, %d %%", fitted, start, mode,
                                      separators ? "1,280" : "1280", rate)
                            << layoutOf(pattern, mode, separators, rate, fit) << separators
                            << ShopTexts{} << false;
                    }
                }
                for (const int mode : {0, 1}) {
                    QTest::addRow("%s, %s, mode %d, short specs beside long totals", fitted, start,
                                  mode)
                        << layoutOf(pattern, mode, true, 10, fit) << false
                        << ShopTexts{kNames, kShortSpecs, kLots, kLongTotals} << false;
                }
                // A sale week: 「特価」 left of the bars and 「通常価格 …円」 under the line with
                // tax, prices of one to seven digits, in each mode.
                for (const int mode : {0, 1, 2}) {
                    QTest::addRow("%s, %s, mode %d, sales", fitted, start, mode)
                        << layoutOf(pattern, mode, mode == 1, 10, fit) << (mode == 1)
                        << ShopTexts{kNames, kSpecs, kLots, kPrices, true} << false;
                }
                Layout underlined = layoutOf(pattern, 1, true, 10, fit);
                // (The maker's underline touches a name at 18 pt whatever its size: not for
                // fitting to mend.)
                underlined.品名U表示 = underlined.規格U表示 = underlined.ロットU表示 = true;
                QTest::addRow("%s, %s, underlined", fitted, start)
                    << underlined << false << ShopTexts{} << false;
                QTest::addRow("%s, %s, underlined names of capitals", fitted, start)
                    << underlined << false
                    << ShopTexts{kCapitalNames, kSpecs, {"B12", ""}, kShortPrices} << false;
                // 単位価格 right of prices of up to seven digits, totals of 388,006.6 per 100 ml
                // among them, and beside the 本体 and 税込 lines.
                for (const int mode : {0, 1, 2}) {
                    Layout unit = layoutOf(pattern, mode, true, 10, fit);
                    unit.unitPriceShown = true;
                    unit.unitPriceRounding = UnitPriceRounding::TenthYen;
                    QTest::addRow("%s, %s, mode %d, 単位価格", fitted, start, mode)
                        << unit << false << ShopTexts{kNames, kShortSpecs, kLots, kLongTotals}
                        << false;
                }
                Layout low = layoutOf(pattern, 0, true, 10, fit);
                std::tie(low.yenY, low.lotY) = std::tuple(5, 5);
                QTest::addRow("%s, %s, 円 and ロット at the bottom edge", fitted, start)
                    << low << false << ShopTexts{kNames, kShortSpecs, kLots, kLongTotals} << false;
            }
            Layout janOnPrice = layoutOf(false, 0, false, 10, fit);
            std::tie(janOnPrice.janX, janOnPrice.janY) = std::tuple(-28, 11);
            QTest::addRow("%s, JAN digits beside the price", fitted)
                << janOnPrice << false
                << ShopTexts{kNames, {"1L", "2L", "6個"}, kLots, kShortPrices} << fit;
            QTest::addRow("%s, five characters alone under the name", fitted)
                << layoutOf(false, 0, true, 10, fit) << false
                << ShopTexts{kNames, {""}, {""}, {"2894", "1280", "9999", "4980"}} << false;
        }
    }

    void shopData() {
        QFETCH(Layout, layout);
        QFETCH(bool, typedWithSeparators);
        QFETCH(ShopTexts, texts);
        QFETCH(bool, priceKeepsItsSize);
        checkSheet(shopSheet(layout, typedWithSeparators, texts), priceKeepsItsSize);
    }

    // A POS export as a list: ￥ and 円 around prices, 12-digit codes from an order sheet.
    void productList_data() {
        QTest::addColumn<bool>("fit");
        QTest::newRow("as laid out") << false;
        QTest::newRow("fit") << true;
    }

    void productList() {
        QFETCH(bool, fit);
        const QString pos =
            "JANコード\t商品名\t規格\t売価\n"
            "490123456789\tキシリトールガムボトル徳用\t14粒\t￥398\n"
            "4512345678906\t薬用ハンドソープ泡タイプ詰め替え用大容量\t250ml\t398円\n"
            "451234567890\t北海道産じゃがいも使用ポテトチップスうすしお味ファミリーサイズ"
            "期間限定増量パック\t60g\t¥1,280\n"
            "4901234567894\t緑茶\t2L\t12,800 円\n";
        const SourceTable table = readPastedRows(pos).table;
        const ProductList list = toProductRows(table, ColumnMapping::detect(table, nullptr));
        SheetState base;
        base.layout = layoutOf(false, 1, true, 10, fit);
        const SheetPlan laid(planRowsOf(list.rows), 1);
        QCOMPARE(laid.sheetCount(), 1);
        SheetState sheet = laid.sheet(0, base);
        const LabelRecord first = sheet.label(1), third = sheet.label(3);
        QCOMPARE(first.jan + ' ' + first.price + ' ' + third.jan + ' ' + third.price,
                 "4901234567894 398 4512345678906 1280");
        // 398 with tax is 437 and 1,280 is 1,408, with the label's own 円 only.
        QCOMPARE(priceTexts(sheet, 1).whole + ' ' + priceTexts(sheet, 3).whole, "437 1,408");
        checkSheet(sheet);
    }

private:
    void checkSheet(const SheetState& sheet, bool priceKeepsItsSize = false) {
        RecordingTarget t(true, {2.4, 2.4});
        const SheetReport report = drawSheet(sheet, t, RenderOptions::onPaper(sheet));
        std::map<int, LabelReport> reported;
        for (const LabelReport& label : report) {
            reported[label.label] = label;
        }
        QStringList wrong;
        const Layout& l = sheet.layout;
        for (const auto& [n, ops] : textsByLabel(sheet, t)) {
            const QString where = QString("label %1: ").arg(n);
            std::vector<bool> fitted;
            for (std::size_t i = 0; l.fitPrice && i < ops.size(); ++i) {
                const ItemDescription& item = drawnItem(l, i, ops[i]);
                fitted.push_back(i == 2 || ops[i].font.size < (l.*item.font).Size);
            }
            // Without fitting the labels marked are exactly those the rasters show; with it, none.
            const QString problems = inkProblems(sheet, n, ops, fitted);
            if (l.fitPrice ? !problems.isEmpty() : reported[n].marked() == problems.isEmpty()) {
                wrong << where + "rasters show 「" + problems + "」, told 「" + reported[n].text() +
                             "」";
            }
            // JAN digits, product name and price come first, in the order they are drawn.
            QVERIFY(ops.size() >= 3);
            const Op& price = ops[2];
            const PriceTexts prices = priceTexts(sheet, n);
            const double right = price.x1 + printedWidth(price);
            const bool isLong = prices.whole.size() > kPriceFieldCharacters;
            if (l.fitPrice || isLong) {
                if (std::abs(right - fieldRight(sheet, n)) > 0.1) {
                    wrong << where + QString("price ends at %1, not %2")
                                         .arg(right - labelLeft(sheet, n))
                                         .arg(fieldRight(sheet, n) - labelLeft(sheet, n));
                }
                if (QString::fromStdString(price.text) != prices.whole) {
                    wrong << where + "price drawn as " + QString::fromStdString(price.text);
                }
                if (isLong && price.font.size >= l.priceFont.Size) {
                    wrong << where + "long price not smaller";
                }
                if (priceKeepsItsSize && !isLong && price.font.size != l.priceFont.Size) {
                    wrong << where + QString("price drawn at %1 pt").arg(price.font.size);
                }
            }
            if (!l.fitPrice) {
                // Today's output: every text at its anchor and the layout's size, the price as
                // today's field unless that was cut.
                const std::array<std::pair<double, double>, 3> anchors{
                    {{32 + l.janX, 11 + l.janY}, {4 + l.productX, 17 + l.productY}, {0, 20}}};
                for (std::size_t i = 0; i < ops.size(); ++i) {
                    if (i == 2 && isLong) {
                        continue;
                    }
                    if (i < 3 &&
                        (std::abs(ops[i].x1 - labelLeft(sheet, n) - anchors[i].first) > 1e-9 ||
                         std::abs(ops[i].y1 - labelTop(sheet, n) - anchors[i].second) > 1e-9)) {
                        wrong << where + "moved: " + QString::fromStdString(ops[i].text);
                    }
                }
                if (!isLong && (QString::fromStdString(price.text) != prices.price ||
                                price.font.size != l.priceFont.Size)) {
                    wrong << where + "price not as today: " + QString::fromStdString(price.text);
                }
                if (ops[1].font.size != l.productFont.Size) {
                    wrong << where + "product name resized without fitting";
                }
            }
            // 単位価格 on: drawn on every label whose spec gives a quantity, on no other.
            const bool perUnit = std::any_of(ops.begin(), ops.end(), [](const Op& op) {
                return QString::fromStdString(op.text).contains(u"あたり");
            });
            if (perUnit != (l.unitPriceShown && quantityOf(sheet.specText[n]).has_value())) {
                wrong << where + QString("単位価格 %1drawn").arg(perUnit ? "" : "not ");
            }
            if (isLong != !reported[n].longPrice.isEmpty() || !reported[n].cramped.isEmpty()) {
                wrong << where + "reported: " + reported[n].text();
            }
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join('\n')));
    }
};

QTEST_MAIN(TestLabelFit)
#include "tst_labelfit.moc"
