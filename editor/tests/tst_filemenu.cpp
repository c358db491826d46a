// The file menu and the pattern buttons on the real window, with real files in a temporary
// folder and the dialogs and message boxes answered from a script.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "Cp932.h"
#include "EditorWindow.h"
#include "EntryField.h"
#include "LabelFile.h"
#include "ScriptedCommonDialog1.h"
#include "ScriptedMessageBoxes.h"
#include "SettingsFile.h"

using namespace zukaro;

namespace {

const QString kFilter = QStringLiteral(
    "テキスト ファイル (*.csv)|*.csv|テキスト ファイル (*.txt)|*.txt|すべてのファイル (*.*)|*.*|");

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void typeText(QWidget* field, const QString& text) {
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(field, &commit);
}

DialogAnswer pathAnswer(const QString& path) {
    DialogAnswer answer;
    answer.path = path;
    return answer;
}

}  // namespace

class TestFileMenu : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void ctrlSAtStartUpAsksForAName();
    void saveAsOverAnExistingFile_data();
    void saveAsOverAnExistingFile();
    void saveWritesWhatTheUserSees();
    void overwriteSaveAfterClearAllAsksForAName();
    void failedSaveChangesNothing_data();
    void failedSaveChangesNothing();
    void unencodableCharactersAskFirst_data();
    void unencodableCharactersAskFirst();
    void openRejectsOtherFiles();
    void openWhileMakerFieldHasFocus();
    void openWhilePriceFieldHasFocusEndsOnLabel2();
    void openCancelKeepsTheFocus();
    void openSheetFileWithoutTheDialog_data();
    void openSheetFileWithoutTheDialog();
    void damagedFileOpensAndWarnsOnce();
    void openAndSaveAsGiveBackTheSameBytes();
    void patternSavedAndRestoredOnNextStart();
    void defaultThenPatternSaveGivesTheKnownFile();

private:
    void openWindow();
    EntryField* field(const char* name) const {
        return window_->findChild<EntryField*>(QLatin1String(name));
    }
    void click(const QString& name) {
        QTest::mouseClick(window_->findChild<QPushButton*>(name), Qt::LeftButton);
    }
    QString path(const QString& name) const { return files_.filePath(name); }
    // A file that holds label 1 "A" ... written through the real writer.
    QString sampleFile(const QString& name);

    std::unique_ptr<QTemporaryDir> settingsDir_;
    QTemporaryDir files_;
    ScriptedCommonDialog1 dialogs_;
    ScriptedMessageBoxes messages_;
    std::unique_ptr<EditorWindow> window_;
};

void TestFileMenu::init() {
    settingsDir_ = std::make_unique<QTemporaryDir>();
    dialogs_ = ScriptedCommonDialog1();
    messages_ = ScriptedMessageBoxes();
    openWindow();
}

void TestFileMenu::cleanup() {
    window_.reset();
    QDir(files_.path()).removeRecursively();
    QDir().mkpath(files_.path());
}

void TestFileMenu::openWindow() {
    window_ = std::make_unique<EditorWindow>(
        dialogs_, messages_, SettingsLocations{settingsDir_->path(), settingsDir_->path()});
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
}

QString TestFileMenu::sampleFile(const QString& name) {
    SheetState sheet;
    for (int n = 1; n <= kLabelCount; ++n) {
        sheet.setLabel(
            n, {QStringLiteral("4901234567894"), QStringLiteral("メーカ") + QString::number(n),
                QStringLiteral("品名") + QString::number(n), QStringLiteral("規格"),
                QStringLiteral("ロット"), QString::number(100 * n)});
    }
    sheet.layout.makerY = -3;
    const QString file = path(name);
    [&] { QVERIFY(writeLabelFile(file, sheet, UnencodablePolicy::Refuse).ok); }();
    return file;
}

void TestFileMenu::ctrlSAtStartUpAsksForAName() {
    dialogs_.script(pathAnswer(path(QStringLiteral("new.csv"))));
    QTest::keyClick(field("Text1"), Qt::Key_S, Qt::ControlModifier);

    QCOMPARE(dialogs_.shownKinds(), QStringList{QStringLiteral("save")});
    QCOMPARE(dialogs_.shown().at(0).filter, kFilter);
    QVERIFY(QFile::exists(path(QStringLiteral("new.csv"))));
    QCOMPARE(window_->windowTitle(),
             QStringLiteral("ズカロ入力画面  ") + path(QStringLiteral("new.csv")));
    QCOMPARE(window_->controls().Label6->text(), QStringLiteral(" 1/21"));
    QCOMPARE(QApplication::focusWidget(), field("Text1"));
}

