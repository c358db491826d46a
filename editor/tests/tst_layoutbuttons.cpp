// The style and position buttons of the editor window, clicked for real, with the font and
// colour dialogs answered from a script.
#include <QLineEdit>

#include "EditorFixture.h"

using namespace zukaro;
using namespace zukaro::testing;

namespace {

DialogAnswer fontAnswer(double size) {
    DialogAnswer answer;
    answer.font = {u"ＭＳ ゴシック"_qs, size, true, false};
    return answer;
}

DialogAnswer colorAnswer(WinColor color) {
    DialogAnswer answer;
    answer.color = color;
    return answer;
}

}  // namespace

class TestLayoutButtons : public QObject {
    Q_OBJECT

private slots:
    void init() {
        ui_.reset();
        QVERIFY(ui_.open());
    }
    void cleanup() { ui_.reset(); }

    void fontSizeRoundsHalfToEven_data();
    void fontSizeRoundsHalfToEven();
    void colourCancelKeepsColourAndFocus();
    void outlineOnOffAndCancel();
    void toggles_data();
    void toggles();
    void nudges();
    void sheetShiftLimits_data();
    void sheetShiftLimits();

private:
    EditorFixture ui_;
};

void TestLayoutButtons::fontSizeRoundsHalfToEven_data() {
    QTest::addColumn<double>("chosen");
    QTest::addColumn<int>("stored");
    QTest::newRow("10.5 -> 10") << 10.5 << 10;
    QTest::newRow("11.5 -> 12") << 11.5 << 12;
    QTest::newRow("cancel keeps 11") << -1.0 << 11;
}

void TestLayoutButtons::fontSizeRoundsHalfToEven() {
    QFETCH(double, chosen);
    QFETCH(int, stored);
    if (chosen > 0) {
        ui_.dialogs.script(fontAnswer(chosen));
    }
    ui_.click(u"品名フォント切替"_qs);
    // The dialog opens on the item's own font; OK stores the choice, cancel nothing.
    QCOMPARE(ui_.dialogs.shown().at(0).font.size, 11.0);
    const FontSpec& font = ui_.sheet().layout.productFont;
    QCOMPARE(int(font.Size), stored);
    QCOMPARE(font.Name, chosen > 0 ? u"ＭＳ ゴシック"_qs : u"ＭＳ 明朝"_qs);
    QCOMPARE(font.Bold, chosen > 0);
    QCOMPARE(ui_.focused(), u"Text1"_qs);
}

void TestLayoutButtons::colourCancelKeepsColourAndFocus() {
    ui_.click(u"売価_COLOR"_qs);
    QCOMPARE(ui_.sheet().layout.priceColor, 255);
    QCOMPARE(ui_.focused(), u"売価_COLOR"_qs);
    ui_.dialogs.script(colorAnswer(0xFF0000));
    ui_.click(u"色_color"_qs);
    QCOMPARE(ui_.sheet().layout.lotColor, 0xFF0000);
    QCOMPARE(ui_.focused(), u"Text1"_qs);
}

void TestLayoutButtons::outlineOnOffAndCancel() {
    const Layout& l = ui_.sheet().layout;
    ui_.click(u"縁取"_qs);  // off, dialog cancelled: stays off
    QCOMPARE(ui_.button(u"縁取"_qs)->text(), u"カラーで縁取りする"_qs);
    ui_.dialogs.script(colorAnswer(255));
    ui_.click(u"縁取"_qs);  // on in red
    QCOMPARE(ui_.button(u"縁取"_qs)->text(), u"縁取りしない"_qs);
    QCOMPARE(l.borderColor, 255);
    ui_.dialogs.script(colorAnswer(0x00FF00));
    ui_.click(u"縁取"_qs);  // off again without asking
    QCOMPARE(l.縁取, u"カラーで縁取りする"_qs);
    QCOMPARE(ui_.dialogs.shownKinds().size(), 2);
    QCOMPARE(l.borderColor, 255);
}

