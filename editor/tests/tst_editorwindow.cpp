// The editor window driven as a user drives it: real focus changes, key presses and button
// clicks on the real widgets, with scripted dialogs and message boxes.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "EditorWindow.h"
#include "EntryField.h"
#include "ScriptedCommonDialog1.h"
#include "ScriptedMessageBoxes.h"
#include "SettingsFile.h"

using namespace zukaro;

namespace {

void typeText(QWidget* field, const QString& text) {
    bool latin = true;
    for (QChar c : text) {
        latin = latin && c.unicode() < 0x80;
    }
    if (latin) {
        QTest::keyClicks(field, text);
    } else {
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(field, &commit);
    }
}

void pressEnter() {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
}

// Types one label through the Enter chain: JAN, maker, product, spec, lot, price.
void typeLabel(const QStringList& texts) {
    for (const QString& text : texts) {
        typeText(QApplication::focusWidget(), text);
        pressEnter();
    }
}

}  // namespace

class TestEditorWindow : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsOnLabel1WithTheFocusInTheJanField();
    void startUpWithoutAndWithDataTxt_data();
    void startUpWithoutAndWithDataTxt();
    void typicalPath();
    void enterChainRunsThroughTheLotBeforeThePrice();
    void priceFieldOfLabel21StaysOn21();
    void previousCandidateWalksBack();
    void buttonWhilePriceFieldHasFocusRunsOnTheNextLabel();
    void menuPopupDoesNotCommit();
    void deleteAsksAndClosesTheGap_data();
    void deleteAsksAndClosesTheGap();
    void insertRefusedWithAnyTextInLabel21();
    void copyThreeTimesFromLabel2();
    void clearAllKeepsCurrentLabelAndLayout();
    void typingLimitOnlyLimitsTyping();
    void quotesAndLineBreaksNeverEnterAField();
    void windowShortcutsWinOverTheField();
    void closingDiscardsTheLabels();

private:
    void openWindow();
    EntryField* field(const char* name) const {
        return window_->findChild<EntryField*>(QLatin1String(name));
    }
    QPushButton* button(const QString& name) const {
        return window_->findChild<QPushButton*>(name);
    }
    void click(const QString& name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    QString counter() const { return window_->controls().Label6->text(); }
    // Every message box shown so far, as "caption|text".
    QStringList shownTexts() const {
        QStringList out;
        for (const auto& box : messages_.shown()) {
            out << box.caption + QLatin1Char('|') + box.text;
        }
        return out;
    }

    ScriptedCommonDialog1 dialogs_;
    ScriptedMessageBoxes messages_;
    QTemporaryDir settingsDir_;  // no data.txt: the first-start values
    std::unique_ptr<EditorWindow> window_;
};

void TestEditorWindow::init() {
    messages_ = ScriptedMessageBoxes();
    openWindow();
}

void TestEditorWindow::cleanup() {
    window_.reset();
}

void TestEditorWindow::openWindow() {
    window_ = std::make_unique<EditorWindow>(
        dialogs_, messages_, SettingsLocations{settingsDir_.path(), settingsDir_.path()});
    window_->resize(1366, 740);
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
}

void TestEditorWindow::startsOnLabel1WithTheFocusInTheJanField() {
    QCOMPARE(window_->windowTitle(), QStringLiteral("ズカロ入力画面  無題"));
    QCOMPARE(QApplication::focusWidget(), field("Text1"));
    // The JAN field's first focus showed label 1: the counter with its leading blank.
    QCOMPARE(counter(), QStringLiteral(" 1/21"));
    QCOMPARE(window_->sheet().zoom, 0.5);
    QVERIFY(!button(QStringLiteral("前候補"))->isEnabled());
}

void TestEditorWindow::startUpWithoutAndWithDataTxt_data() {
    QTest::addColumn<QByteArray>("dataTxt");  // empty: no file
    QTest::addColumn<QString>("boxX");
    QTest::addColumn<QString>("boxY");
    QTest::addColumn<int>("janSize");
    QTest::addColumn<int>("warnings");

    Layout saved;
    saved.x座標調整 = QStringLiteral("3");
    saved.y座標調整 = QStringLiteral("-2");
    saved.janFont.Size = 14;
    const QByteArray bytes = settingsBytes(saved);
    QTest::newRow("first start") << QByteArray() << "0" << "0" << 8 << 0;
    QTest::newRow("data.txt") << bytes << "3" << "-2" << 14 << 0;
    // Cut after the jan line's size: what was read is taken, the rest stays first-start.
    QTest::newRow("short data.txt") << bytes.left(bytes.indexOf(",14,") + 4) << "3" << "-2" << 14
                                    << 1;
    QTest::newRow("binary data.txt") << QByteArray("\x00\xff\xfe garbage \x81", 14) << "0" << "0"
                                     << 8 << 1;
}

