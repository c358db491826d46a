// The sheet renderer on the recording target: a full label, text rules, switches and paper.
#include <QRectF>
#include <QTest>
#include <algorithm>
#include <map>
#include <tuple>

#include "CalibrationSheet.h"
#include "Items.h"
#include "RecordingTarget.h"
#include "SheetRenderer.h"
#include "SwitchCaptions.h"

using namespace zukaro;
using draw::RecordingTarget;
using Kind = RecordingTarget::Kind;
using Font = RecordingTarget::Font;

Q_DECLARE_METATYPE(zukaro::SheetOrigin)
Q_DECLARE_METATYPE(zukaro::PrinterCalibration)

namespace {

// One primitive as text, to 9 digits so that 68.8 and 68.80000000000001 agree.
QString line(Kind kind, double x1, double y1, double x2, double y2, draw::WinColor color,
             const std::string& text = {}, const Font& f = {}) {
    const char* kinds[] = {"clear", "box", "fill", "line", "text"};
    if (kind != Kind::Text) {
        return QString::asprintf("%s (%.9g, %.9g) to (%.9g, %.9g) #%06x", kinds[int(kind)], x1, y1,
                                 x2, y2, unsigned(color));
    }
    return QString::asprintf("text (%.9g, %.9g) #%06x \"%s\" %s %.9g b%d i%d u%d", x1, y1,
                             unsigned(color), text.c_str(), f.name.c_str(), f.size, f.bold,
                             f.italic, f.underline);
}

// Everything recorded, each in the above form; anything not in millimetres says so.
QStringList lines(const std::vector<RecordingTarget::Op>& ops) {
    QStringList out;
    for (const auto& op : ops) {
        out << line(op.kind, op.x1, op.y1, op.x2, op.y2, op.color, op.text, op.font) +
                   (op.mode == draw::ScaleMode::Millimeters ? "" : " not in mm");
    }
    return out;
}

const auto labelX = [](int n) { return ((n - 1) % 3) * 66.1 + 2.7; };
const auto labelY = [](int n) { return ((n - 1) / 3) * 38.1 + 12.6; };

// The texts drawn on label 1, in order, each as "text@x,y size" in millimetres from the label's
// corner and points at 100 %, "_" first when underlined, "#colour" last unless black.
QString texts(const RecordingTarget& t, double zoom) {
    QStringList out;
    for (const auto& op : t.opsOf(Kind::Text)) {
        out << u"%1%2@%3,%4 %5%6"_qs
                   .arg(op.font.underline ? "_" : "", QString::fromStdString(op.text))
                   .arg(op.x1 / zoom - labelX(1), 0, 'g', 4)
                   .arg(op.y1 / zoom - labelY(1), 0, 'g', 4)
                   .arg(op.font.size / zoom)
                   .arg(op.color ? u" #%1"_qs.arg(op.color, 0, 16) : QString());
    }
    return out.join(u'|');
}

void fillLabel(SheetState& s, int n) {
    s.setLabel(n, {"4901234567894", "花王", "ビオレ", "400ml", "L12", "1980"});
}

}  // namespace

class TestSheetRenderer : public QObject {
    Q_OBJECT

private slots:
    void fullLabelPrimitives_data() {
        QTest::addColumn<double>("zoom");
        QTest::newRow("100 %") << 1.0;
        QTest::newRow("50 %") << 0.5;
    }

