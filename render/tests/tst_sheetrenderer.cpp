// The sheet renderer on the recording target: every primitive of a full label with its
// position, font and colour, the text rules (JAN padding, centring, price field), the
// caption-held switches, print mode, the empty numbered sheet and the current-label frame.
#include <QTest>
#include <cmath>
#include <map>
#include <tuple>

#include "ItemTexts.h"
#include "RecordingTarget.h"
#include "SheetRenderer.h"

using namespace zukaro;
using draw::RecordingTarget;
using draw::ScaleMode;
using Kind = RecordingTarget::Kind;
using Op = RecordingTarget::Op;
using Font = RecordingTarget::Font;

namespace {

constexpr draw::WinColor kRed = 255;

// One primitive as the test expects it; positions in millimetres on the target.
struct Expected {
    Kind kind;
    double x1, y1, x2, y2;
    draw::WinColor color;
    std::string text = {};
    Font font = {};
};

bool near(double a, double b) {
    return std::abs(a - b) < 1e-9;
}

QString describe(const Op& op) {
    return QStringLiteral("kind %1 (%2, %3)-(%4, %5) colour %6 text \"%7\" font %8 %9%10%11%12")
        .arg(int(op.kind))
        .arg(op.x1)
        .arg(op.y1)
        .arg(op.x2)
        .arg(op.y2)
        .arg(op.color)
        .arg(QString::fromStdString(op.text), QString::fromStdString(op.font.name))
        .arg(op.font.size)
        .arg(op.font.bold ? " bold" : "", op.font.italic ? " italic" : "",
             op.font.underline ? " underline" : "");
}

// Compares the recorded primitives with the expected ones, one by one.
bool matches(const std::vector<Op>& ops, const std::vector<Expected>& expected, QString* why) {
    if (ops.size() != expected.size()) {
        *why = QStringLiteral("%1 primitives, expected %2").arg(ops.size()).arg(expected.size());
        return false;
    }
    for (std::size_t i = 0; i < ops.size(); ++i) {
        const Op& op = ops[i];
        const Expected& e = expected[i];
        bool same = op.kind == e.kind && op.mode == ScaleMode::Millimeters && op.color == e.color &&
                    near(op.x1, e.x1) && near(op.y1, e.y1);
        if (e.kind == Kind::Text) {
            same = same && op.text == e.text && op.font.name == e.font.name &&
                   near(op.font.size, e.font.size) && op.font.bold == e.font.bold &&
                   op.font.italic == e.font.italic && op.font.underline == e.font.underline;
        } else {
            same = same && near(op.x2, e.x2) && near(op.y2, e.y2);
        }
        if (!same) {
            *why = QStringLiteral("primitive %1 is %2").arg(i).arg(describe(op));
            return false;
        }
    }
    return true;
}

// A sheet whose items each have their own face, size, style and colour, so that a
// mix-up between items shows.
SheetState styledSheet() {
    SheetState s;
    Layout& l = s.layout;
    l.janFont = {QStringLiteral("ＭＳ ゴシック"), 8, true, false};
    l.makerFont = {QStringLiteral("メイリオ"), 9, false, true};
    l.productFont = {QStringLiteral("ＭＳ 明朝"), 11, true, true};
    l.specFont = {QStringLiteral("ＭＳ Ｐ明朝"), 10, false, false};
    l.lotFont = {QStringLiteral("ＭＳ Ｐゴシック"), 7, false, false};
    l.priceFont = {QStringLiteral("ＭＳ 明朝"), 48, true, false};
    l.yenFont = {QStringLiteral("ＭＳ ゴシック"), 12, false, false};
    l.janColor = 0x000001;
    l.makerColor = 0x000002;
    l.productColor = 0x000003;
    l.specColor = 0x000004;
    l.lotColor = 0x000005;
    l.priceColor = kRed;
    l.yenColor = 0xFF0000;
    l.品名U表示 = caption::underlined;
    return s;
}

void fillLabel(SheetState& s, int n) {
    s.setLabel(n,
               {QStringLiteral("4901234567894"), QStringLiteral("花王"), QStringLiteral("ビオレ"),
                QStringLiteral("400ml"), QStringLiteral("L12"), QStringLiteral("1980")});
}

// The imitation bars as published for the preview: left edge and width in mm.
const std::vector<std::pair<double, double>> kBars = {{14, 1}, {16, 2}, {19, 3}, {23, 1}, {8, 2},
                                                      {28, 3}, {32, 1}, {34, 2}, {37, 2}, {41, 1},
                                                      {43, 2}, {46, 2}, {50, 1}, {52, 2}};

std::vector<Op> textOps(const RecordingTarget& t) {
    return t.opsOf(Kind::Text);
}

QStringList texts(const RecordingTarget& t) {
    QStringList out;
    for (const Op& op : t.opsOf(Kind::Text)) {
        out << QString::fromStdString(op.text);
    }
    return out;
}

}  // namespace

