// The style and position buttons of the editor window, clicked for real, with the font and
// colour dialogs answered from a script.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "EditorWindow.h"
#include "ScriptedCommonDialog1.h"
#include "ScriptedMessageBoxes.h"

using namespace zukaro;

namespace {

DialogAnswer fontAnswer(const FontChoice& font) {
    DialogAnswer answer;
    answer.font = font;
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
    void init();
    void cleanup() { window_.reset(); }

    void fontSizeRoundsHalfToEven_data();
    void fontSizeRoundsHalfToEven();
    void fontCancelChangesNothing();
    void colourCancelKeepsColourAndFocus();
    void outlineOnOffAndCancel();
    void togglesTwiceReturn_data();
    void togglesTwiceReturn();
    void unknownCaptionFirstClick_data();
    void unknownCaptionFirstClick();
    void makerUpThreeTimes();
    void offsetsStopAtTheSixteenBitBounds();
    void sheetShiftLimits_data();
    void sheetShiftLimits();

private:
    QPushButton* button(const QString& name) const {
        return window_->findChild<QPushButton*>(name);
    }
    void click(const QString& name) {
        QPushButton* b = button(name);
        QVERIFY2(b, qPrintable(name));
        QTest::mouseClick(b, Qt::LeftButton);
    }

    ScriptedCommonDialog1 dialogs_;
    ScriptedMessageBoxes messages_;
    QTemporaryDir settingsDir_;  // no data.txt: the first-start values
    std::unique_ptr<EditorWindow> window_;
};

void TestLayoutButtons::init() {
    dialogs_ = ScriptedCommonDialog1();
    window_ = std::make_unique<EditorWindow>(
        dialogs_, messages_, SettingsLocations{settingsDir_.path(), settingsDir_.path()});
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
}

void TestLayoutButtons::fontSizeRoundsHalfToEven_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<double>("chosen");
    QTest::addColumn<int>("stored");
    QTest::newRow("10.5 -> 10") << "品名フォント切替" << 10.5 << 10;
    QTest::newRow("11.5 -> 12") << "品名フォント切替" << 11.5 << 12;
    QTest::newRow("whole size unchanged") << "janフォント切替" << 8.0 << 8;
    QTest::newRow("14.25 -> 14") << "単価フォント切替" << 14.25 << 14;
}

void TestLayoutButtons::fontSizeRoundsHalfToEven() {
    QFETCH(QString, button);
    QFETCH(double, chosen);
    QFETCH(int, stored);
    dialogs_.script(fontAnswer({QStringLiteral("ＭＳ ゴシック"), chosen, true, false}));
    click(button);
    const Layout& l = window_->sheet().layout;
    const FontSpec& font = button.startsWith(QStringLiteral("品名"))  ? l.productFont
                           : button.startsWith(QStringLiteral("jan")) ? l.janFont
                                                                      : l.priceFont;
    QCOMPARE(int(font.Size), stored);
    QCOMPARE(font.Name, QStringLiteral("ＭＳ ゴシック"));
    QVERIFY(font.Bold);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Text1"));
}

void TestLayoutButtons::fontCancelChangesNothing() {
    const Layout before = window_->sheet().layout;
    click(QStringLiteral("メーカーフォント切替"));
    QCOMPARE(dialogs_.shownKinds(), QStringList{QStringLiteral("font")});
    // The dialog opened on the maker's own font.
    QCOMPARE(dialogs_.shown().at(0).font.name, before.makerFont.Name);
    QCOMPARE(dialogs_.shown().at(0).font.size, double(before.makerFont.Size));
    QVERIFY(window_->sheet().layout == before);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Text1"));
}

void TestLayoutButtons::colourCancelKeepsColourAndFocus() {
    click(QStringLiteral("売価_COLOR"));
    QCOMPARE(window_->sheet().layout.priceColor, 255);
    QCOMPARE(QApplication::focusWidget(), button(QStringLiteral("売価_COLOR")));

    dialogs_.script(colorAnswer(0xFF0000));
    click(QStringLiteral("色_color"));
    QCOMPARE(window_->sheet().layout.lotColor, 0xFF0000);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Text1"));
}

void TestLayoutButtons::outlineOnOffAndCancel() {
    QPushButton* outline = button(QStringLiteral("縁取"));
    Layout& l = window_->sheet().layout;

    click(QStringLiteral("縁取"));  // off -> dialog cancelled: stays off
    QCOMPARE(dialogs_.shownKinds().size(), 1);
    QCOMPARE(l.縁取, QStringLiteral("カラーで縁取りする"));
    QCOMPARE(outline->text(), QStringLiteral("カラーで縁取りする"));

    dialogs_.script(colorAnswer(255));
    click(QStringLiteral("縁取"));  // off -> on in red
    QCOMPARE(l.縁取, QStringLiteral("縁取りしない"));
    QCOMPARE(outline->text(), QStringLiteral("縁取りしない"));
    QCOMPARE(l.borderColor, 255);

    dialogs_.script(colorAnswer(0x00FF00));
    click(QStringLiteral("縁取"));  // on -> off without asking
    QCOMPARE(dialogs_.shownKinds().size(), 2);
    QCOMPARE(l.縁取, QStringLiteral("カラーで縁取りする"));
    QCOMPARE(l.borderColor, 255);
}