    void fullLabelPrimitives() {
        QFETCH(double, zoom);
        // Every item with its own face, size, style, colour and offset, so that mix-ups show.
        SheetState s;
        Layout& l = s.layout;
        l.janFont = {"ＭＳ ゴシック", 8, true, false};
        l.makerFont = {"メイリオ", 9, false, true};
        l.productFont = {"ＭＳ 明朝", 11, true, true};
        l.specFont = {"ＭＳ Ｐ明朝", 10, false, false};
        l.lotFont = {"ＭＳ Ｐゴシック", 7, false, false};
        l.priceFont = {"ＭＳ 明朝", 48, true, false};
        l.yenFont = {"ＭＳ ゴシック", 12, false, false};
        std::tie(l.janColor, l.makerColor, l.productColor, l.specColor, l.lotColor, l.priceColor,
                 l.yenColor, l.borderColor) = std::tuple(1, 2, 3, 4, 5, 255, 0xFF0000, 0x00FF00);
        std::tie(l.barX, l.barY, l.janX, l.janY, l.productX, l.productY, l.priceX, l.priceY) =
            std::tuple(-1, 1, 2, -2, 3, 0, 0, 4);
        std::tie(l.yenX, l.yenY, l.makerX, l.makerY, l.specX, l.specY, l.lotX, l.lotY) =
            std::tuple(-3, -1, 1, 2, -2, 3, 4, -4);
        l.品名U表示 = true;
        l.縁取 = true;
        fillLabel(s, 5);
        RecordingTarget t;
        drawSheet(s, t, RenderOptions::onScreen(s, zoom));

        auto z = [zoom](double v) { return v * zoom; };
        QStringList expected = {line(Kind::Clear, 0, 0, 0, 0, draw::kWhite)};
        for (int n = 1; n <= 21; ++n) {
            expected << line(Kind::Box, z(labelX(n)), z(labelY(n)), z(labelX(n)) + z(66.1),
                             z(labelY(n)) + z(38.1), draw::rgb(128, 128, 128));
        }
        const double x0 = labelX(5), y0 = labelY(5);  // second column, second row
        auto fill = [&](double dx, double dy, double w, double h, draw::WinColor c) {
            expected << line(Kind::FilledBox, z(x0 + dx), z(y0 + dy), z(x0 + dx) + z(w),
                             z(y0 + dy) + z(h), c);
        };
        fill(3, 1, 59, 1.5, 0x00FF00);
        fill(3, 35, 59, 1.5, 0x00FF00);
        auto text = [&](double dx, double dy, const char* printed, Font f, draw::WinColor c) {
            f.size *= zoom;
            expected << line(Kind::Text, z(x0 + dx), z(y0 + dy), 0, 0, c, printed, f);
        };
        // Anchors (32, 11), (4, 17), (0, 20), (48, 30), (5, 13.5), (8, 26), (8, 30) plus offsets.
        text(34, 9, "4901234567894", {"ＭＳ ゴシック", 8, true, false, false}, 1);
        text(7, 17, "       ビオレ", {"ＭＳ 明朝", 11, true, true, true}, 3);
        text(0, 24, " 1980", {"ＭＳ 明朝", 48, true, false, false}, 255);
        text(45, 29, "円", {"ＭＳ ゴシック", 12, false, false, false}, 0xFF0000);
        text(6, 15.5, "花王", {"メイリオ", 9, false, true, false}, 2);
        text(6, 29, "400ml", {"ＭＳ Ｐ明朝", 10, false, false, false}, 4);
        text(12, 26, "L12", {"ＭＳ Ｐゴシック", 7, false, false, false}, 5);
        // The imitation bars are imitationBars()' concern.
        QStringList drawn = lines(t.ops());
        drawn.removeIf(
            [](const QString& op) { return op.startsWith("fill") && op.endsWith("#000000"); });
        QCOMPARE(drawn, expected);
        QCOMPARE(t.opsOf(Kind::Box).front().fillStyle, draw::FillStyle::Transparent);
    }

    // The preview shows a fixed imitation of bars where the paper gets the real ones: black
    // bars inside the label, across the band of the real bars, moved by the bars' nudges and
    // scaled like everything else.
    void imitationBars_data() {
        QTest::addColumn<double>("zoom");
        QTest::newRow("100 %") << 1.0;
        QTest::newRow("50 %") << 0.5;
    }

    void imitationBars() {
        QFETCH(double, zoom);
        const auto barsMovedBy = [zoom](int dx, int dy) {
            SheetState s;
            fillLabel(s, 5);
            std::tie(s.layout.barX, s.layout.barY) = std::tuple(dx, dy);
            RecordingTarget t;
            drawSheet(s, t, RenderOptions::onScreen(s, zoom));
            return t.opsOf(Kind::FilledBox);
        };
        const auto bars = barsMovedBy(0, 0), moved = barsMovedBy(-3, 2);
        QCOMPARE(bars.size(), std::size_t(14));
        QCOMPARE(moved.size(), bars.size());
        const BarsDescription& real = zukaro::bars();
        double left = kLabelPitchX, right = 0;
        for (std::size_t i = 0; i < bars.size(); ++i) {
            const auto& b = bars[i];
            // In millimetres from label 5's corner.
            const double x1 = b.x1 / zoom - labelX(5), x2 = b.x2 / zoom - labelX(5);
            const double y1 = b.y1 / zoom - labelY(5), y2 = b.y2 / zoom - labelY(5);
            const QString at =
                u"bar %1 at (%2, %3) to (%4, %5)"_qs.arg(i).arg(x1).arg(y1).arg(x2).arg(y2);
            QVERIFY2(b.color == draw::kBlack && x1 >= 0 && x2 <= kLabelPitchX && x2 > x1 &&
                         y1 < real.bottom && y2 > real.top,
                     qPrintable(at));
            left = std::min(left, x1);
            right = std::max(right, x2);
            const auto& m = moved[i];
            QVERIFY2(qFuzzyCompare(m.x1 - b.x1 + 1, -3 * zoom + 1) &&
                         qFuzzyCompare(m.y1 - b.y1 + 1, 2 * zoom + 1) &&
                         qFuzzyCompare(m.x2 - m.x1, b.x2 - b.x1) &&
                         qFuzzyCompare(m.y2 - m.y1, b.y2 - b.y1),
                     qPrintable(at));
        }
        // Most of the width of the real bars.
        QVERIFY2(std::min(right, real.right) - std::max(left, real.left) >
                     (real.right - real.left) * 0.7,
                 qPrintable(u"%1 to %2 mm"_qs.arg(left).arg(right)));
    }