class TestSheetRenderer : public QObject {
    Q_OBJECT

private slots:
    void fullLabelPrimitives_data();
    void fullLabelPrimitives();
    void emptyProductNameDrawsNothing_data();
    void emptyProductNameDrawsNothing();
    void blankProductNameDrawsEverything();
    void janDigits_data();
    void janDigits();
    void priceField_data();
    void priceField();
    void centringSpaces_data();
    void centringSpaces();
    void captions_data();
    void captions();
    void outline_data();
    void outline();
    void printModeDrawsRealBars();
    void refusedCodeKeepsItsDigits();
    void printingRestoresZoom_data();
    void printingRestoresZoom();
    void layoutGuide();
    void currentLabelFrame_data();
    void currentLabelFrame();
};

void TestSheetRenderer::fullLabelPrimitives_data() {
    QTest::addColumn<double>("zoom");
    QTest::newRow("100 %") << 1.0;
    QTest::newRow("50 %") << 0.5;
}

void TestSheetRenderer::fullLabelPrimitives() {
    QFETCH(double, zoom);
    SheetState s = styledSheet();
    // Every item nudged its own way, so that each offset shows on its own item only.
    Layout& l = s.layout;
    std::tie(l.barX, l.barY, l.janX, l.janY, l.productX, l.productY) =
        std::tuple(-1, 1, 2, -2, 3, 0);
    std::tie(l.priceX, l.priceY, l.yenX, l.yenY, l.makerX, l.makerY) =
        std::tuple(0, 4, -3, -1, 1, 2);
    std::tie(l.specX, l.specY, l.lotX, l.lotY) = std::tuple(-2, 3, 4, -4);
    s.zoom = zoom;
    s.倍率 = zoom == 1.0 ? caption::zoomFull : caption::zoomHalf;
    fillLabel(s, 5);
    RecordingTarget t;
    drawSheet(s, t);

    // Label 5: second column, second row.
    const double x0 = 66.1 + 2.7;
    const double y0 = 38.1 + 12.6;
    auto z = [zoom](double v) { return v * zoom; };
    std::vector<Expected> expected;
    expected.push_back({Kind::Clear, 0, 0, 0, 0, draw::kWhite});
    for (int n = 1; n <= 21; ++n) {
        const double fx = ((n - 1) % 3) * 66.1 + 2.7;
        const double fy = ((n - 1) / 3) * 38.1 + 12.6;
        expected.push_back(
            {Kind::Box, z(fx), z(fy), z(fx) + z(66.1), z(fy) + z(38.1), draw::rgb(128, 128, 128)});
    }
    for (const auto& [dx, w] : kBars) {
        expected.push_back({Kind::FilledBox, z(x0 + dx - 1), z(y0 + 2 + 1), z(x0 + dx - 1) + z(w),
                            z(y0 + 3) + z(9.5), draw::kBlack});
    }
    auto text = [&](double dx, double dy, const char* printed, Font f, draw::WinColor c) {
        f.size *= zoom;
        expected.push_back({Kind::Text, z(x0 + dx), z(y0 + dy), 0, 0, c, printed, f});
    };
    // Anchors (32, 11), (4, 17), (0, 20), (48, 30), (5, 13.5), (8, 26), (8, 30) plus offsets.
    text(34, 9, "4901234567894", {"ＭＳ ゴシック", 8, true, false, false}, 0x000001);
    text(7, 17, "       ビオレ", {"ＭＳ 明朝", 11, true, true, true}, 0x000003);
    text(0, 24, " 1980", {"ＭＳ 明朝", 48, true, false, false}, kRed);
    text(45, 29, "円", {"ＭＳ ゴシック", 12, false, false, false}, 0xFF0000);
    text(6, 15.5, "花王", {"メイリオ", 9, false, true, false}, 0x000002);
    text(6, 29, "400ml", {"ＭＳ Ｐ明朝", 10, false, false, false}, 0x000004);
    text(12, 26, "L12", {"ＭＳ Ｐゴシック", 7, false, false, false}, 0x000005);

    QString why;
    QVERIFY2(matches(t.ops(), expected, &why), qPrintable(why));
    QCOMPARE(t.opsOf(Kind::Box).front().fillStyle, draw::FillStyle::Transparent);
    QCOMPARE(s.zoom, zoom);
}