void TestFileMenu::saveAsOverAnExistingFile_data() {
    QTest::addColumn<bool>("overwrite");
    QTest::newRow("no") << false;
    QTest::newRow("yes") << true;
}

void TestFileMenu::saveAsOverAnExistingFile() {
    QFETCH(bool, overwrite);
    const QString target = path(QStringLiteral("old.csv"));
    QFile old(target);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old contents\r\n");
    old.close();

    dialogs_.script(pathAnswer(target));
    messages_.scriptAnswer(overwrite);
    window_->controls().N_SAVE->trigger();

    QCOMPARE(messages_.shown().size(), 1);
    QCOMPARE(messages_.shown().at(0).caption, QStringLiteral("削除"));
    QCOMPARE(messages_.shown().at(0).text,
             target + QStringLiteral("はすでに存在します　上書きしますか?"));
    QVERIFY(!messages_.shown().at(0).yesIsDefault);
    QCOMPARE(readAll(target).startsWith("old contents"), !overwrite);
    QCOMPARE(window_->sheet().fileName, overwrite ? target : QStringLiteral("無題"));
    QCOMPARE(QApplication::focusWidget(), field("Text1"));
}

void TestFileMenu::saveWritesWhatTheUserSees() {
    // Label 5, price typed but not yet stored by leaving the field.
    for (int i = 0; i < 4; ++i) {
        click(QStringLiteral("Cmdnext"));
    }
    QTest::mouseClick(field("Text3"), Qt::LeftButton);
    typeText(field("Text3"), QStringLiteral("品"));
    QTest::mouseClick(field("Text5"), Qt::LeftButton);
    QCOMPARE(window_->sheet().currentLabel, 5);
    typeText(field("Text5"), QStringLiteral("1980"));

    dialogs_.script(pathAnswer(path(QStringLiteral("typed.csv"))));
    window_->controls().N_SAVE->trigger();

    SheetState reread;
    QVERIFY(readLabelFile(path(QStringLiteral("typed.csv")), reread).opened);
    QCOMPARE(reread.priceText[5], QStringLiteral("1980"));
    QCOMPARE(reread.productText[5], QStringLiteral("品"));
    // The editor then shows label 1; the price field did not move on.
    QCOMPARE(window_->sheet().currentLabel, 1);
    QCOMPARE(window_->sheet().priceText[5], QStringLiteral("1980"));
    QVERIFY(window_->sheet().label(6).isBlank());
    QCOMPARE(field("Text5")->text(), QString());
    QCOMPARE(window_->controls().Label6->text(), QStringLiteral(" 1/21"));
}

void TestFileMenu::overwriteSaveAfterClearAllAsksForAName() {
    const QString first = path(QStringLiteral("first.csv"));
    dialogs_.script(pathAnswer(first));
    window_->controls().N_SAVE->trigger();
    const QByteArray saved = readAll(first);

    messages_.scriptAnswer(true);
    click(QStringLiteral("全クリア"));
    QCOMPARE(window_->sheet().fileName, QString());

    dialogs_.scriptCancel();
    window_->controls().U_SAVE->trigger();
    QCOMPARE(dialogs_.shownKinds(), (QStringList{QStringLiteral("save"), QStringLiteral("save")}));
    QCOMPARE(readAll(first), saved);
    QCOMPARE(window_->sheet().fileName, QString());
}

void TestFileMenu::failedSaveChangesNothing_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("read-only folder") << "folder";
    QTest::newRow("read-only file") << "file";
    QTest::newRow("missing folder") << "missing";
}