    // One label of a sheet at 50 %, set up by "name=value" settings (paper: printed, not
    // previewed, at 100 %): its texts, and how many bars (the preview's imitation ones).
    void oneLabel_data() {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<int>("bars");
        QTest::addColumn<QString>("drawn");
        const QString all =
            "4901234567894@32,11 8|       ビオレ@4,17 11| 1980@0,20 48 #ff|"
            "円@48,30 12 #ff|花王@5,13.5 9|400ml@8,26 9|L12@8,30 8";
        const auto with = [&all](const QString& from, const QString& to) {
            return QString(all).replace(from, to);
        };
        const auto row = [](const char* name, const char* settings, int bars,
                            const QString& drawn) {
            QTest::newRow(name) << QString(settings) << bars << drawn;
        };
        // The preview marks a code that will print without bars; paper never shows the mark.
        const QString mark = "×JAN@56,4 7 #ff|";
        row("JAN of 8: four spaces", "janText=49123456", 14, with("4901234567894", "    49123456"));
        row("JAN of 12: no bars, marked", "janText=490123456789", 0,
            with("4901234567894", mark + "490123456789"));
        row("JAN of 12 on paper", "paper;janText=490123456789", 0,
            with("4901234567894", "490123456789"));
        row("wrong check digit marked", "janText=4901234567890", 14,
            with("4901234567894", mark + "4901234567890"));
        row("refused code on paper keeps its digits", "paper;janText=4901234567890", 0,
            with("94@", "90@"));
        row("price trimmed", "priceText=  500 ", 14, with(" 1980@", "  500@"));
        // Six characters fill the five-character field whole, at 40 pt instead of 48.
        row("price of six drawn whole", "priceText=123456", 14,
            with(" 1980@0,20 48", "123456@0,20 40"));
        const int spaces[] = {8, 7, 7, 6, 5, 5, 4, 3, 3, 2, 1, 0};
        for (int length = 1; length <= 12; ++length) {
            const QString name(length, u'品');
            QTest::addRow("name of %d", length)
                << "productText=" + name << 14
                << with("       ビオレ", QString(spaces[length - 1], u' ') + name);
        }
        row("empty name: nothing", "productText=", 0, "");
        row("empty name on paper", "paper;productText=", 0, "");
        row("blank name: everything", "productText= ", 14, with("       ビオレ", "         "));
        row("JAN hidden, bars stay", "jan表示=表示する", 14, all.section(u'|', 1));
        row("bars: unknown caption hides", "BARCODE=はい", 0, all);
        row("bars hidden: no mark", "BARCODE=はい;janText=490123456789", 0,
            with("4901234567894", "490123456789"));
        row("price: unknown caption hides", "単価表示=表示", 14, with("| 1980@0,20 48 #ff", ""));
        row("maker: unknown caption underlines", "メーカーU表示=xyz", 14, with("花王", "_花王"));
        row("outline: unknown caption is off", "縁取=縁取り", 14, all);
        // 総額表示: the big price, and the line beside it at (44, 22) moved by (1, -1).
        row("as typed with separators", "priceMode=0;separators;priceText=12800", 14,
            with(" 1980@0,20 48", "12,800@0,20 40"));
        row("total with 10 %", "priceMode=1;priceText=398", 14,
            with(" 1980@", "  437@") + "|(本体 398円)@45,21 7");
        row("total with 8 % of its own", "priceMode=1;taxRate=8;priceText=398", 14,
            with(" 1980@", "  429@") + "|(本体 398円)@45,21 7");
        // A layout for food: the labels without a rate of their own take its 8 %.
        row("8 % layout, no rate of its own", "priceMode=1;defaultRate=8;priceText=398", 14,
            with(" 1980@", "  429@") + "|(本体 398円)@45,21 7");
        row("8 % layout, 10 % of its own", "priceMode=1;defaultRate=8;taxRate=10;priceText=398", 14,
            with(" 1980@", "  437@") + "|(本体 398円)@45,21 7");
        row("8 % layout, net and total", "priceMode=2;defaultRate=8;priceText=12800", 14,
            with(" 1980@", "12800@") + "|税込 13824円@45,21 9 #ff");
        row("net and total", "priceMode=2;priceText=398", 14,
            with(" 1980@", "  398@") + "|税込 437円@45,21 9 #ff");
        row("total with separators", "priceMode=1;separators;priceText=1280", 14,
            with(" 1980@", "1,408@") + "|(本体 1,280円)@45,21 7");
        row("six digits never cut", "priceMode=1;priceText=99999", 14,
            with(" 1980@0,20 48", "109998@0,20 40") + "|(本体 99999円)@45,21 7");
        // Prices as clerks type them are read as the lists read them, and taxed; what still is
        // no whole yen prints as typed, marked 「×売価」 on the preview (never on paper).
        row("yen sign typed: taxed", "priceMode=1;priceText=￥398", 14,
            with(" 1980@", "  437@") + "|(本体 398円)@45,21 7");
        row("円 typed: taxed", "priceMode=1;priceText=398円", 14,
            with(" 1980@", "  437@") + "|(本体 398円)@45,21 7");
        row("full-width, grouped: the 本体 keeps the comma", "priceMode=1;priceText=１，２８０", 14,
            with(" 1980@", " 1408@") + "|(本体 1,280円)@45,21 7");
        row("typed 12,800: the 本体 keeps the comma", "priceMode=1;priceText=12,800", 14,
            with(" 1980@", "14080@") + "|(本体 12,800円)@45,21 7");
        row("typed 12,800, net and total", "priceMode=2;priceText=12,800", 14,
            with(" 1980@0,20 48", "12,800@0,20 40") + "|税込 14080円@45,21 9 #ff");
        row("not whole yen: as typed, marked", "priceMode=1;priceText=398.5", 14,
            "×売価@56,10 7 #ff|" + with(" 1980@", "398.5@"));
        row("not whole yen on paper: no mark",
            "paper;priceMode=1;priceText=398.5;janText=490123456789", 0,
            with(" 1980@", "398.5@").replace("4901234567894", "490123456789"));
        row("a word as typed, nothing computed: no mark", "priceText=オープン", 14,
            with(" 1980@", " オープン@"));
        // A register's 内税 price is the total already: never taxed again, 本体 worked back
        // (1,100 at 10 % holds 100; 1,000 at 8 % holds 74.07, rounded down).
        row("内税 total as it stands", "priceMode=1;separators;taxKind=内税;priceText=1100", 14,
            with(" 1980@", "1,100@") + "|(本体 1,000円)@45,21 7");
        row("内税 at 8 %", "priceMode=1;taxKind=内税;taxRate=8;priceText=1000", 14,
            with(" 1980@", " 1000@") + "|(本体 926円)@45,21 7");
        row("内税, net and total", "priceMode=2;taxKind=内税;priceText=1100", 14,
            with(" 1980@", " 1000@") + "|税込 1100円@45,21 9 #ff");
        row("内税 as typed", "priceMode=0;taxKind=内税;priceText=1100", 14,
            with(" 1980@", " 1100@"));
        row("非課税: as it stands, no line", "priceMode=1;taxKind=非課税;priceText=500", 14,
            with(" 1980@", "  500@"));
        row("非課税, net and total", "priceMode=2;taxKind=非課税;priceText=500", 14,
            with(" 1980@", "  500@"));
        row("no price", "priceMode=2;priceText=", 14, with(" 1980@", "     @"));
        // 価格を枠内に収める: four digits at 48 pt shrink by half points to 38 pt, 26.8 mm wide,
        // to end where the field ends (42.33 mm) with the spec's ink half a millimetre clear of
        // the box around theirs; three keep their size, in the place they had.
        row("fit four digits", "fit;priceText=9999", 14, with(" 1980@0,20 48", "9999@15.52,20 38"));
        row("fit three digits", "fit;priceText=398", 14, with(" 1980@0,20 48", "398@16.93,20 48"));
        // 単位価格 at (44, 26), 6 pt, from the price as printed: 1,980 yen for 400 ml is 495 per
        // 100 ml; a total of 437 is 109.25, 109.3 to 0.1 yen (halves up); 14,080 for 1 kg is
        // 1,408 per 100 g; 1,280 for 350 ml × 6 (2,100 ml) is 60.95.
        const QString unitPrice = "|100mlあたり %1円@44,26 6";
        row("単位価格 of the price as typed", "unitPrice", 14, all + unitPrice.arg(495));
        row("単位価格 of the total, to 0.1 yen", "unitPrice=tenth;priceMode=1;priceText=398", 14,
            with(" 1980@", "  437@") + "|(本体 398円)@45,21 7" + unitPrice.arg("109.3"));
        row("単位価格 of the total beside 本体", "unitPrice;priceMode=2;priceText=12800", 14,
            with(" 1980@", "12800@") + "|税込 14080円@45,21 9 #ff" + unitPrice.arg(3520));
        row("単位価格 with separators",
            "unitPrice;priceMode=1;separators;specText=1kg;priceText=12800", 14,
            with(" 1980@0,20 48", "14,080@0,20 40").replace("400ml", "1kg") +
                "|(本体 12,800円)@45,21 7|100gあたり 1,408円@44,26 6");
        row("単位価格 of a 内税 price",
            "unitPrice;priceMode=1;taxKind=内税;taxRate=8;priceText=1000", 14,
            with(" 1980@", " 1000@") + "|(本体 926円)@45,21 7" + unitPrice.arg(250));
        row("単位価格 of a pack", "unitPrice;specText=350ml×6缶;priceText=1280", 14,
            with(" 1980@", " 1280@").replace("400ml", "350ml×6缶") + unitPrice.arg(61));
        row("単位価格 by the piece", "unitPrice;specText=24本入;priceText=2350", 14,
            with(" 1980@", " 2350@").replace("400ml", "24本入") + "|1本あたり 98円@44,26 6");
        row("no quantity: no 単位価格", "unitPrice;specText=大", 14, with("400ml", "大"));
        row("no yen: no 単位価格", "unitPrice;priceText=オープン", 14,
            with(" 1980@", " オープン@"));

        // A sale of 298 instead of 398 from 2026-12-08 to 2026-12-14, both days included: the
        // sale price as the big price, 「特価」 left of the bars, and the regular price on its
        // line at (44, 26), struck through (one more filled box than the bars).
        const QString week = "priceText=398;salePrice=298;saleFrom=2026-12-08;saleTo=2026-12-14;";
        // (the line with tax, drawn before the sale's two, then 「特価」 and the regular price)
        const auto sale = [&with](const QString& big, const QString& lines) {
            const QString taxLine = lines.section(u'|', 0, -2);
            return with(" 1980@", big) + (taxLine.isEmpty() ? "" : "|" + taxLine) +
                   "|特価@1.5,4 10 #ff|" + lines.section(u'|', -1);
        };
        row("sale: the day before", qPrintable(week + "asOf=2026-12-07"), 14,
            with(" 1980@", "  398@"));
        row("sale: its first day", qPrintable(week + "asOf=2026-12-08"), 15,
            sale("  298@", "通常価格 398円@44,26 7"));
        row("sale: its last day", qPrintable(week + "asOf=2026-12-14"), 15,
            sale("  298@", "通常価格 398円@44,26 7"));
        row("sale: the day after", qPrintable(week + "asOf=2026-12-15"), 14,
            with(" 1980@", "  398@"));
        row("sale without a first day",
            "priceText=398;salePrice=298;saleTo=2026-12-14;asOf=2020-01-01", 15,
            sale("  298@", "通常価格 398円@44,26 7"));
        row("sale without a last day",
            "priceText=398;salePrice=298;saleFrom=2026-12-08;asOf=2030-01-01", 15,
            sale("  298@", "通常価格 398円@44,26 7"));
        row("sale whose last day is no day: off",
            qPrintable(week + "saleTo=2026-13-01;asOf=2026-12-10"), 14, with(" 1980@", "  398@"));
        row("period but no sale price", "priceText=398;saleFrom=2026-12-08;asOf=2026-12-10", 14,
            with(" 1980@", "  398@"));
        row("not struck through", qPrintable(week + "nostrike;asOf=2026-12-10"), 14,
            sale("  298@", "通常価格 398円@44,26 7"));
        row("regular price of its own, after the sale",
            "priceText=298;regularPrice=498;salePrice=298;saleTo=2026-12-14;asOf=2026-12-15", 14,
            with(" 1980@", "  498@"));
        row("regular price of its own, in the sale",
            "priceText=298;regularPrice=498;salePrice=298;saleTo=2026-12-14;asOf=2026-12-14", 15,
            sale("  298@", "通常価格 498円@44,26 7"));
        row("regular price typed with a yen sign",
            qPrintable(week + "priceText=￥1,280;asOf=2026-12-10"), 15,
            sale("  298@", "通常価格 1,280円@44,26 7"));
        // With tax (298 × 1.1 = 327.8, 398 × 1.1 = 437.8; at 8 %: 321.84 and 429.84, down), the
        // regular price exactly as the big price would print it.
        row("sale with 10 %", qPrintable(week + "priceMode=1;asOf=2026-12-10"), 15,
            sale("  327@", "(本体 298円)@45,21 7|通常価格 437円@44,26 7"));
        row("sale with 8 %", qPrintable(week + "priceMode=1;taxRate=8;asOf=2026-12-10"), 15,
            sale("  321@", "(本体 298円)@45,21 7|通常価格 429円@44,26 7"));
        row("sale, net and total", qPrintable(week + "priceMode=2;asOf=2026-12-10"), 15,
            sale("  298@", "税込 327円@45,21 9 #ff|通常価格 398円@44,26 7"));
        row("sale with separators",
            qPrintable(week + "priceMode=1;separators;priceText=1280;"
                              "salePrice=980;asOf=2026-12-10"),
            15, sale("1,078@", "(本体 980円)@45,21 7|通常価格 1,408円@44,26 7"));
        // 内税 sale prices are totals already: 330 at 10 % holds 30, 440 holds 40.
        row("内税 sale with tax",
            "priceMode=1;taxKind=内税;priceText=440;salePrice=330;asOf=2026-12-10", 15,
            sale("  330@", "(本体 300円)@45,21 7|通常価格 440円@44,26 7"));
        row("内税 sale, net and total",
            "priceMode=2;taxKind=内税;priceText=440;salePrice=330;asOf=2026-12-10", 15,
            sale("  300@", "税込 330円@45,21 9 #ff|通常価格 400円@44,26 7"));
        row("内税 sale as typed",
            "priceMode=0;taxKind=内税;priceText=440;salePrice=330;asOf=2026-12-10", 15,
            sale("  330@", "通常価格 440円@44,26 7"));
        row("非課税 sale", "priceMode=1;taxKind=非課税;priceText=500;salePrice=450;asOf=2026-12-10",
            15, sale("  450@", "通常価格 500円@44,26 7"));
        // 軽減 8 % → 0 % from 2026-10-01: 398 prints 429 the day before and 398 on the day, in
        // each mode; a 内税 429 holds 31.78 (31) of tax the day before and none on the day.
        const QString zero = "taxRate=8;priceText=398;rateFrom=軽減:0:2026-10-01;";
        row("8 % → 0 %: the day before", qPrintable(zero + "priceMode=1;asOf=2026-09-30"), 14,
            with(" 1980@", "  429@") + "|(本体 398円)@45,21 7");
        row("8 % → 0 %: on the day", qPrintable(zero + "priceMode=1;asOf=2026-10-01"), 14,
            with(" 1980@", "  398@") + "|(本体 398円)@45,21 7");
        row("8 % → 0 %, net and total: the day before",
            qPrintable(zero + "priceMode=2;asOf=2026-09-30"), 14,
            with(" 1980@", "  398@") + "|税込 429円@45,21 9 #ff");
        row("8 % → 0 %, net and total: on the day",
            qPrintable(zero + "priceMode=2;asOf=2026-10-01"), 14,
            with(" 1980@", "  398@") + "|税込 398円@45,21 9 #ff");
        row("8 % → 0 %, as typed: the same both days",
            qPrintable(zero + "priceMode=0;asOf=2026-10-01"), 14, with(" 1980@", "  398@"));
        row("8 % → 0 %, 内税: the day before",
            qPrintable(zero + "priceMode=1;taxKind=内税;priceText=429;asOf=2026-09-30"), 14,
            with(" 1980@", "  429@") + "|(本体 398円)@45,21 7");
        row("8 % → 0 %, 内税: on the day",
            qPrintable(zero + "priceMode=1;taxKind=内税;priceText=429;asOf=2026-10-01"), 14,
            with(" 1980@", "  429@") + "|(本体 429円)@45,21 7");
        row("8 % → 0 %: a 標準 label keeps 10 %",
            qPrintable(zero + "priceMode=1;taxRate=10;asOf=2026-10-01"), 14,
            with(" 1980@", "  437@") + "|(本体 398円)@45,21 7");
        row("8 % → 0 %: a sale on the day",
            qPrintable(zero + "priceMode=1;salePrice=298;asOf=2026-10-01"), 15,
            sale("  298@", "(本体 298円)@45,21 7|通常価格 398円@44,26 7"));
    }

