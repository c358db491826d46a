// printing.json: the remembered sheet shift and the printers' calibrations, read back exactly,
// changed one entry at a time, and never lost to a damaged file or a hand edit.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "PrintingSettings.h"

using namespace zukaro;

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace

class TestPrintingSettings : public QObject {
    Q_OBJECT

    std::optional<QTemporaryDir> dir_;
    QString folder() const { return dir_->filePath("config/zukaro"); }
    QString file() const { return printingSettingsPath(folder()); }

private slots:
    void init() { dir_.emplace(); }

    void nothingStoredIsNoError() {
        for (const QString& where : {QString(), folder()}) {
            const PrintingSettingsLoad load = loadPrintingSettings(where);
            QVERIFY(load.error.isEmpty());
            QVERIFY(!load.settings.sheetShift && load.settings.calibrations.empty());
            QCOMPARE(load.settings.shiftOrStartUp(), kStartUpOrigin);
            QVERIFY(load.settings.calibrationFor("any").isNone());
        }
        QVERIFY(!QFile::exists(folder()));  // reading makes nothing
    }

    // Every entry comes back bit for bit; storing one keeps the others; the file is plain
    // enough to read and mend by hand.
    void storedEntriesComeBackExactly() {
        const StoredCalibration laser{{1.1614173228346456, -0.8, 1.0030621172353456, 0.998},
                                      "2025-04-01"};
        const StoredCalibration pdf{{0.3, 0, 1, 1}, "2025-04-02"};
        QVERIFY(rememberSheetShift(folder(), {3.7, 11.6}).ok);
        QCOMPARE(contents(file()),
                 "{\n    \"sheetShift\": {\n        \"x\": 3.7,\n        \"y\": 11.6\n    }\n}\n");
        QVERIFY(storeCalibration(folder(), "Brother_HL-L2375DW", laser).ok);
        QVERIFY(storeCalibration(folder(), kPdfFilePrinter, pdf).ok);
        QVERIFY(rememberSheetShift(folder(), {4.7, 11.6}).ok);
        PrintingSettingsLoad load = loadPrintingSettings(folder());
        QVERIFY2(load.error.isEmpty(), qPrintable(load.error));
        QCOMPARE(load.settings.shiftOrStartUp(), (SheetOrigin{4.7, 11.6}));
        QCOMPARE(load.settings.calibrations.size(), std::size_t(2));
        QVERIFY(load.settings.calibrations.at("Brother_HL-L2375DW") == laser);
        QVERIFY(load.settings.calibrationFor(kPdfFilePrinter) == pdf.calibration);

        QVERIFY(forgetCalibration(folder(), kPdfFilePrinter).ok);
        load = loadPrintingSettings(folder());
        QVERIFY(load.settings.calibrationFor(kPdfFilePrinter).isNone());
        QVERIFY(load.settings.calibrations.at("Brother_HL-L2375DW") == laser);
        QCOMPARE(load.settings.shiftOrStartUp(), (SheetOrigin{4.7, 11.6}));
    }