void TestLayoutButtons::togglesTwiceReturn_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    for (const char* name : {"jan表示", "BARCODE", "メーカー表示", "品名表示", "規格表示",
                             "ロット表示", "単価表示", "円表示"}) {
        QTest::newRow(name) << QString::fromUtf8(name) << QStringLiteral("表示する")
                            << QStringLiteral("表示しない");
    }
    for (const char* name : {"メーカーU表示", "品名U表示", "規格U表示", "ロットU表示"}) {
        QTest::newRow(name) << QString::fromUtf8(name) << QStringLiteral("アンダーライン無")
                            << QStringLiteral("アンダーライン有");
    }
}

void TestLayoutButtons::togglesTwiceReturn() {
    QFETCH(QString, name);
    QFETCH(QString, first);
    QFETCH(QString, second);
    click(name);
    QCOMPARE(button(name)->text(), first);
    click(name);
    QCOMPARE(button(name)->text(), second);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Text1"));
}

void TestLayoutButtons::unknownCaptionFirstClick_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("after");
    QTest::newRow("show/hide") << QStringLiteral("規格表示") << QStringLiteral("表示する");
    QTest::newRow("underline") << QStringLiteral("規格U表示") << QStringLiteral("アンダーライン無");
}

void TestLayoutButtons::unknownCaptionFirstClick() {
    QFETCH(QString, name);
    QFETCH(QString, after);
    Layout& l = window_->sheet().layout;
    l.規格表示 = QStringLiteral("壊れた");
    l.規格U表示 = QStringLiteral("壊れた");
    window_->mirrorCaptions();
    click(name);
    QCOMPARE(button(name)->text(), after);
}

void TestLayoutButtons::makerUpThreeTimes() {
    for (int i = 0; i < 3; ++i) {
        click(QStringLiteral("maker_上"));
    }
    QCOMPARE(window_->sheet().layout.makerY, std::int16_t(-3));
    for (int i = 0; i < 40; ++i) {
        click(QStringLiteral("jan_右"));
    }
    QCOMPARE(window_->sheet().layout.janX, std::int16_t(40));
    click(QStringLiteral("右"));  // the unprefixed buttons move the price
    QCOMPARE(window_->sheet().layout.priceX, std::int16_t(1));
}

void TestLayoutButtons::offsetsStopAtTheSixteenBitBounds() {
    Layout& l = window_->sheet().layout;
    l.barX = 32767;
    l.yenY = -32767;
    click(QStringLiteral("bar_右"));
    click(QStringLiteral("enn_上"));
    QCOMPARE(l.barX, std::int16_t(32767));
    QCOMPARE(l.yenY, std::int16_t(-32767));
    click(QStringLiteral("bar_左"));
    QCOMPARE(l.barX, std::int16_t(32766));
}

void TestLayoutButtons::sheetShiftLimits_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("after");
    QTest::addColumn<double>("moved");  // mm

    QTest::newRow("9 -> 10") << "9"
                             << "xプラス"
                             << "10" << 1.0;
    QTest::newRow("10 stops") << "10"
                              << "xプラス"
                              << "10" << 0.0;
    QTest::newRow("-9 -> -10") << "-9"
                               << "yマイナス"
                               << "-10" << -1.0;
    QTest::newRow("-10 stops") << "-10"
                               << "yマイナス"
                               << "-10" << 0.0;
    QTest::newRow("-10 may go up") << "-10"
                                   << "yプラス"
                                   << "-9" << 1.0;
    QTest::newRow("9.5 -> 10.5") << "9.5"
                                 << "xプラス"
                                 << "10.5" << 1.0;
    QTest::newRow("10.5 stops") << "10.5"
                                << "xプラス"
                                << "10.5" << 0.0;
    QTest::newRow("10.5 may go down") << "10.5"
                                      << "xマイナス"
                                      << "9.5" << -1.0;
    QTest::newRow("-1 -> 0") << "-1"
                             << "xプラス"
                             << "0" << 1.0;
    QTest::newRow("empty counts as 0") << ""
                                       << "xプラス"
                                       << "1" << 1.0;
    QTest::newRow("not a number") << "abc"
                                  << "xプラス"
                                  << "abc" << 0.0;
}

void TestLayoutButtons::sheetShiftLimits() {
    QFETCH(QString, box);
    QFETCH(QString, button);
    QFETCH(QString, after);
    QFETCH(double, moved);
    const bool xAxis = button.startsWith(QLatin1Char('x'));
    QLineEdit* edit = window_->findChild<QLineEdit*>(xAxis ? QStringLiteral("x座標調整")
                                                           : QStringLiteral("y座標調整"));
    edit->setText(box);
    const SheetState& sheet = window_->sheet();
    const double before = xAxis ? sheet.sheetX : sheet.sheetY;

    click(button);
    QCOMPARE(edit->text(), after);
    QCOMPARE(xAxis ? sheet.layout.x座標調整 : sheet.layout.y座標調整, after);
    QCOMPARE((xAxis ? sheet.sheetX : sheet.sheetY) - before, moved);
}

QTEST_MAIN(TestLayoutButtons)
#include "tst_layoutbuttons.moc"