    void oneLabel() {
        QFETCH(QString, settings);
        QFETCH(int, bars);
        QFETCH(QString, drawn);
        SheetState s;
        bool paper = false;  // at 50 % on screen unless "paper"
        fillLabel(s, 1);
        Layout& l = s.layout;
        std::tie(l.netX, l.netY, l.grossX, l.grossY) = std::tuple(1, -1, 1, -1);
        const QStringList names = {"janText",  "productText", "priceText",    "taxRate",  "taxKind",
                                   "specText", "salePrice",   "regularPrice", "saleFrom", "saleTo"};
        QString* const fields[] = {
            &s.janText[1],  &s.productText[1], &s.priceText[1],    &s.taxRate[1],  &s.taxKind[1],
            &s.specText[1], &s.salePrice[1],   &s.regularPrice[1], &s.saleFrom[1], &s.saleTo[1]};
        // Switches set by their captions, as a file gives them.
        const std::map<QString, std::pair<bool*, bool (*)(const QString&)>> switches = {
            {"jan表示", {&l.jan表示, caption::isShown}},
            {"BARCODE", {&s.BARCODE, caption::isShown}},
            {"単価表示", {&l.単価表示, caption::isShown}},
            {"メーカーU表示", {&l.メーカーU表示, caption::isUnderlined}},
            {"縁取", {&l.縁取, caption::isOutlined}}};
        QDate asOf;
        for (const QString& setting : settings.split(u';', Qt::SkipEmptyParts)) {
            const QString name = setting.section(u'=', 0, 0), value = setting.section(u'=', 1);
            if (name == "asOf") {
                asOf = QDate::fromString(value, Qt::ISODate);
            } else if (name == "rateFrom") {
                const QStringList f = value.split(u':');
                l.taxRateChanges.push_back({f[0] == "軽減" ? TaxClass::Reduced : TaxClass::Standard,
                                            f[1].toInt(), QDate::fromString(f[2], Qt::ISODate)});
            } else if (name == "nostrike") {
                l.strikeRegularPrice = false;
            } else if (name == "paper") {
                paper = true;
            } else if (name == "priceMode") {
                l.priceMode = PriceMode(value.toInt());
            } else if (name == "defaultRate") {
                l.defaultTaxRate = value.toInt();
            } else if (name == "separators" || name == "fit") {
                (name == "fit" ? l.fitPrice : l.thousandsSeparators) = true;
            } else if (const auto found = switches.find(name); found != switches.end()) {
                *found->second.first = found->second.second(value);
            } else if (name == "unitPrice") {
                l.unitPriceShown = true;
                l.unitPriceRounding =
                    value == "tenth" ? UnitPriceRounding::TenthYen : UnitPriceRounding::WholeYen;
            } else {
                *fields[names.indexOf(name)] = value;
            }
        }
        RecordingTarget t(paper, {2.4, 2.4});
        RenderOptions options = paper ? RenderOptions::onPaper(s) : RenderOptions::onScreen(s, 0.5);
        options.asOf = asOf;
        drawSheet(s, t, options);
        QCOMPARE(texts(t, paper ? 1.0 : 0.5), drawn);
        QCOMPARE(int(t.opsOf(Kind::FilledBox).size()), bars);
        // The preview alone clears and shows the 21 guide frames, whatever the labels hold.
        QCOMPARE(int(t.opsOf(Kind::Clear).size() + t.opsOf(Kind::Box).size()), paper ? 0 : 22);
    }

