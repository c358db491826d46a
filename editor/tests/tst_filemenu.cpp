// The file menu and the pattern buttons on the real window, with real files in a temporary
// folder and the dialogs and message boxes answered from a script.
#include <QAction>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QStatusBar>

#include "Cp932.h"
#include "EditorFixture.h"
#include "LabelFile.h"

using namespace zukaro;
using namespace zukaro::testing;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
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
    void cleanup() {
        ZUKARO_VERIFY_NO_DIALOG_LEFT();
        ui_.reset();
    }

    void ctrlSAtStartUpAsksForAName();
    void saveAsOverAnExistingFile_data();
    void saveAsOverAnExistingFile();
    void overwriteSaveAfterClearAllAsksForAName();
    void failedSaveIntoReadOnlyFolderChangesNothing();
    void openRejectsOtherFiles();
    void openWhileMakerFieldHasFocus();
    void openCancelKeepsTheFocus();
    void listSheetOpensUnsavedWithoutAFile();
    void damagedFileOpensAndWarnsOnce();
    void openAndSaveAsGiveBackTheSameBytes();
    void patternSavedOnlyOnYes();
    void patternSaveThatCannotWriteSaysSo();
    void defaultThenPatternSaveGivesTheKnownFile();
    void savesSayWhatAndWhere_data();
    void savesSayWhatAndWhere();
    void oldNotesGoWithTheSheet_data();
    void oldNotesGoWithTheSheet();
    void aProductListIsOfferedToTheListWindow_data();
    void aProductListIsOfferedToTheListWindow();
    void printSuggestsAPdfAfterTheSheet_data();
    void printSuggestsAPdfAfterTheSheet();

private:
    QString path(const QString& name) const { return files_->filePath(name); }
    // A full sheet with the maker 3 mm up, written through the real writer.
    QString sampleFile();
    void save(const QString& target) {
        ui_.dialogs.script(pathAnswer(target));
        ui_.window->controls().N_SAVE->trigger();
    }
    void open(const QString& file) {
        ui_.dialogs.script(pathAnswer(file));
        ui_.window->controls().f_open->trigger();
    }

    EditorFixture ui_;
    std::unique_ptr<QTemporaryDir> files_;
};

void TestFileMenu::init() {
    ui_.reset();
    ui_.settingsDir = std::make_unique<QTemporaryDir>();
    files_ = std::make_unique<QTemporaryDir>();
    QVERIFY(ui_.open());
}

QString TestFileMenu::sampleFile() {
    SheetState sheet;
    for (int n = 1; n <= kLabelCount; ++n) {
        const QString s = QString::number(n);
        sheet.setLabel(n, {u"4901234567894"_qs, u"メーカ"_qs + s, u"品名"_qs + s, u"規格"_qs,
                           u"ロット"_qs, QString::number(100 * n)});
    }
    sheet.layout.makerY = -3;
    const QString file = path(u"sample.csv"_qs);
    return writeLabelFile(file, sheet, UnencodablePolicy::Refuse).ok ? file : QString();
}