void TestSheetRenderer::emptyProductNameDrawsNothing_data() {
    QTest::addColumn<QString>("printMode");
    QTest::newRow("preview") << "0";
    QTest::newRow("printer") << "1";
}

void TestSheetRenderer::emptyProductNameDrawsNothing() {
    QFETCH(QString, printMode);
    SheetState s;
    s.printMode = printMode;
    s.layout.縁取 = caption::outlineOn;
    for (int n = 1; n <= 21; ++n) {
        fillLabel(s, n);
        s.productText[n].clear();
    }
    RecordingTarget t(printMode == "1", {2.4, 2.4});
    drawSheet(s, t);
    QVERIFY(t.opsOf(Kind::Text).empty());
    QVERIFY(t.opsOf(Kind::FilledBox).empty());
    // The preview still shows its 21 grey guide frames on a cleared surface.
    const bool preview = printMode == "0";
    QCOMPARE(t.opsOf(Kind::Clear).size(), preview ? 1u : 0u);
    QCOMPARE(t.opsOf(Kind::Box).size(), preview ? 21u : 0u);
}

void TestSheetRenderer::blankProductNameDrawsEverything() {
    SheetState s;
    s.layout.縁取 = caption::outlineOn;
    fillLabel(s, 1);
    s.productText[1] = QStringLiteral(" ");
    RecordingTarget t;
    drawSheet(s, t);
    QCOMPARE(texts(t), QStringList({"4901234567894", QString(9, ' '), " 1980", "円", "花王",
                                    "400ml", "L12"}));
    QCOMPARE(t.opsOf(Kind::FilledBox).size(), 2u + 14u);  // outline and imitation bars
}

void TestSheetRenderer::janDigits_data() {
    QTest::addColumn<QString>("jan");
    QTest::addColumn<QString>("printed");
    QTest::addColumn<bool>("bars");
    QTest::newRow("13 digits") << "4901234567894"
                               << "4901234567894" << true;
    QTest::newRow("8 digits, four spaces") << "49123456"
                                           << "    49123456" << true;
    QTest::newRow("8 letters also padded") << "ABCDEFGH"
                                           << "    ABCDEFGH" << true;
    QTest::newRow("13 letters get imitation bars") << "ABCDEFGHIJKLM"
                                                   << "ABCDEFGHIJKLM" << true;
    QTest::newRow("12 digits, no bars") << "490123456789"
                                        << "490123456789" << false;
    QTest::newRow("14 digits, no bars") << "49012345678945"
                                        << "49012345678945" << false;
    QTest::newRow("7 digits, no bars") << "4912345"
                                       << "4912345" << false;
    QTest::newRow("empty still printed") << ""
                                         << "" << false;
    QTest::newRow("8 kanji count as 8")
        << QStringLiteral("一二三四五六七八") << QStringLiteral("    一二三四五六七八") << true;
}

