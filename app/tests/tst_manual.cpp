#include <QtTest>

#include "BuiltInValues.h"
#include "Cp932.h"
#include "JanCompletion.h"
#include "LabelFile.h"
#include "ManualLocation.h"

using namespace zukaro;

namespace {

QString manualText() {
    QFile file(MANUAL_SOURCE);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

}  // namespace

class ManualTest : public QObject {
    Q_OBJECT

private slots:
    void findsTheManual_data() {
        QTest::addColumn<QStringList>("present");  // files that exist under the root
        QTest::addColumn<QString>("expected");
        const QString installed = "share/zukaro/manual/index.html";
        const QString source = "src/app/manual/index.html";
        QTest::newRow("installed") << QStringList{installed, source} << installed;
        QTest::newRow("build tree") << QStringList{source} << source;
        QTest::newRow("nowhere: where it belongs") << QStringList{} << installed;
        QTest::newRow("a folder is no manual") << QStringList{installed + "/x", source} << source;
    }

    void findsTheManual() {
        QFETCH(QStringList, present);
        QFETCH(QString, expected);
        QTemporaryDir root;
        for (const QString& file : present << "bin/zukaro") {
            QVERIFY(QDir().mkpath(QFileInfo(root.filePath(file)).path()));
            QVERIFY(QFile(root.filePath(file)).open(QIODevice::WriteOnly));
        }
        QCOMPARE(findManual(root.filePath("bin"), installedManualFromProgramDir(),
                            {root.filePath("src/app/manual/index.html")}),
                 root.filePath(expected));
        // This test runs from the build tree, where only the source copy exists.
        QCOMPARE(manualUrl(), QUrl::fromLocalFile(MANUAL_SOURCE));
    }

    // The manual's examples are what the program does: the JAN field's check digits, and a
    // saved sheet byte for byte.
    void examplesAreWhatTheProgramDoes() {
        const QString html = manualText();
        static const QRegularExpression jan(
            "<tr class=\"jan-example\"><td><code>([^<]*)</code></td><td><code>([^<]*)</code>");
        int examples = 0;
        for (const auto& m : jan.globalMatch(html)) {
            ++examples;
            QCOMPARE(completeJanCheckDigit(m.captured(1)), m.captured(2));
        }
        QVERIFY(examples >= 5);

        const auto example =
            QRegularExpression("<pre id=\"format-example\">([^<]*)</pre>").match(html);
        QVERIFY(example.hasMatch());
        const cp932::Encoded file = cp932::encode(example.captured(1).replace("\n", "\r\n"));
        QVERIFY(file.unencodable.empty());
        SheetState sheet, defaults;
        const LabelFileReport report = readLabelData(file.bytes, sheet);
        QVERIFY2(report.opened && !report.anythingSkipped(),
                 qPrintable(report.warnings().join(u'\n')));
        QCOMPARE(labelFileBytes(sheet), file.bytes);
        applyDefaultPattern(defaults);
        QCOMPARE(sheet.layout, defaults.layout);  // as the manual says: the default pattern
        for (int n = 1; n <= kLabelCount; ++n) {
            QCOMPARE(completeJanCheckDigit(sheet.janText[n]), sheet.janText[n]);
        }
    }

    // Every link inside the page leads somewhere, and it needs no network.
    void linksResolveOffline() {
        const QString html = manualText();
        int links = 0;
        for (const auto& m : QRegularExpression("href=\"#([^\"]+)\"").globalMatch(html)) {
            ++links;
            QVERIFY2(html.contains("id=\"" + m.captured(1) + '"'), qPrintable(m.captured(1)));
        }
        QVERIFY(links >= 12);
        QVERIFY(!html.contains("src=\"http") && !html.contains("href=\"http"));
    }
};

QTEST_MAIN(ManualTest)
#include "tst_manual.moc"