void TestFileMenu::ctrlSAtStartUpAsksForAName() {
    ui_.dialogs.script(pathAnswer(path(u"new.csv"_qs)));
    QTest::keyClick(ui_.field("Text1"), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(ui_.dialogs.shownKinds(), QStringList{u"save"_qs});
    QCOMPARE(ui_.dialogs.shown().at(0).filter,
             u"テキスト ファイル (*.csv)|*.csv|テキスト ファイル (*.txt)|*.txt|"
             u"すべてのファイル (*.*)|*.*|"_qs);
    QVERIFY(QFile::exists(path(u"new.csv"_qs)));
    QCOMPARE(ui_.window->windowTitle(), u"ズカロ入力画面  "_qs + path(u"new.csv"_qs));
    QCOMPARE(ui_.counter(), u" 1/21"_qs);
    QCOMPARE(ui_.focused(), u"Text1"_qs);
}

void TestFileMenu::saveAsOverAnExistingFile_data() {
    QTest::addColumn<bool>("overwrite");
    QTest::newRow("no") << false;
    QTest::newRow("yes") << true;
}

void TestFileMenu::saveAsOverAnExistingFile() {
    QFETCH(bool, overwrite);
    const QString target = path(u"old.csv"_qs);
    QVERIFY(writeAll(target, "old contents"));
    ui_.messages.scriptAnswer(overwrite);
    save(target);
    QCOMPARE(ui_.shownTexts(),
             QStringList{u"削除|"_qs + target + u"はすでに存在します　上書きしますか?"_qs});
    QVERIFY(!ui_.messages.shown().at(0).yesIsDefault);
    QCOMPARE(readAll(target) == "old contents", !overwrite);
    QCOMPARE(ui_.sheet().fileName, overwrite ? target : u"無題"_qs);
    QCOMPARE(ui_.focused(), u"Text1"_qs);
}

void TestFileMenu::overwriteSaveAfterClearAllAsksForAName() {
    save(path(u"first.csv"_qs));
    const QByteArray saved = readAll(path(u"first.csv"_qs));
    ui_.messages.scriptAnswer(true);
    ui_.click(u"全クリア"_qs);
    ui_.window->controls().U_SAVE->trigger();  // the dialog is cancelled
    QCOMPARE(ui_.dialogs.shownKinds(), (QStringList{u"save"_qs, u"save"_qs}));
    QCOMPARE(readAll(path(u"first.csv"_qs)), saved);
    QCOMPARE(ui_.sheet().fileName, QString());
}

void TestFileMenu::failedSaveIntoReadOnlyFolderChangesNothing() {
    const QString folder = path(u"locked"_qs);
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    save(folder + u"/sheet.csv"_qs);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const auto& box = ui_.messages.shown().last();
    QCOMPARE(box.caption, u"エラー"_qs);
    QVERIFY2(box.text.contains(QDir::toNativeSeparators(folder + u"/sheet.csv"_qs)),
             qPrintable(box.text));
    QCOMPARE(ui_.window->windowTitle(), u"ズカロ入力画面  無題"_qs);
    QVERIFY(!QFile::exists(folder + u"/sheet.csv"_qs));
}

void TestFileMenu::openRejectsOtherFiles() {
    ui_.clickInto("Text3");
    typeText(ui_.field("Text3"), u"残す"_qs);
    pressEnter();
    const QString other = path(u"other.csv"_qs);
    QVERIFY(writeAll(other, cp932::encode(u"\"ズカロ \"\r\n"_qs).bytes));
    ui_.messages.scriptAnswer(Answer::No);  // not saved first
    open(other);
    QCOMPARE(ui_.shownTexts(), (QStringList{u"ズカロ|変更を保存しますか？"_qs,
                                            u"エラー|ズカロ形式のデータではありません"_qs}));
    QCOMPARE(ui_.messages.shown().at(1).icon, MessageIcon::Critical);
    QCOMPARE(ui_.sheet().productText[1], u"残す"_qs);
    QCOMPARE(ui_.sheet().fileName, u"無題"_qs);
}

void TestFileMenu::openWhileMakerFieldHasFocus() {
    const QString file = sampleFile();
    ui_.click(u"Cmdnext"_qs, 8);
    ui_.clickInto("Text2");
    typeText(ui_.field("Text2"), u"途中"_qs);
    ui_.messages.scriptAnswer(Answer::No);
    open(file);
    QCOMPARE(ui_.sheet().currentLabel, 1);
    QCOMPARE(ui_.sheet().makerText[1], u"メーカ1"_qs);
    QCOMPARE(ui_.sheet().makerText[9], u"メーカ9"_qs);
    QCOMPARE(ui_.field("Text2")->text(), u"メーカ1"_qs);
    QCOMPARE(ui_.sheet().layout.makerY, std::int16_t(-3));
    QCOMPARE(ui_.window->windowTitle(), u"ズカロ入力画面  "_qs + file);
    QCOMPARE(ui_.focused(), u"Text1"_qs);
}

void TestFileMenu::openCancelKeepsTheFocus() {
    ui_.clickInto("Text3");
    ui_.window->controls().f_open->trigger();
    QCOMPARE(ui_.dialogs.shownKinds(), QStringList{u"open"_qs});
    // A sheet saved as .csv or .txt: the first filter shows both.
    QCOMPARE(ui_.dialogs.shown().at(0).filter.section(u'|', 0, 1),
             u"ラベルデータ (*.csv;*.txt)|*.csv;*.txt"_qs);
    QCOMPARE(ui_.focused(), u"Text3"_qs);
    QCOMPARE(ui_.sheet().fileName, u"無題"_qs);
}

// A sheet of a product list replaces the opened file's labels after the unsaved-changes
// question; it has no file, counts as unsaved, and nothing before it can be undone. It comes
// with the list's 印刷日, which the preview and 印刷 then take.
void TestFileMenu::listSheetOpensUnsavedWithoutAFile() {
    open(sampleFile());
    ui_.clickInto("Text3");
    typeText(ui_.field("Text3"), u"途中"_qs);
    SheetState list;
    list.setLabel(1, {u"4901234567894"_qs, {}, u"リスト品"_qs, {}, {}, u"398"_qs, u"8"_qs});
    ui_.messages.scriptAnswer(Answer::No);
    const QDate monday = QDate::currentDate().addDays(8 - QDate::currentDate().dayOfWeek());
    ui_.window->openListSheet(list, u"商品リスト 1/1"_qs, monday);
    QCOMPARE(ui_.window->findChild<QDateEdit*>(u"印刷日"_qs)->date(), monday);
    QCOMPARE(ui_.shownTexts(), QStringList{u"ズカロ|変更を保存しますか？"_qs});
    QCOMPARE(ui_.sheet().label(1), list.label(1));
    QVERIFY(ui_.sheet().label(2).isBlank());
    QCOMPARE(ui_.field("Text3")->text(), u"リスト品"_qs);
    QCOMPARE(ui_.window->windowTitle(), u"*ズカロ入力画面  無題"_qs);
    QCOMPARE(ui_.window->undoStack().count(), 0);
}

void TestFileMenu::damagedFileOpensAndWarnsOnce() {
    const QString file = sampleFile();
    const QByteArray bytes = readAll(file);
    QVERIFY(writeAll(file, bytes.left(bytes.indexOf("\" 8\""))));
    open(file);
    QCOMPARE(ui_.sheet().productText[7], u"品名7"_qs);
    QVERIFY(ui_.sheet().label(8).isBlank());
    QCOMPARE(ui_.sheet().fileName, file);
    QCOMPARE(ui_.messages.shown().size(), 1);
    QCOMPARE(ui_.messages.shown().at(0).icon, MessageIcon::Exclamation);
}

void TestFileMenu::openAndSaveAsGiveBackTheSameBytes() {
    const QString file = sampleFile();
    open(file);
    save(path(u"copy.txt"_qs));
    QCOMPARE(readAll(path(u"copy.txt"_qs)), readAll(file));
    ui_.window->controls().U_SAVE->trigger();  // rewrites copy.txt without a question
    QCOMPARE(ui_.dialogs.shownKinds().size(), 2);
    QVERIFY(ui_.messages.shown().isEmpty());
}

void TestFileMenu::patternSavedOnlyOnYes() {
    const QString dataTxt = ui_.settingsDir->filePath(u"data.txt"_qs);
    ui_.click(u"maker_上"_qs, 3);
    ui_.messages.scriptAnswer(false);
    ui_.click(u"pt保存"_qs);
    QVERIFY(!QFile::exists(dataTxt));
    ui_.messages.scriptAnswer(true);
    ui_.click(u"pt保存"_qs);
    QCOMPARE(ui_.messages.shown().at(1).text, u"保存しますか？"_qs);
    QVERIFY(readAll(dataTxt).contains(",0,-3\r\n"));  // the maker line ends with its offsets
}

void TestFileMenu::patternSaveThatCannotWriteSaysSo() {
    const QString folder = ui_.settingsDir->path();
    QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    ui_.messages.scriptAnswer(true);
    ui_.click(u"pt保存"_qs);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(ui_.messages.shown().size(), 2);
    QCOMPARE(ui_.messages.shown().at(1).caption, u"エラー"_qs);
    QVERIFY(ui_.messages.shown().at(1).text.contains(u"data.txt"_qs));
    QVERIFY(!QFile::exists(folder + u"/data.txt"_qs));
}

void TestFileMenu::defaultThenPatternSaveGivesTheKnownFile() {
    ui_.messages.scriptAnswer(true);
    ui_.click(u"デフォルト"_qs);
    QCOMPARE(ui_.sheet().sheetX, 12.0);
    QCOMPARE(ui_.sheet().sheetY, 7.8);
    ui_.messages.scriptAnswer(true);
    ui_.click(u"pt保存"_qs);
    QFile golden(QStringLiteral(ZUKARO_LAYOUT_TEST_DATA "/default_pattern_data.txt"));
    QVERIFY(golden.open(QIODevice::ReadOnly));
    // The ten lines as they always were, then 価格を枠内に収める, on from the first start.
    const QByteArray fitting =
        cp932::encode(
            u"\"総額表示\",\"入力どおり\",10,\"切り捨て\",#FALSE#,#TRUE#,0,0,0,0\r\n"
            u"\"本体\",\"ＭＳ 明朝\",7,#FALSE#,#FALSE#,0,\"表示しない\",0,0,0\r\n"
            u"\"税込\",\"ＭＳ 明朝\",9,#FALSE#,#FALSE#,255,\"表示しない\",0,0,0\r\n"_qs)
            .bytes;
    QCOMPARE(readAll(ui_.settingsDir->filePath(u"data.txt"_qs)), golden.readAll() + fitting);
}

QTEST_MAIN(TestFileMenu)
#include "tst_filemenu.moc"

void TestFileMenu::savesSayWhatAndWhere_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("labels");  // typed before the save; 21: a full sheet opened
    QTest::newRow("Ctrl+S, untitled") << "Ctrl+S" << 9;
    QTest::newRow("Ctrl+S, a file's sheet") << "Ctrl+S" << 21;
    QTest::newRow("名前を付けて保存") << "save as" << 21;
    QTest::newRow("pt保存") << "pt保存" << 9;
}