void TestSheetRenderer::janDigits() {
    QFETCH(QString, jan);
    QFETCH(QString, printed);
    QFETCH(bool, bars);
    QCOMPARE(janDigitsLine(jan), printed);
    SheetState s;
    fillLabel(s, 2);
    s.janText[2] = jan;
    RecordingTarget t;
    drawSheet(s, t);
    QCOMPARE(QString::fromStdString(textOps(t).front().text), printed);
    QCOMPARE(t.opsOf(Kind::FilledBox).size(), bars ? 14u : 0u);
}

void TestSheetRenderer::priceField_data() {
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("printed");
    QTest::newRow("1980") << "1980"
                          << " 1980";
    QTest::newRow("two spaces before, one after") << "  500 "
                                                  << "  500";
    QTest::newRow("six digits lose the first") << "123456"
                                               << "23456";
    QTest::newRow("five digits fill the field") << "12345"
                                                << "12345";
    QTest::newRow("empty") << ""
                           << "     ";
    QTest::newRow("only spaces") << "   "
                                 << "     ";
    QTest::newRow("full-width spaces trimmed") << QStringLiteral("　98　") << "   98";
    QTest::newRow("full-width digits") << QStringLiteral("１２０") << QStringLiteral("  １２０");
    QTest::newRow("inner space kept") << "1 000"
                                      << "1 000";
    QTest::newRow("text price") << QStringLiteral("オープン価格") << QStringLiteral("ープン価格");
}

void TestSheetRenderer::priceField() {
    QFETCH(QString, price);
    QFETCH(QString, printed);
    SheetState s;
    fillLabel(s, 3);
    s.priceText[3] = price;
    RecordingTarget t;
    drawSheet(s, t);
    QCOMPARE(texts(t).at(2), printed);
}

void TestSheetRenderer::centringSpaces_data() {
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("spaces");
    const int published[] = {8, 7, 7, 6, 5, 5, 4, 3, 3, 2, 1, 0, 0, 0};
    for (int length = 1; length <= 14; ++length) {
        QTest::addRow("%d characters", length) << length << published[length - 1];
    }
}

void TestSheetRenderer::centringSpaces() {
    QFETCH(int, length);
    QFETCH(int, spaces);
    QCOMPARE(productNameSpaces(2 * length), spaces);
    // Width in UTF-16 units, so half-width and full-width names centre alike.
    for (const QChar c : {QChar(u'品'), QChar(u'A')}) {
        const QString name(length, c);
        SheetState s;
        fillLabel(s, 1);
        s.productText[1] = name;
        RecordingTarget t;
        drawSheet(s, t);
        QCOMPARE(texts(t).at(1), QString(spaces, ' ') + name);
    }
}