    // What a label reports, fitted or not: label 1 of the first-start layout with "key=value"
    // changes. Only what fitting cannot mend is left to tell with fitting on.
    void reports_data() {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("told");
        const QString fit = "「価格を枠内に収める」をオンにすると、収まる大きさで印刷します。";
        QTest::newRow("three digits clear of 400ml") << "priceText=398"
                                                     << "";
        QTest::newRow("a name of 20 off the label")
            << "priceText=398;productText=薬用ハンドソープ泡タイプ詰め替え用大容量"
            << "品名がラベルからはみ出して印刷されます。" + fit;
        QTest::newRow("four digits over the spec, and fitted onto the label")
            << "fit;productText=薬用ハンドソープ泡タイプ詰め替え用大容量"
            << "";
        QTest::newRow("lot moved onto the spec, fitted or not")
            << "fit;lotY=-4;priceText=98"
            << "規格とロットが重なって印刷されます。";
        QTest::newRow("no room for the price at 8 pt")
            << "fit;specY=-6;priceText=1234567;specText=ＸＸＸＸＸＸＸＸＸＸＸＸＸ"
            << "売価「1234567」は 5 文字の枠に入らないため、8 pt に小さくして印刷します。"
               "品名と規格、売価と規格が重なって印刷されます。"
               "売価は小さくしても枠内に収まりません。";
        // 単位価格 on: a label whose spec gives no quantity is told, and one that has it is not.
        QTest::newRow("単位価格 beside three digits") << "unitPrice;priceText=398"
                                                      << "";
        QTest::newRow("単位価格 of 「大」")
            << "unitPrice;priceText=398;specText=大"
            << "規格「大」から内容量や入数が読み取れないため、単位価格を印刷しません。"
               "「500ml」「185g×30本」「6個入」のように書くと印刷します。";
        QTest::newRow("単位価格 without a spec") << "unitPrice;priceText=398;specText="
                                                 << "規格が空のため、単位価格を印刷しません。";
        QTest::newRow("単位価格 of a price in words")
            << "fit;unitPrice;priceText=オープン"
            << "売価「オープン」が円の金額でないため、単位価格を印刷しません。";
        QTest::newRow("単位価格 off, 「大」 not told") << "priceText=398;specText=大"
                                                       << "";
    }