// After a save the status bar says what was saved where: the labels with text and the file.
void TestFileMenu::savesSayWhatAndWhere() {
    QFETCH(QString, command);
    QFETCH(int, labels);
    const QString target = path(u"今週.csv"_qs);
    if (labels == 21) {
        open(sampleFile());
        ui_.window->setFileName(target);  // Ctrl+S writes the sheet's own file
    } else {
        for (int n = 1; n <= labels; ++n) {
            typeLabel({u"4901234567894"_qs, u"山田食品"_qs, u"国産丸大豆しょうゆ 1L 特選"_qs,
                       u"1L"_qs, u"A-0412"_qs, u"￥398"_qs});
        }
    }
    QString expected = u"ラベル %1 枚分を %2 に保存しました。"_qs.arg(labels).arg(target);
    if (command == "Ctrl+S") {
        if (labels != 21) {
            ui_.dialogs.script(pathAnswer(target));  // a name is asked for only while untitled
        }
        QTest::keyClick(ui_.field("Text1"), Qt::Key_S, Qt::ControlModifier);
    } else if (command == "save as") {
        save(target);
    } else {
        ui_.messages.scriptAnswer(true);
        ui_.click(u"pt保存"_qs);
        expected = u"印字位置とフォントパターンを %1 に保存しました。"_qs.arg(
            ui_.settingsDir->filePath(u"data.txt"_qs));
    }
    QCOMPARE(ui_.window->statusBar()->currentMessage(), expected);
    QVERIFY(
        QFile::exists(command == "pt保存" ? ui_.settingsDir->filePath(u"data.txt"_qs) : target));
}