void TestSheetRenderer::captions_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("hidden");  // drawing order: JAN, product, price, 円, maker, spec, lot
    QTest::addColumn<int>("underlined");  // the same order; -1 for none
    QTest::addColumn<int>("bars");
    QTest::newRow("all shown") << ""
                               << "" << -1 << -1 << 14;
    QTest::newRow("JAN hidden, bars stay") << "jan表示"
                                           << "表示する" << 0 << -1 << 14;
    QTest::newRow("bars hidden, digits stay") << "BARCODE"
                                              << "表示する" << -1 << -1 << 0;
    QTest::newRow("bars unknown caption") << "BARCODE"
                                          << "はい" << -1 << -1 << 0;
    QTest::newRow("product hidden") << "品名表示"
                                    << "表示する" << 1 << -1 << 14;
    QTest::newRow("price unknown caption hides") << "単価表示"
                                                 << "表示" << 2 << -1 << 14;
    QTest::newRow("yen hidden") << "円表示"
                                << "表示する" << 3 << -1 << 14;
    QTest::newRow("maker hidden") << "メーカー表示"
                                  << "表示する" << 4 << -1 << 14;
    QTest::newRow("spec hidden") << "規格表示"
                                 << "表示する" << 5 << -1 << 14;
    QTest::newRow("lot hidden") << "ロット表示"
                                << "" << 6 << -1 << 14;
    QTest::newRow("product underlined") << "品名U表示"
                                        << "アンダーライン無" << -1 << 1 << 14;
    QTest::newRow("maker unknown caption underlines") << "メーカーU表示"
                                                      << "xyz" << -1 << 4 << 14;
    QTest::newRow("spec underlined") << "規格U表示"
                                     << "アンダーライン無" << -1 << 5 << 14;
    QTest::newRow("lot underlined") << "ロットU表示"
                                    << "" << -1 << 6 << 14;
}

void TestSheetRenderer::captions() {
    QFETCH(QString, button);
    QFETCH(QString, text);
    QFETCH(int, hidden);
    QFETCH(int, underlined);
    QFETCH(int, bars);
    SheetState s;
    fillLabel(s, 1);
    Layout& l = s.layout;
    const std::map<QString, QString*> buttons = {
        {"jan表示", &l.jan表示},           {"BARCODE", &s.BARCODE},
        {"単価表示", &l.単価表示},         {"円表示", &l.円表示},
        {"メーカー表示", &l.メーカー表示}, {"品名表示", &l.品名表示},
        {"規格表示", &l.規格表示},         {"ロット表示", &l.ロット表示},
        {"品名U表示", &l.品名U表示},       {"メーカーU表示", &l.メーカーU表示},
        {"規格U表示", &l.規格U表示},       {"ロットU表示", &l.ロットU表示}};
    if (!button.isEmpty()) {
        *buttons.at(button) = text;
    }
    RecordingTarget t;
    drawSheet(s, t);
    QStringList expected = {"4901234567894", "       ビオレ", " 1980", "円",
                            "花王",          "400ml",         "L12"};
    QList<bool> expectedUnderline(7, false);
    if (underlined >= 0) {
        expectedUnderline[underlined] = true;
    }
    if (hidden >= 0) {
        expected.removeAt(hidden);
        expectedUnderline.removeAt(hidden);
    }
    QCOMPARE(texts(t), expected);
    QList<bool> actualUnderline;
    for (const Op& op : textOps(t)) {
        actualUnderline << op.font.underline;
    }
    QCOMPARE(actualUnderline, expectedUnderline);
    QCOMPARE(int(t.opsOf(Kind::FilledBox).size()), bars);
}

void TestSheetRenderer::outline_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("drawn");
    QTest::newRow("on") << "縁取りしない" << true;
    QTest::newRow("off") << "カラーで縁取りする" << false;
    QTest::newRow("unknown caption is off") << "縁取り" << false;
}

void TestSheetRenderer::outline() {
    QFETCH(QString, caption);
    QFETCH(bool, drawn);
    SheetState s;
    s.layout.縁取 = caption;
    s.layout.borderColor = kRed;
    s.BARCODE = caption::hidden;
    s.zoom = 1.0;
    s.倍率 = caption::zoomFull;
    fillLabel(s, 1);
    fillLabel(s, 9);
    fillLabel(s, 10);
    s.productText[10].clear();
    RecordingTarget t;
    drawSheet(s, t);
    std::vector<Expected> expected;
    if (drawn) {
        for (int n : {1, 9}) {
            const double x0 = ((n - 1) % 3) * 66.1 + 2.7;
            const double y0 = ((n - 1) / 3) * 38.1 + 12.6;
            expected.push_back({Kind::FilledBox, x0 + 3, y0 + 1, x0 + 62, y0 + 2.5, kRed});
            expected.push_back({Kind::FilledBox, x0 + 3, y0 + 35, x0 + 62, y0 + 36.5, kRed});
        }
    }
    QString why;
    QVERIFY2(matches(t.opsOf(Kind::FilledBox), expected, &why), qPrintable(why));
}