    void reports() {
        QFETCH(QString, settings);
        QFETCH(QString, told);
        SheetState s;
        fillLabel(s, 1);
        Layout& l = s.layout;
        for (const QString& setting : settings.split(u';', Qt::SkipEmptyParts)) {
            const QString name = setting.section(u'=', 0, 0), value = setting.section(u'=', 1);
            if (name == "fit") {
                l.fitPrice = true;
            } else if (name == "unitPrice") {
                l.unitPriceShown = true;
            } else if (name.endsWith("Text")) {
                (name == "priceText"  ? s.priceText
                 : name == "specText" ? s.specText
                                      : s.productText)[1] = value;
            } else {
                (name == "lotY" ? l.lotY : l.specY) = std::int16_t(value.toInt());
            }
        }
        const SheetReport report = checkSheet(s);
        QCOMPARE(report.empty() ? QString() : report.front().text(), told);
        RecordingTarget t;
        QVERIFY(drawSheet(s, t, RenderOptions::onScreen(s, 0.5)).size() == report.size());
    }

    // On screen only, over the preview: a red frame and "×重なり" (or "×枠外") under "×JAN" of
    // every label whose texts overprint or leave it.
    void marksOfOverprintedLabels() {
        SheetState s;
        fillLabel(s, 2);
        fillLabel(s, 6);
        s.priceText[2] = u"1280"_qs;  // over "400ml"
        s.specText[2] = u"500ml"_qs;
        s.productText[6] = u"薬用ハンドソープ泡タイプ詰め替え用大容量"_qs;  // onto label 7
        s.priceText[6] = u"98"_qs;
        RecordingTarget sheet, t;
        const RenderOptions options = RenderOptions::onScreen(s, 1.0);
        drawLabelMarks(drawSheet(s, sheet, options), t, options);
        QStringList expected;
        for (const auto& [n, mark] : {std::pair(2, "×重なり"), std::pair(6, "×枠外")}) {
            expected << line(Kind::Text, labelX(n) + 56, labelY(n) + 7, 0, 0, 0x0000FF, mark,
                             {"ＭＳ ゴシック", 7, true})
                     << line(Kind::Box, labelX(n), labelY(n), labelX(n) + 66.1, labelY(n) + 38.1,
                             0x0000FF);
        }
        QCOMPARE(lines(t.ops()), expected);
    }