void TestEditorWindow::startUpWithoutAndWithDataTxt() {
    QFETCH(QByteArray, dataTxt);
    QFETCH(QString, boxX);
    QFETCH(QString, boxY);
    QFETCH(int, janSize);
    QFETCH(int, warnings);
    window_.reset();
    const QString path = settingsDir_.filePath(QStringLiteral("data.txt"));
    QFile::remove(path);
    if (!dataTxt.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(dataTxt);
    }
    openWindow();
    QFile::remove(path);

    const SheetState& sheet = window_->sheet();
    QCOMPARE(window_->findChild<QLineEdit*>(QStringLiteral("x座標調整"))->text(), boxX);
    QCOMPARE(window_->findChild<QLineEdit*>(QStringLiteral("y座標調整"))->text(), boxY);
    QCOMPARE(int(sheet.layout.janFont.Size), janSize);
    // The boxes only count steps: the sheet starts at its fixed offsets whatever they say.
    QCOMPARE(sheet.sheetX, 2.7);
    QCOMPARE(sheet.sheetY, 12.6);
    QCOMPARE(sheet.zoom, 0.5);
    QCOMPARE(sheet.layout.priceColor, 255);
    QCOMPARE(button(QStringLiteral("縁取"))->text(), QStringLiteral("カラーで縁取りする"));
    QCOMPARE(window_->windowTitle(), QStringLiteral("ズカロ入力画面  無題"));
    QCoreApplication::processEvents();  // the warning waits until the window is up
    QCOMPARE(int(messages_.shown().size()), warnings);
}