void TestSheetRenderer::printModeDrawsRealBars() {
    // 600 dpi: 2.4 twips per pixel. Label 1's bar rectangle starts at 2.7 + 10 = 12.7 mm,
    // exactly half an inch, so at pixel 300; 55 mm are 1299 pixels: 11 per module for the
    // 113 modules of EAN-13, 15 for the 85 of EAN-8.
    SheetState s;
    s.printMode = QStringLiteral("1");
    fillLabel(s, 1);
    fillLabel(s, 2);
    s.janText[2] = QStringLiteral("49123456");
    RecordingTarget t(true, {2.4, 2.4});
    drawSheet(s, t);
    QVERIFY(t.opsOf(Kind::Clear).empty());
    QVERIFY(t.opsOf(Kind::Box).empty());
    const std::vector<Op> boxes = t.opsOf(Kind::FilledBox);
    QCOMPARE(boxes.size(), 113u + 85u);
    QCOMPARE(boxes.front().mode, ScaleMode::Pixels);
    QCOMPARE(boxes.front().x1, 300.0);
    QCOMPARE(boxes.front().y1, 368.0);                    // 12.6 + 3 = 15.6 mm = 368.5 pixels
    QCOMPARE(boxes.front().x2 - boxes.front().x1, 10.0);  // 11 pixel columns, corners included
    QCOMPARE(boxes[1].x1, 311.0);
    // Label 2 starts 66.1 mm further right: 78.8 mm = 1861.4 pixels.
    QCOMPARE(boxes[113].x1, 1861.0);
    QCOMPARE(boxes[113].x2 - boxes[113].x1, 14.0);
    // The digits follow at 100 %, the 8-digit code padded.
    QCOMPARE(texts(t).at(0), "4901234567894");
    QCOMPARE(texts(t).at(7), "    49123456");
    QCOMPARE(textOps(t).front().font.size, 8.0);
    QCOMPARE(textOps(t).front().mode, ScaleMode::Millimeters);
}

void TestSheetRenderer::refusedCodeKeepsItsDigits() {
    SheetState s;
    s.printMode = QStringLiteral("1");
    fillLabel(s, 1);
    s.janText[1] = QStringLiteral("4901234567890");  // carries 0 where 4 is due
    RecordingTarget t(true, {2.4, 2.4});
    drawSheet(s, t);
    QVERIFY(t.opsOf(Kind::FilledBox).empty());
    QCOMPARE(texts(t).size(), 7);
    QCOMPARE(texts(t).front(), "4901234567890");
}

void TestSheetRenderer::printingRestoresZoom_data() {
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QString>("zoomCaption");
    QTest::addColumn<QString>("printMode");
    QTest::addColumn<double>("drawnAt");
    QTest::addColumn<double>("zoomAfter");
    QTest::newRow("print at 50 %") << 0.5 << "倍率切替100%"
                                   << "1" << 1.0 << 0.5;
    QTest::newRow("print at 100 %") << 1.0 << "倍率切替50%"
                                    << "1" << 1.0 << 1.0;
    QTest::newRow("preview at 50 %") << 0.5 << "倍率切替100%"
                                     << "0" << 0.5 << 0.5;
    QTest::newRow("preview at 100 %") << 1.0 << "倍率切替50%"
                                      << "0" << 1.0 << 1.0;
}