    // A product name of millions of characters is drawn only as far as any page reaches: at
    // least a whole A3 sheet's width of the narrowest half-width glyphs.
    void hugeTextIsCutToThePage() {
        for (const int points : {11, 1}) {
            SheetState s;
            fillLabel(s, 3);
            s.productText[3] = QString(4'000'000, u'品');
            s.layout.productFont.Size = std::int16_t(points);
            RecordingTarget t(true, {2.4, 2.4});
            drawSheet(s, t, RenderOptions::onPaper(s));
            const QString drawn = QString::fromStdString(t.opsOf(Kind::Text)[1].text);
            QVERIFY2(drawn.size() >= 420 / (points * 25.4 / 72 * 0.25) && drawn.size() < 100'000 &&
                         s.productText[3].startsWith(drawn.trimmed()),
                     qPrintable(u"%1 characters at %2 pt"_qs.arg(drawn.size()).arg(points)));
        }
    }

    // The calibration sheet's crosses and scales, wherever the shift buttons put the labels,
    // stay on the A4 paper: a half of a scale that would run past the paper's edge (label 1's
    // 「右」 at the start-up place, 2.7 mm from the edge) ends inside it, its word smaller and
    // still beside the cross; a half with no room for a legible word (4 pt) has none.
    void calibrationSheetStaysOnThePaper_data() {
        QTest::addColumn<SheetOrigin>("shift");
        QTest::addColumn<PrinterCalibration>("calibration");
        QTest::addColumn<int>("words");  // 右 左 下 上 at both crosses
        QTest::newRow("start-up place") << kStartUpOrigin << PrinterCalibration{} << 8;
        QTest::newRow("default pattern's place")
            << kDefaultPatternOrigin << PrinterCalibration{} << 8;
        QTest::newRow("ten steps up") << SheetOrigin{2.7, 2.6} << PrinterCalibration{} << 8;
        // Sent 1.2 mm further left: 0.5 mm of 「右」 is left, too short for its word.
        QTest::newRow("check sheet of a printer printing right")
            << kStartUpOrigin << PrinterCalibration{1.2, -0.8, 1.003, 0.998} << 7;
    }