void TestFileMenu::oldNotesGoWithTheSheet_data() {
    QTest::addColumn<QString>("command");
    QTest::newRow("新規作成") << "new";
    QTest::newRow("ファイルを開く") << "open";
}

// A note about the old sheet (a corrected check digit) does not stay after 新規作成 or opening
// a file.
void TestFileMenu::oldNotesGoWithTheSheet() {
    QFETCH(QString, command);
    typeLabel({u"4901234567890"_qs});
    QVERIFY2(ui_.window->statusBar()->currentMessage().contains(u"チェックデジット"_qs),
             qPrintable(ui_.window->statusBar()->currentMessage()));
    ui_.messages.scriptAnswer(Answer::No);  // not saved first
    if (command == "new") {
        ui_.window->controls().KURIA->trigger();
    } else {
        open(sampleFile());
    }
    QCOMPARE(ui_.sheet().fileName, command == "new" ? u"無題"_qs : path(u"sample.csv"_qs));
    // What the opened sheet's labels look like on paper may be said (the sample's overprint).
    const QString said = ui_.window->statusBar()->currentMessage();
    QVERIFY2(said.isEmpty() || (command == "open" && said.startsWith(u"ラベル "_qs) &&
                                !said.contains(u"チェックデジット"_qs)),
             qPrintable(said));
}