    // A hand edit gone wrong spoils only its own entry: the rest is used, the bad one is said
    // (its name quoted short, a control character in it as an escape, never raw to a
    // terminal) and stays in the file as it was written.
    void unusableEntriesAreSkippedAndKept() {
        QVERIFY(QDir().mkpath(folder()));
        const QByteArray edited = R"({
    "sheetShift": {"x": "3.7", "y": 12.6},
    "printers": {
        "good": {"offsetX": 0.5, "offsetY": 0, "scaleX": 1, "scaleY": 1.001},
        "stretched": {"offsetX": 0, "offsetY": 0, "scaleX": 1.5, "scaleY": 1},
        "short": {"offsetX": 0},
        "NAME": {"offsetX": 1}
    },
    "somethingLater": true
})";
        QVERIFY(put(file(), QByteArray(edited).replace(
                                "NAME",
                                "\\u001b]0;owned\\u0007Label-Printer-with-a-name-far-too-long-"
                                "to-quote")));
        const PrintingSettingsLoad load = loadPrintingSettings(folder());
        QVERIFY(!load.settings.sheetShift);
        QCOMPARE(load.settings.calibrations.size(), std::size_t(1));
        QCOMPARE(load.settings.calibrationFor("good").scaleY, 1.001);
        for (const char* named : {"用紙の位置", "「stretched」", "「short」",
                                  "「\\x1B]0;owned\\x07Label-Printer-with-a-name-far-…（全 "
                                  "57 文字）」"}) {
            QVERIFY2(load.error.contains(QString::fromUtf8(named)), qPrintable(load.error));
        }
        QVERIFY(load.error.contains(QDir::toNativeSeparators(file())));

        QVERIFY(storeCalibration(folder(), "new", {{0, 0.2, 1, 1}, "2025-04-03"}).ok);
        const QByteArray after = contents(file());
        QVERIFY(after.contains("\"stretched\"") && after.contains("1.5") &&
                after.contains("\"somethingLater\": true") && after.contains("\"new\""));
    }

    // A file that is no JSON at all is said at start, in our words with the reader's after
    // them, and kept beside before anything new is written over it.
    void damagedFileIsKeptBeside_data() {
        QTest::addColumn<QByteArray>("damaged");
        QTest::addColumn<QString>("said");
        QTest::newRow("cut short")
            << QByteArray("{\"printers\": {\"a\": {\"offsetX\": 0.4,")
            << "36 バイト目から JSON として読めません（途中で終わっています。"
               "原文: unterminated object）";
        QTest::newRow("a number mistyped")
            << QByteArray("{\"sheetShift\": {\"x\": 2.7e, \"y\": 12.6}}")
            << "JSON として読めません（数の書き方が正しくありません。原文: illegal number）";
    }

    void damagedFileIsKeptBeside() {
        QFETCH(QByteArray, damaged);
        QFETCH(QString, said);
        QVERIFY(QDir().mkpath(folder()));
        QVERIFY(put(file(), damaged));
        const PrintingSettingsLoad load = loadPrintingSettings(folder());
        QVERIFY(load.settings.calibrations.empty());
        QVERIFY2(load.error.contains(said) && load.error.contains("printing.json.damaged"),
                 qPrintable(load.error));
        QVERIFY(rememberSheetShift(folder(), {2.7, 13.6}).ok);
        QCOMPARE(contents(file() + ".damaged"), damaged);
        QCOMPARE(loadPrintingSettings(folder()).settings.shiftOrStartUp(),
                 (SheetOrigin{2.7, 13.6}));
    }

    // A product list printed with no editor open is laid out as a fresh start would be: the
    // user's pattern at the remembered shift.
    void freshStartSheetFollowsTheUser() {
        Layout pattern;
        pattern.makerY = -3;
        const SettingsLocations at{dir_->filePath("program"), folder()};
        QVERIFY(QDir().mkpath(folder()) && put(at.userFile(), settingsBytes(pattern)));
        QVERIFY(rememberSheetShift(folder(), {5.7, 15.6}).ok);
        const SheetState sheet = freshStartSheet(at);
        QCOMPARE(sheet.layout.makerY, std::int16_t(-3));
        QCOMPARE((SheetOrigin{sheet.sheetX, sheet.sheetY}), (SheetOrigin{5.7, 15.6}));
    }

    // What cannot even be read is not written over either.
    void unreadablePathIsLeftAlone() {
        QVERIFY(QDir().mkpath(file()));  // a folder where the file should be
        const PrintingSettingsLoad load = loadPrintingSettings(folder());
        QVERIFY(!load.error.isEmpty() && !load.error.contains(".damaged"));
        const FileResult saved = rememberSheetShift(folder(), {3.7, 12.6});
        QVERIFY(!saved.ok && !saved.error.isEmpty());
        QVERIFY(QFileInfo(file()).isDir() && !QFile::exists(file() + ".damaged"));
        QVERIFY(!storeCalibration({}, "p", {}).ok);  // no settings folder at all
    }
};

QTEST_GUILESS_MAIN(TestPrintingSettings)
#include "tst_printingsettings.moc"