void TestFileMenu::failedSaveChangesNothing() {
    QFETCH(QString, kind);
    const QString folder = path(QStringLiteral("locked"));
    QVERIFY(QDir().mkpath(folder));
    QString target = folder + QStringLiteral("/sheet.csv");
    if (kind == QLatin1String("file")) {
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("keep me");
        file.close();
        QVERIFY(file.setPermissions(QFileDevice::ReadOwner));
    } else if (kind == QLatin1String("folder")) {
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    } else {
        target = path(QStringLiteral("nowhere/sheet.csv"));
    }

    dialogs_.script(pathAnswer(target));
    messages_.scriptAnswer(true);  // overwrite the read-only file, if asked
    window_->controls().N_SAVE->trigger();
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    const auto& shown = messages_.shown();
    QVERIFY(!shown.isEmpty());
    QCOMPARE(shown.last().caption, QStringLiteral("エラー"));
    QVERIFY2(shown.last().text.contains(QDir::toNativeSeparators(target)),
             qPrintable(shown.last().text));
    QCOMPARE(window_->sheet().fileName, QStringLiteral("無題"));
    QCOMPARE(window_->windowTitle(), QStringLiteral("ズカロ入力画面  無題"));
    QCOMPARE(readAll(target), kind == QLatin1String("file") ? QByteArray("keep me") : QByteArray());
}

void TestFileMenu::unencodableCharactersAskFirst_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("no writes nothing") << false;
    QTest::newRow("yes writes ?") << true;
}

void TestFileMenu::unencodableCharactersAskFirst() {
    QFETCH(bool, yes);
    click(QStringLiteral("Cmdnext"));
    click(QStringLiteral("Cmdnext"));
    QTest::mouseClick(field("Text3"), Qt::LeftButton);
    typeText(field("Text3"), QStringLiteral("ハート♥"));

    const QString target = path(QStringLiteral("heart.csv"));
    dialogs_.script(pathAnswer(target));
    messages_.scriptAnswer(yes);
    window_->controls().N_SAVE->trigger();

    QCOMPARE(messages_.shown().size(), 1);
    QVERIFY2(messages_.shown().at(0).text.contains(QStringLiteral("ラベル 3")),
             qPrintable(messages_.shown().at(0).text));
    QCOMPARE(QFile::exists(target), yes);
    if (yes) {
        SheetState reread;
        QVERIFY(readLabelFile(target, reread).opened);
        QCOMPARE(reread.productText[3], QStringLiteral("ハート?"));
        QCOMPARE(window_->sheet().productText[3], QStringLiteral("ハート♥"));
    } else {
        QCOMPARE(window_->sheet().fileName, QStringLiteral("無題"));
    }
}

void TestFileMenu::openRejectsOtherFiles() {
    QTest::mouseClick(field("Text3"), Qt::LeftButton);
    typeText(field("Text3"), QStringLiteral("残す"));
    QTest::keyClick(field("Text3"), Qt::Key_Return);
    const QString other = path(QStringLiteral("other.csv"));
    QFile file(other);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("\"ズカロ \"\r\n");
    file.close();

    dialogs_.script(pathAnswer(other));
    window_->controls().f_open->trigger();
    QCOMPARE(messages_.shown().size(), 1);
    QCOMPARE(messages_.shown().at(0).caption, QStringLiteral("エラー"));
    QCOMPARE(messages_.shown().at(0).text, QStringLiteral("ズカロ形式のデータではありません"));
    QCOMPARE(messages_.shown().at(0).icon, MessageIcon::Critical);
    QCOMPARE(window_->sheet().productText[1], QStringLiteral("残す"));
    QCOMPARE(window_->sheet().fileName, QStringLiteral("無題"));
}

void TestFileMenu::openWhileMakerFieldHasFocus() {
    const QString file = sampleFile(QStringLiteral("sample.csv"));
    for (int i = 0; i < 8; ++i) {
        click(QStringLiteral("Cmdnext"));
    }
    QTest::mouseClick(field("Text2"), Qt::LeftButton);
    typeText(field("Text2"), QStringLiteral("途中"));

    dialogs_.script(pathAnswer(file));
    window_->controls().f_open->trigger();

    const SheetState& sheet = window_->sheet();
    QCOMPARE(sheet.currentLabel, 1);
    QCOMPARE(sheet.makerText[1], QStringLiteral("メーカ1"));
    QCOMPARE(sheet.makerText[9], QStringLiteral("メーカ9"));
    QCOMPARE(field("Text2")->text(), QStringLiteral("メーカ1"));
    QCOMPARE(sheet.layout.makerY, std::int16_t(-3));
    QCOMPARE(window_->windowTitle(), QStringLiteral("ズカロ入力画面  ") + file);
    QCOMPARE(QApplication::focusWidget(), field("Text1"));
}