void TestLayoutButtons::toggles_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("start");  // caption put there first
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    const QString show = u"表示しない"_qs, hide = u"表示する"_qs;
    const QString plain = u"アンダーライン有"_qs, underlined = u"アンダーライン無"_qs;
    for (const char* name : {"jan表示", "BARCODE", "メーカー表示", "品名表示", "規格表示",
                             "ロット表示", "単価表示", "円表示"}) {
        QTest::newRow(name) << QString::fromUtf8(name) << show << hide << show;
    }
    for (const char* name : {"メーカーU表示", "品名U表示", "規格U表示", "ロットU表示"}) {
        QTest::newRow(name) << QString::fromUtf8(name) << plain << underlined << plain;
    }
    // A caption from a damaged file counts as hidden / underlined and stays so at first.
    QTest::newRow("unknown show caption") << u"規格表示"_qs << u"壊れた"_qs << hide << show;
    QTest::newRow("unknown underline") << u"規格U表示"_qs << u"壊れた"_qs << underlined << plain;
}

void TestLayoutButtons::toggles() {
    QFETCH(QString, name);
    QFETCH(QString, start);
    QFETCH(QString, first);
    QFETCH(QString, second);
    if (name.startsWith(u"規格"_qs)) {
        ui_.sheet().layout.規格表示 = ui_.sheet().layout.規格U表示 = start;
        ui_.window->mirrorCaptions();
    }
    ui_.click(name);
    QCOMPARE(ui_.button(name)->text(), first);
    ui_.click(name);
    QCOMPARE(ui_.button(name)->text(), second);
    QCOMPARE(ui_.focused(), u"Text1"_qs);
}

void TestLayoutButtons::nudges() {
    Layout& l = ui_.sheet().layout;
    ui_.click(u"maker_上"_qs, 3);
    ui_.click(u"jan_右"_qs, 40);
    ui_.click(u"右"_qs);  // the unprefixed buttons move the price
    QCOMPARE(l.makerY, std::int16_t(-3));
    QCOMPARE(l.janX, std::int16_t(40));
    QCOMPARE(l.priceX, std::int16_t(1));
    // Offsets stop at the 16-bit bounds.
    l.barX = 32767;
    l.yenY = -32767;
    ui_.click(u"bar_右"_qs);
    ui_.click(u"enn_上"_qs);
    QCOMPARE(l.barX, std::int16_t(32767));
    QCOMPARE(l.yenY, std::int16_t(-32767));
}

void TestLayoutButtons::sheetShiftLimits_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("after");
    QTest::addColumn<double>("moved");  // mm
    // clang-format off
    QTest::newRow("9 -> 10")            << "9"    << "xプラス"   << "10"   << 1.0;
    QTest::newRow("10 stops")           << "10"   << "xプラス"   << "10"   << 0.0;
    QTest::newRow("-10 stops")          << "-10"  << "yマイナス" << "-10"  << 0.0;
    QTest::newRow("-10 may go up")      << "-10"  << "yプラス"   << "-9"   << 1.0;
    QTest::newRow("9.5 -> 10.5")        << "9.5"  << "xプラス"   << "10.5" << 1.0;
    QTest::newRow("10.5 stops")         << "10.5" << "xプラス"   << "10.5" << 0.0;
    QTest::newRow("empty counts as 0")  << ""     << "xプラス"   << "1"    << 1.0;
    QTest::newRow("not a number")       << "abc"  << "xプラス"   << "abc"  << 0.0;
    // clang-format on
}

void TestLayoutButtons::sheetShiftLimits() {
    QFETCH(QString, box);
    QFETCH(QString, button);
    QFETCH(QString, after);
    QFETCH(double, moved);
    const bool x = button.startsWith(u'x');
    auto* edit = ui_.window->findChild<QLineEdit*>(x ? u"x座標調整"_qs : u"y座標調整"_qs);
    edit->setText(box);
    const SheetState& sheet = ui_.sheet();
    const double before = x ? sheet.sheetX : sheet.sheetY;
    ui_.click(button);
    QCOMPARE(edit->text(), after);
    QCOMPARE(x ? sheet.layout.x座標調整 : sheet.layout.y座標調整, after);
    QCOMPARE((x ? sheet.sheetX : sheet.sheetY) - before, moved);
}

QTEST_MAIN(TestLayoutButtons)
#include "tst_layoutbuttons.moc"