void TestSheetRenderer::printingRestoresZoom() {
    QFETCH(double, zoom);
    QFETCH(QString, zoomCaption);
    QFETCH(QString, printMode);
    QFETCH(double, drawnAt);
    QFETCH(double, zoomAfter);
    SheetState s;
    s.zoom = zoom;
    s.倍率 = zoomCaption;
    s.printMode = printMode;
    fillLabel(s, 1);
    RecordingTarget t(printMode == "1", {2.4, 2.4});
    drawSheet(s, t);
    const Op yen = textOps(t).at(3);
    QCOMPARE(yen.text, "円");
    QVERIFY(near(yen.x1, (2.7 + 48) * drawnAt));
    QVERIFY(near(yen.font.size, 12 * drawnAt));
    QCOMPARE(s.zoom, zoomAfter);
}

void TestSheetRenderer::layoutGuide() {
    SheetState s;
    s.zoom = 0.5;
    s.sheetX = 12.0;  // as after デフォルト; the guide puts the start-up offsets back
    s.sheetY = 7.8;
    fillLabel(s, 1);  // the guide ignores label texts
    RecordingTarget t;
    drawLayoutGuide(s, t);
    QCOMPARE(s.sheetX, 2.7);
    QCOMPARE(s.sheetY, 12.6);
    std::vector<Expected> expected;
    expected.push_back({Kind::Clear, 0, 0, 0, 0, draw::kWhite});
    for (int n = 1; n <= 21; ++n) {
        const double x = (((n - 1) % 3) * 66.1 + 2.7) * 0.5;
        const double y = (((n - 1) / 3) * 38.1 + 12.6) * 0.5;
        expected.push_back({Kind::Box, x, y, x + 33.05, y + 19.05, kButtonFaceColor});
        const std::string number = (n < 10 ? " " : "") + std::to_string(n);
        expected.push_back({Kind::Text,
                            x + 28,
                            y + 8,
                            0,
                            0,
                            kButtonFaceColor,
                            number,
                            {"ＭＳ 明朝", 5, false, false, false}});
    }
    QString why;
    QVERIFY2(matches(t.ops(), expected, &why), qPrintable(why));
    // Visible on white paper and screen.
    QVERIFY(draw::redOf(kButtonFaceColor) < 0xE0);
}

void TestSheetRenderer::currentLabelFrame_data() {
    QTest::addColumn<int>("label");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<int>("width");
    QTest::newRow("label 1 at 100 %") << 1 << 1.0 << 5;
    QTest::newRow("label 1 at 50 %") << 1 << 0.5 << 2;  // 2.5 rounds to even
    QTest::newRow("label 4 at 50 %") << 4 << 0.5 << 2;
    QTest::newRow("label 21 at 100 %") << 21 << 1.0 << 5;
}

void TestSheetRenderer::currentLabelFrame() {
    QFETCH(int, label);
    QFETCH(double, zoom);
    QFETCH(int, width);
    SheetState s;
    s.zoom = zoom;
    s.currentLabel = label;
    RecordingTarget t;
    drawCurrentLabelFrame(s, t);
    const double x0 = (((label - 1) % 3) * 66.1 + 2.7) * zoom;
    const double y0 = (((label - 1) / 3) * 38.1 + 12.6) * zoom;
    const double w = 66.1 * zoom, h = 38.1 * zoom;
    const draw::WinColor blue = 0xFF0000;
    const std::vector<Expected> expected = {{Kind::Line, x0, y0, x0 + w, y0, blue},
                                            {Kind::Line, x0, y0, x0, y0 + h, blue},
                                            {Kind::Line, x0, y0 + h, x0 + w, y0 + h, blue},
                                            {Kind::Line, x0 + w, y0, x0 + w, y0 + h, blue}};
    QString why;
    QVERIFY2(matches(t.ops(), expected, &why), qPrintable(why));
    for (const Op& op : t.ops()) {
        QCOMPARE(op.lineWidth, width);
    }
    QCOMPARE(t.lineWidth(), 1);
}

QTEST_MAIN(TestSheetRenderer)
#include "tst_sheetrenderer.moc"