    void calibrationSheetStaysOnThePaper() {
        QFETCH(SheetOrigin, shift);
        QFETCH(PrinterCalibration, calibration);
        QFETCH(int, words);
        RecordingTarget t(true, {2.4, 2.4});
        drawCalibrationSheet(t, {shift, "PDF ファイル", "2024-05-01", calibration});
        const auto onPaper = [](const QRectF& r) {
            return r.left() >= 0 && r.top() >= 0 && r.right() <= kA4Width &&
                   r.bottom() <= kA4Height;
        };
        QStringList off;
        int directions = 0;
        for (const auto& op : t.ops()) {
            // The label outlines and their numbers are where the labels are (grey); the crosses,
            // scales and words are black.
            if (op.kind == Kind::Box || op.color != draw::kBlack) {
                continue;
            }
            const QString text = QString::fromStdString(op.text);
            QRectF at = QRectF(QPointF(op.x1, op.y1), QPointF(op.x2, op.y2)).normalized();
            if (op.kind == Kind::Text) {
                double ems = 0;
                for (const QChar c : text) {
                    ems += c.unicode() < 0x80 ? 0.5 : 1;
                }
                const double em = op.font.size * 25.4 / 72;
                at = QRectF(op.x1, op.y1, ems * em, em);
                const bool direction = text.size() == 1 && QString("右左下上").contains(text);
                directions += direction ? 1 : 0;
                if (direction && op.font.size < 4) {
                    off << text + u" at %1 pt"_qs.arg(op.font.size);
                }
            }
            if (!onPaper(at)) {
                off << u"%1 (%2, %3)-(%4, %5)"_qs.arg(text.isEmpty() ? "line" : text)
                           .arg(at.left())
                           .arg(at.top())
                           .arg(at.right())
                           .arg(at.bottom());
            }
        }
        QVERIFY2(off.isEmpty(), qPrintable(off.join(", ")));
        QCOMPARE(directions, words);
        // Label 1's 「右」 stays left of its cross, clear of the cross's line.
        const SheetOrigin cross = calibration.sendFor(labelCorner(1, shift));
        for (const auto& op : t.opsOf(Kind::Text)) {
            if (op.text == "右" && op.y1 < 100) {
                QVERIFY2(op.x1 + op.font.size * 25.4 / 72 <= cross.x - 0.29,
                         qPrintable(u"右 at %1 to %2, cross at %3"_qs.arg(op.x1)
                                        .arg(op.x1 + op.font.size * 25.4 / 72)
                                        .arg(cross.x)));
            }
        }
    }

    // The empty numbered sheet of start-up, then the current label's frame over it: at 50 %
    // lines of 5 pixels halved, 2.5 rounded to even, and the width put back to 1 after.
    void layoutGuideAndCurrentLabelFrame() {
        RecordingTarget t;
        drawLayoutGuide(t, {PrintMode::Preview, 0.5, kStartUpOrigin});
        drawCurrentLabelFrame(4, t, {PrintMode::Preview, 0.5, kStartUpOrigin});
        QStringList expected = {line(Kind::Clear, 0, 0, 0, 0, draw::kWhite)};
        for (int n = 1; n <= 21; ++n) {
            const double x = labelX(n) * 0.5, y = labelY(n) * 0.5;
            expected << line(Kind::Box, x, y, x + 33.05, y + 19.05, kButtonFaceColor)
                     << line(Kind::Text, x + 28, y + 8, 0, 0, kButtonFaceColor,
                             (n < 10 ? " " : "") + std::to_string(n), {"ＭＳ 明朝", 5});
        }
        expected << line(Kind::Line, 1.35, 25.35, 34.4, 25.35, 0xFF0000)
                 << line(Kind::Line, 1.35, 25.35, 1.35, 44.4, 0xFF0000)
                 << line(Kind::Line, 1.35, 44.4, 34.4, 44.4, 0xFF0000)
                 << line(Kind::Line, 34.4, 25.35, 34.4, 44.4, 0xFF0000);
        QCOMPARE(lines(t.ops()), expected);
        QCOMPARE(t.ops().back().lineWidth, 2);
        QCOMPARE(t.lineWidth(), 1);
    }
};

QTEST_MAIN(TestSheetRenderer)
#include "tst_sheetrenderer.moc"