void TestFileMenu::openWhilePriceFieldHasFocusEndsOnLabel2() {
    const QString file = sampleFile(QStringLiteral("sample.csv"));
    QTest::mouseClick(field("Text5"), Qt::LeftButton);
    dialogs_.script(pathAnswer(file));
    window_->controls().f_open->trigger();
    QCOMPARE(window_->sheet().currentLabel, 2);
    QCOMPARE(window_->sheet().priceText[1], QStringLiteral("100"));
    QCOMPARE(field("Text3")->text(), QStringLiteral("品名2"));
    QCOMPARE(window_->controls().Label6->text(), QStringLiteral(" 2/21"));
}

void TestFileMenu::openCancelKeepsTheFocus() {
    QTest::mouseClick(field("Text3"), Qt::LeftButton);
    dialogs_.scriptCancel();
    window_->controls().f_open->trigger();
    QCOMPARE(QApplication::focusWidget(), field("Text3"));
    QCOMPARE(window_->sheet().fileName, QStringLiteral("無題"));
}

void TestFileMenu::damagedFileOpensAndWarnsOnce() {
    const QString file = sampleFile(QStringLiteral("cut.csv"));
    QByteArray bytes = readAll(file);
    bytes.truncate(bytes.indexOf("\" 8\""));
    QFile cut(file);
    QVERIFY(cut.open(QIODevice::WriteOnly | QIODevice::Truncate));
    cut.write(bytes);
    cut.close();

    dialogs_.script(pathAnswer(file));
    window_->controls().f_open->trigger();
    QCOMPARE(window_->sheet().productText[7], QStringLiteral("品名7"));
    QVERIFY(window_->sheet().label(8).isBlank());
    QCOMPARE(window_->sheet().fileName, file);
    QCOMPARE(messages_.shown().size(), 1);
    QCOMPARE(messages_.shown().at(0).icon, MessageIcon::Exclamation);
}

void TestFileMenu::openSheetFileWithoutTheDialog_data() {
    QTest::addColumn<QString>("content");  // "sample", "cut" or the file's bytes
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("message");  // caption of the one message box, if any
    QTest::newRow("label data file") << "sample" << true << "";
    QTest::newRow("cut after label 7") << "cut" << true << "注意";
    QTest::newRow("other text file") << "\"ズカロ \"\r\n" << false << "エラー";
    QTest::newRow("empty file") << "" << false << "エラー";
}

void TestFileMenu::openSheetFileWithoutTheDialog() {
    // A file named on the command line opens like one chosen in the open dialog.
    QFETCH(QString, content);
    QFETCH(bool, opens);
    QFETCH(QString, message);
    QString file = sampleFile(QStringLiteral("given.csv"));
    if (content == QStringLiteral("cut")) {
        QByteArray bytes = readAll(file);
        bytes.truncate(bytes.indexOf("\" 8\""));
        QFile cut(file);
        QVERIFY(cut.open(QIODevice::WriteOnly | QIODevice::Truncate));
        cut.write(bytes);
    } else if (content != QStringLiteral("sample")) {
        QFile other(file);
        QVERIFY(other.open(QIODevice::WriteOnly | QIODevice::Truncate));
        other.write(content.toUtf8());
    }
    click(QStringLiteral("Cmdnext"));

    QCOMPARE(openSheetFile(*window_, file), opens);
    QVERIFY(dialogs_.shown().isEmpty());
    QCOMPARE(messages_.shown().size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty()) {
        QCOMPARE(messages_.shown().at(0).caption, message);
    }
    const SheetState& sheet = window_->sheet();
    if (opens) {
        QCOMPARE(sheet.currentLabel, 1);
        QCOMPARE(sheet.productText[1], QStringLiteral("品名1"));
        QCOMPARE(field("Text3")->text(), QStringLiteral("品名1"));
        QCOMPARE(window_->windowTitle(), QStringLiteral("ズカロ入力画面  ") + file);
        QCOMPARE(QApplication::focusWidget(), field("Text1"));
    } else {
        QCOMPARE(sheet.currentLabel, 2);
        QCOMPARE(sheet.productText[1], QString());
        QCOMPARE(window_->windowTitle(), QStringLiteral("ズカロ入力画面  無題"));
    }
}