void TestFileMenu::aProductListIsOfferedToTheListWindow_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("list");    // offered to 商品リスト
    QTest::addColumn<bool>("answer");  // はい
    const QByteArray pos = cp932::encode(
                               u"JANコード,商品名,売価\r\n4901234567894,国産丸大豆しょうゆ,"
                               u"￥398\r\n49123456,のむヨーグルト,￥178\r\n"_qs)
                               .bytes;
    QTest::newRow("POS list, はい") << pos << true << true;
    QTest::newRow("POS list, いいえ") << pos << true << false;
    QTest::newRow("product name header only")
        << cp932::encode(u"商品名\r\nしょうゆ\r\n"_qs).bytes << true << true;
    // Neither a sheet nor a list: the old message.
    QTest::newRow("a letter") << QByteArray("Dear clerk,\r\nhello\r\n") << false << false;
}

// ファイルを開く on a product list says so and offers to open it in 商品リスト; the sheet
// stays as it was.
void TestFileMenu::aProductListIsOfferedToTheListWindow() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, list);
    QFETCH(bool, answer);
    QStringList opened;
    ui_.window->setProductFileOpener([&](const QString& file) { opened << file; });
    typeLabel({u"4901234567894"_qs, u"残す"_qs});
    const QString file = path(u"POS書き出し.csv"_qs);
    QVERIFY(writeAll(file, bytes));
    ui_.messages.scriptAnswer(Answer::No);  // the typed label is not saved first
    if (list) {
        ui_.messages.scriptAnswer(answer);
    }
    open(file);
    QCOMPARE(ui_.messages.shown().size(), 2);
    const auto& box = ui_.messages.shown().at(1);
    if (list) {
        QVERIFY2(box.text.contains(file) && box.text.contains(u"商品リストのようです"_qs) &&
                     box.text.contains(u"商品リストの画面で開きますか"_qs),
                 qPrintable(box.text));
        QCOMPARE(opened, answer ? QStringList{file} : QStringList{});
    } else {
        QCOMPARE(box.text, u"ズカロ形式のデータではありません"_qs);
        QVERIFY(opened.isEmpty());
    }
    QCOMPARE(ui_.sheet().makerText[1], u"残す"_qs);
    QCOMPARE(ui_.sheet().fileName, u"無題"_qs);
}

void TestFileMenu::printSuggestsAPdfAfterTheSheet_data() {
    QTest::addColumn<QString>("sheetFile");  // empty: untitled
    QTest::addColumn<QString>("pdf");        // relative to the files' folder, or ~/
    QTest::newRow("untitled") << ""
                              << "~/無題.pdf";
    QTest::newRow("今週.csv") << "今週.csv"
                              << "今週.pdf";
    QTest::newRow("棚札.2024.txt") << "棚札.2024.txt"
                                   << "棚札.2024.pdf";
}

// The print dialog offers a PDF named after the sheet, beside its file.
void TestFileMenu::printSuggestsAPdfAfterTheSheet() {
    QFETCH(QString, sheetFile);
    QFETCH(QString, pdf);
    if (!sheetFile.isEmpty()) {
        save(path(sheetFile));
    }
    ui_.dialogs.scriptCancel();
    QTest::keyClick(ui_.field("Text1"), Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(ui_.dialogs.shownKinds().last(), u"printer"_qs);
    QCOMPARE(ui_.dialogs.pdfSuggestion(),
             pdf.startsWith(u'~') ? QDir::home().filePath(pdf.mid(2)) : path(pdf));
}