void TestEditorWindow::typicalPath() {
    typeText(field("Text1"), QStringLiteral("4901234567890"));
    pressEnter();
    QCOMPARE(QApplication::focusWidget(), field("Text2"));
    QCOMPARE(field("Text1")->text(), QStringLiteral("4901234567894"));
    QCOMPARE(window_->sheet().janText[1], QStringLiteral("4901234567894"));

    typeLabel({QStringLiteral("花王"), QStringLiteral("アタック"), QStringLiteral("1.0kg"),
               QStringLiteral("A-12"), QStringLiteral("398")});

    const SheetState& sheet = window_->sheet();
    QCOMPARE(sheet.label(1), (LabelRecord{QStringLiteral("4901234567894"), QStringLiteral("花王"),
                                          QStringLiteral("アタック"), QStringLiteral("1.0kg"),
                                          QStringLiteral("A-12"), QStringLiteral("398")}));
    QCOMPARE(sheet.currentLabel, 2);
    QCOMPARE(QApplication::focusWidget(), field("Text1"));
    QCOMPARE(counter(), QStringLiteral(" 2/21"));
    for (const char* name : {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6"}) {
        QVERIFY2(field(name)->text().isEmpty(), name);
    }
}

void TestEditorWindow::enterChainRunsThroughTheLotBeforeThePrice() {
    QStringList visited;
    for (int i = 0; i < 6; ++i) {
        pressEnter();
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, (QStringList{"Text2", "Text3", "Text4", "Text6", "Text5", "Text1"}));
    QCOMPARE(window_->sheet().currentLabel, 2);
}

void TestEditorWindow::priceFieldOfLabel21StaysOn21() {
    click(QStringLiteral("Cmdlast"));
    QCOMPARE(counter(), QStringLiteral(" 21/21"));
    field("Text5")->setFocus(Qt::MouseFocusReason);
    typeText(field("Text5"), QStringLiteral("1980"));
    pressEnter();
    QCOMPARE(window_->sheet().currentLabel, 21);
    QCOMPARE(window_->sheet().priceText[21], QStringLiteral("1980"));
    QCOMPARE(field("Text5")->text(), QStringLiteral("1980"));
    QCOMPARE(QApplication::focusWidget(), field("Text1"));
}

void TestEditorWindow::previousCandidateWalksBack() {
    for (const char* maker : {"A", "B", "C"}) {
        typeLabel({QString(), QString::fromLatin1(maker), QStringLiteral("x"), QString(), QString(),
                   QString()});
    }
    QCOMPARE(window_->sheet().currentLabel, 4);
    QTest::mouseClick(field("Text2"), Qt::LeftButton);
    QVERIFY(button(QStringLiteral("前候補"))->isEnabled());

    QStringList shown;
    for (int i = 0; i < 4; ++i) {
        click(QStringLiteral("前候補"));
        shown << field("Text2")->text();
    }
    QCOMPARE(shown, (QStringList{"C", "B", "A", "A"}));
    QCOMPARE(window_->sheet().makerText[4], QStringLiteral("A"));
    QCOMPARE(QApplication::focusWidget(), button(QStringLiteral("前候補")));

    // Entering the price field disarms it.
    QTest::mouseClick(field("Text5"), Qt::LeftButton);
    QVERIFY(!button(QStringLiteral("前候補"))->isEnabled());
}

void TestEditorWindow::buttonWhilePriceFieldHasFocusRunsOnTheNextLabel() {
    click(QStringLiteral("Cmdnext"));
    click(QStringLiteral("Cmdnext"));
    QCOMPARE(window_->sheet().currentLabel, 3);
    QTest::mouseClick(field("Text5"), Qt::LeftButton);
    typeText(field("Text5"), QStringLiteral("500"));

    // Leaving the price field stores it and moves on to label 4; ">" then runs there.
    click(QStringLiteral("Cmdnext"));
    QCOMPARE(window_->sheet().priceText[3], QStringLiteral("500"));
    QCOMPARE(window_->sheet().currentLabel, 5);
    QCOMPARE(counter(), QStringLiteral(" 5/21"));
    QCOMPARE(QApplication::focusWidget(), field("Text1"));
}

void TestEditorWindow::menuPopupDoesNotCommit() {
    QTest::mouseClick(field("Text2"), Qt::LeftButton);
    typeText(field("Text2"), QStringLiteral("途中"));
    QMenu* menu = window_->menuBar()->findChild<QMenu*>();
    QVERIFY(menu);
    menu->popup(window_->mapToGlobal(QPoint(10, 10)));
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    menu->close();
    QTRY_COMPARE(QApplication::focusWidget(), field("Text2"));
    QVERIFY(window_->sheet().makerText[1].isEmpty());
    QCOMPARE(field("Text2")->text(), QStringLiteral("途中"));

    pressEnter();  // a real move stores it
    QCOMPARE(window_->sheet().makerText[1], QStringLiteral("途中"));
}

void TestEditorWindow::deleteAsksAndClosesTheGap_data() {
    QTest::addColumn<bool>("answer");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

void TestEditorWindow::deleteAsksAndClosesTheGap() {
    QFETCH(bool, answer);
    for (int n = 1; n <= 6; ++n) {
        typeLabel({QString(), QString(), QStringLiteral("品") + QString::number(n), QString(),
                   QString(), QString()});
    }
    click(QStringLiteral("cmdfirst"));
    for (int i = 0; i < 4; ++i) {
        click(QStringLiteral("Cmdnext"));
    }
    QCOMPARE(window_->sheet().currentLabel, 5);

    messages_.scriptAnswer(answer);
    click(QStringLiteral("削除"));
    QCOMPARE(shownTexts(), QStringList{QStringLiteral("削除|削除しますか?。")});
    const SheetState& sheet = window_->sheet();
    QCOMPARE(sheet.productText[5], answer ? QStringLiteral("品6") : QStringLiteral("品5"));
    QCOMPARE(sheet.productText[6], answer ? QString() : QStringLiteral("品6"));
    QCOMPARE(sheet.currentLabel, 5);
    QCOMPARE(field("Text3")->text(), sheet.productText[5]);
    QCOMPARE(QApplication::focusWidget(), field("Text1"));
}

void TestEditorWindow::insertRefusedWithAnyTextInLabel21() {
    click(QStringLiteral("Cmdlast"));
    typeText(field("Text1"), QStringLiteral("4901234567894"));
    click(QStringLiteral("cmdfirst"));
    QCOMPARE(window_->sheet().janText[21], QStringLiteral("4901234567894"));

    click(QStringLiteral("挿入"));
    QCOMPARE(shownTexts(),
             QStringList{QStringLiteral("エラー|最後尾にデータがあります。挿入できません。")});
    QCOMPARE(window_->sheet().janText[21], QStringLiteral("4901234567894"));
    QCOMPARE(QApplication::focusWidget(), field("Text1"));
}

void TestEditorWindow::copyThreeTimesFromLabel2() {
    typeLabel({QStringLiteral("49123456"), QStringLiteral("M"), QStringLiteral("P"),
               QStringLiteral("S"), QStringLiteral("L"), QStringLiteral("100")});
    QCOMPARE(window_->sheet().currentLabel, 2);
    for (int i = 0; i < 3; ++i) {
        click(QStringLiteral("コピー"));
    }
    const SheetState& sheet = window_->sheet();
    for (int n = 2; n <= 4; ++n) {
        QCOMPARE(sheet.label(n), sheet.label(1));
    }
    QVERIFY(sheet.label(5).isBlank());
    QCOMPARE(sheet.currentLabel, 5);
    QCOMPARE(counter(), QStringLiteral(" 5/21"));
}

void TestEditorWindow::clearAllKeepsCurrentLabelAndLayout() {
    typeLabel(
        {QString(), QString(), QStringLiteral("品"), QString(), QString(), QStringLiteral("1")});
    for (int i = 0; i < 6; ++i) {
        click(QStringLiteral("Cmdnext"));
    }
    QCOMPARE(window_->sheet().currentLabel, 8);
    window_->sheet().layout.makerY = -3;
    const Layout layout = window_->sheet().layout;

    messages_.scriptAnswer(false);
    click(QStringLiteral("全クリア"));
    QCOMPARE(window_->sheet().productText[1], QStringLiteral("品"));

    messages_.scriptAnswer(true);
    click(QStringLiteral("全クリア"));
    for (int n = 1; n <= kLabelCount; ++n) {
        QVERIFY(window_->sheet().label(n).isBlank());
    }
    QCOMPARE(window_->windowTitle(), QStringLiteral("ズカロ入力画面  "));
    QCOMPARE(window_->sheet().fileName, QString());
    QCOMPARE(window_->sheet().currentLabel, 8);
    QVERIFY(window_->sheet().layout == layout);
    QCOMPARE(shownTexts().size(), 2);
    QVERIFY(shownTexts().at(1).endsWith(QStringLiteral("|データを全部クリアしますか？")));
}

void TestEditorWindow::typingLimitOnlyLimitsTyping() {
    QTest::mouseClick(field("Text2"), Qt::LeftButton);
    QTest::keyClicks(field("Text2"), QStringLiteral("abcdefgh"));
    QCOMPARE(field("Text2")->text(), QStringLiteral("abcdef"));
    pressEnter();

    // A longer text from the arrays is shown whole and can still be edited down.
    window_->sheet().productText[2] = QStringLiteral("とても長い商品名がここに入ります");
    click(QStringLiteral("Cmdnext"));
    QCOMPARE(field("Text3")->text(), QStringLiteral("とても長い商品名がここに入ります"));
    QTest::mouseClick(field("Text3"), Qt::LeftButton);
    field("Text3")->end(false);
    QTest::keyClick(field("Text3"), Qt::Key_Backspace);
    QCOMPARE(field("Text3")->text(), QStringLiteral("とても長い商品名がここに入りま"));
    QTest::keyClicks(field("Text3"), QStringLiteral("x"));
    QCOMPARE(field("Text3")->text(), QStringLiteral("とても長い商品名がここに入りま"));
}

void TestEditorWindow::quotesAndLineBreaksNeverEnterAField() {
    QTest::keyClicks(field("Text1"), QStringLiteral("12\"3"));
    QCOMPARE(field("Text1")->text(), QStringLiteral("123"));
    QTest::mouseClick(field("Text4"), Qt::LeftButton);
    QApplication::clipboard()->setText(QStringLiteral("500\"ml\r\n24本"));
    field("Text4")->paste();
    QCOMPARE(field("Text4")->text(), QStringLiteral("500ml24本"));
}

void TestEditorWindow::windowShortcutsWinOverTheField() {
    QTest::mouseClick(field("Text2"), Qt::LeftButton);
    QApplication::clipboard()->setText(QStringLiteral("貼付"));
    QSignalSpy preview(window_->controls().M_プレビュー, &QAction::triggered);
    QTest::keyClick(field("Text2"), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(preview.count(), 1);
    QVERIFY(!field("Text2")->text().contains(QStringLiteral("貼付")));
}

void TestEditorWindow::closingDiscardsTheLabels() {
    typeLabel(
        {QString(), QString(), QStringLiteral("品"), QString(), QString(), QStringLiteral("1")});
    QVERIFY(!window_->sheet().label(1).isBlank());
    QVERIFY(window_->close());
    QVERIFY(shownTexts().isEmpty());
    openWindow();
    QVERIFY(window_->sheet().label(1).isBlank());
    QCOMPARE(window_->sheet().currentLabel, 1);
}

QTEST_MAIN(TestEditorWindow)
#include "tst_editorwindow.moc"