void TestFileMenu::openAndSaveAsGiveBackTheSameBytes() {
    const QString file = sampleFile(QStringLiteral("sample.csv"));
    dialogs_.script(pathAnswer(file));
    window_->controls().f_open->trigger();
    const QString copy = path(QStringLiteral("copy.txt"));
    dialogs_.script(pathAnswer(copy));
    window_->controls().N_SAVE->trigger();
    QCOMPARE(readAll(copy), readAll(file));

    // Overwrite save rewrites the opened file without a question.
    window_->controls().U_SAVE->trigger();
    QCOMPARE(dialogs_.shownKinds().size(), 2);
    QVERIFY(messages_.shown().isEmpty());
}

void TestFileMenu::patternSavedAndRestoredOnNextStart() {
    click(QStringLiteral("maker_上"));
    click(QStringLiteral("maker_上"));
    click(QStringLiteral("maker_上"));
    click(QStringLiteral("規格U表示"));
    messages_.scriptAnswer(false);
    click(QStringLiteral("pt保存"));
    QVERIFY(!QFile::exists(settingsDir_->filePath(QStringLiteral("data.txt"))));
    messages_.scriptAnswer(true);
    click(QStringLiteral("pt保存"));
    QCOMPARE(messages_.shown().at(1).text, QStringLiteral("保存しますか？"));
    QVERIFY(readAll(settingsDir_->filePath(QStringLiteral("data.txt"))).contains(",0,-3\r\n"));

    window_.reset();
    openWindow();
    QCOMPARE(window_->sheet().layout.makerY, std::int16_t(-3));
    QCOMPARE(window_->sheet().layout.規格U表示, QStringLiteral("アンダーライン無"));
    QCOMPARE(window_->sheet().sheetX, 2.7);
}

void TestFileMenu::defaultThenPatternSaveGivesTheKnownFile() {
    messages_.scriptAnswer(true);
    click(QStringLiteral("デフォルト"));
    QCOMPARE(window_->sheet().sheetX, 12.0);
    QCOMPARE(window_->sheet().sheetY, 7.8);
    messages_.scriptAnswer(true);
    click(QStringLiteral("pt保存"));

    const QString expected = QStringLiteral(
        "\"印字位置調整\",\"0\",\"0\",0,0,0,0,0,0,0\r\n"
        "\"縁取り\",\"カラーで縁取りする\",0,0,0,0,0,0,0,0\r\n"
        "\"jan\",\"ＭＳ 明朝\",12,#FALSE#,#FALSE#,0,\"表示しない\",0,0,0\r\n"
        "\"BARCODE\",0,0,0,0,0,0,0,0,0\r\n"
        "\"メーカー\",\"ＭＳ "
        "明朝\",10,#FALSE#,#FALSE#,0,\"表示しない\",\"アンダーライン有\",0,0\r\n"
        "\"品名\",\"ＭＳ 明朝\",18,#FALSE#,#FALSE#,0,\"表示しない\",\"アンダーライン有\",0,0\r\n"
        "\"規格\",\"ＭＳ 明朝\",10,#FALSE#,#FALSE#,0,\"表示しない\",\"アンダーライン有\",0,0\r\n"
        "\"ロット\",\"ＭＳ 明朝\",10,#FALSE#,#FALSE#,0,\"表示しない\",\"アンダーライン有\",0,0\r\n"
        "\"売価\",\"ＭＳ 明朝\",48,#FALSE#,#FALSE#,255,\"表示しない\",0,0,0\r\n"
        "\"円\",\"ＭＳ 明朝\",24,#FALSE#,#FALSE#,255,\"表示しない\",0,0,0\r\n");
    const cp932::Encoded encoded = cp932::encode(expected);
    QVERIFY(encoded.unencodable.empty());
    QCOMPARE(readAll(settingsDir_->filePath(QStringLiteral("data.txt"))), encoded.bytes);
}

QTEST_MAIN(TestFileMenu)
#include "tst_filemenu.moc"
