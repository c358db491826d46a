// A shop's real data on the recording target, checked from outside the renderer: every text it
// recorded is printed again alone, through the QPainter target, into a raster of its own, and
// the rasters are laid over each other. Ink of two texts on the same pixel overprints; ink
// outside the label's 66.1 x 38.1 mm runs onto the next one. With 価格を枠内に収める neither
// may happen and every price ends where the five-character field ends; without it, the output
// is today's wherever today's price was not cut, and the labels reported are those the rasters
// show.
#include <QImage>
#include <QPainter>
#include <QTest>
#include <cmath>
#include <set>

#include "BuiltInValues.h"
#include "ColumnMapping.h"
#include "ItemTexts.h"
#include "JanCompletion.h"
#include "ListSheets.h"
#include "PainterTarget.h"
#include "PrintedSheet.h"
#include "ProductListSource.h"
#include "ProductRows.h"
#include "RecordingTarget.h"
#include "SheetRenderer.h"
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

QString withSeparators(const QString& digits) {
    return yenAmount(digits.toLongLong(), true);
}

// 21 labels with real-looking data; every fourth label has the reduced rate of its own.
SheetState shopSheet(const Layout& layout, bool typedWithSeparators) {
    SheetState sheet;
    sheet.layout = layout;
    sheet.printMode = PrintMode::Paper;
    for (int n = 1; n <= kLabelCount; ++n) {
        const QString price = kPrices[(n - 1) % kPrices.size()];
        sheet.setLabel(
            n, {completeJanCheckDigit(QString("4901234567%1").arg(n, 2, 10, QChar('0'))),
                kMakers[n % kMakers.size()], kNames[n % kNames.size()], kSpecs[n % kSpecs.size()],
                kLots[n % kLots.size()], typedWithSeparators ? withSeparators(price) : price,
                n % 4 == 0 ? "8" : ""});
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

// Pixels where both texts left ink (only where the two rasters lie on each other).
int sharedInk(const Raster& a, const Raster& b) {
    const int x0 = std::max(0, pixelX(a, b.left)), y0 = std::max(0, pixelY(a, b.top));
    const int x1 = std::min(a.image.width(), pixelX(a, b.left + b.image.width() / kPxPerMm) + 1);
    const int y1 = std::min(a.image.height(), pixelY(a, b.top + b.image.height() / kPxPerMm) + 1);
    int shared = 0;
    for (int y = y0; y < y1; ++y) {
        const int by = pixelY(b, a.top + (y + 0.5) / kPxPerMm);
        for (int x = x0; x < x1; ++x) {
            shared += a.dark(x, y) && b.dark(pixelX(b, a.left + (x + 0.5) / kPxPerMm), by);
        }
    }
    return shared;
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

// What the rasters show on label n: "" when nothing, else why.
QString inkProblems(const SheetState& s, int n, const std::vector<Op>& ops) {
    std::vector<Raster> rasters;
    for (const Op& op : ops) {
        rasters.push_back(rasterise(op));
    }
    QStringList found;
    const double x = labelLeft(s, n), y = labelTop(s, n);
    for (std::size_t i = 0; i < ops.size(); ++i) {
        if (const int px = inkOutside(rasters[i], x, y, x + kLabelPitchX, y + kLabelPitchY)) {
            found
                << QString("「%1」 %2 px outside").arg(QString::fromStdString(ops[i].text)).arg(px);
        }
        for (std::size_t j = i + 1; j < ops.size(); ++j) {
            if (const int px = sharedInk(rasters[i], rasters[j])) {
                found << QString("「%1」 on 「%2」 %3 px")
                             .arg(QString::fromStdString(ops[i].text),
                                  QString::fromStdString(ops[j].text))
                             .arg(px);
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

// Where the price's field ends on label n: five digits of the layout's price font.
double fieldRight(const SheetState& s, int n) {
    Op digits;
    digits.text = "00000";
    digits.font = {s.layout.priceFont.Name.toStdString(), double(s.layout.priceFont.Size)};
    return labelLeft(s, n) + s.layout.priceX + printedWidth(digits);
}

}  // namespace

class TestLabelFit : public QObject {
    Q_OBJECT

private slots:
    // Prices of 1 to 9,999,999, typed with and without separators, in the three modes, at 10 %
    // and 8 %, with names of 13, 20 and 40 characters, on the first-start layout and on the
    // デフォルト pattern (product name 18 pt, 円 24 pt), fitted and not.
    void shopData_data() {
        QTest::addColumn<Layout>("layout");
        QTest::addColumn<bool>("typedWithSeparators");
        for (const bool fit : {false, true}) {
            for (const bool pattern : {false, true}) {
                for (const int mode : {0, 1, 2}) {
                    for (const bool separators : {false, true}) {
                        const int rate = separators ? 8 : 10;
                        QTest::addRow("%s, %s, mode %d, %s, %d %%", fit ? "fit" : "as laid out",
                                      pattern ? "pattern" : "first start", mode,
                                      separators ? "1,280" : "1280", rate)
                            << layoutOf(pattern, mode, separators, rate, fit) << separators;
                    }
                }
            }
        }
    }

    void shopData() {
        QFETCH(Layout, layout);
        QFETCH(bool, typedWithSeparators);
        checkSheet(shopSheet(layout, typedWithSeparators));
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
        sheet.printMode = PrintMode::Paper;
        checkSheet(sheet);
    }

private:
    void checkSheet(const SheetState& sheet) {
        RecordingTarget t(true, {2.4, 2.4});
        const SheetReport report = drawSheet(sheet, t, RenderOptions::of(sheet));
        std::map<int, LabelReport> reported;
        std::set<int> reportedMarked;
        for (const LabelReport& label : report) {
            reported[label.label] = label;
            if (label.marked()) {
                reportedMarked.insert(label.label);
            }
        }
        std::set<int> overlapping;
        QStringList wrong;
        const Layout& l = sheet.layout;
        for (const auto& [n, ops] : textsByLabel(sheet, t)) {
            const QString where = QString("label %1: ").arg(n);
            if (const QString problems = inkProblems(sheet, n, ops); !problems.isEmpty()) {
                overlapping.insert(n);
                if (l.fitPrice) {
                    wrong << where + problems;
                }
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
            }
            if (!l.fitPrice) {
                // Today's output: every text at its anchor and the layout's size, the price as
                // today's field unless that was cut.
                const std::array<std::pair<double, double>, 3> anchors{
                    {{32, 11}, {4, 17}, {0, 20}}};
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
            if (isLong != !reported[n].longPrice.isEmpty() || !reported[n].cramped.isEmpty()) {
                wrong << where + "reported: " + reported[n].text();
            }
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join('\n')));
        // Without fitting the labels marked are exactly those the rasters show; with it, none.
        QCOMPARE(reportedMarked, l.fitPrice ? std::set<int>{} : overlapping);
        if (l.fitPrice) {
            QCOMPARE(overlapping, std::set<int>{});
        }
    }
};

QTEST_MAIN(TestLabelFit)
#include "tst_labelfit.moc"
