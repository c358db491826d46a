#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "BuiltInValues.h"
#include "Cp932.h"
#include "JanEncoder.h"
#include "LabelFile.h"
#include "ManualLocation.h"

using namespace zukaro;

namespace {

QString manualText() {
    QFile file(QStringLiteral(MANUAL_SOURCE));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

void touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

// What the JAN field stores on leaving it: 13 or 8 characters get their last one replaced by
// the computed check digit; other lengths stay as typed.
QString completedJan(const QString& typed) {
    if (typed.size() != 13 && typed.size() != 8) {
        return typed;
    }
    std::string data = typed.toStdString();
    std::int16_t check = 0;
    Module1::janCheckDigit(data, check);
    return typed.left(typed.size() - 1) + QString::number(check);
}

}  // namespace

class ManualTest : public QObject {
    Q_OBJECT

private slots:
    void findsTheManual_data() {
        QTest::addColumn<QStringList>("present");  // files that exist, under the temp dir
        QTest::addColumn<QString>("expected");

        const QString installed = QStringLiteral("share/zukaro/manual/index.html");
        const QString source = QStringLiteral("src/app/manual/index.html");
        QTest::newRow("installed") << QStringList{installed, source} << installed;
        QTest::newRow("build tree") << QStringList{source} << source;
        QTest::newRow("nowhere: where it belongs") << QStringList{} << installed;
        QTest::newRow("a folder is no manual")
            << QStringList{installed + QStringLiteral("/x"), source} << source;
    }

    void findsTheManual() {
        QFETCH(QStringList, present);
        QFETCH(QString, expected);
        QTemporaryDir root;
        QVERIFY(root.isValid());
        for (const QString& file : present) {
            touch(root.filePath(file));
        }
        QVERIFY(QDir().mkpath(root.filePath(QStringLiteral("bin"))));

        const QString found =
            findManual(root.filePath(QStringLiteral("bin")), installedManualFromProgramDir(),
                       {root.filePath(QStringLiteral("src/app/manual/index.html"))});
        QCOMPARE(found, root.filePath(expected));
    }

    // This test program runs from the build tree, where only the source copy exists.
    void buildTreeUsesTheSourceManual() {
        const QUrl url = manualUrl();
        QVERIFY(url.isLocalFile());
        QCOMPARE(url.toLocalFile(), QStringLiteral(MANUAL_SOURCE));
    }

    void checkDigitExamplesAreRight() {
        static const QRegularExpression row(QStringLiteral(
            "<tr class=\"jan-example\"><td><code>([^<]*)</code></td><td><code>([^<]*)</code>"));
        int examples = 0;
        for (const auto& m : row.globalMatch(manualText())) {
            ++examples;
            QCOMPARE(m.captured(2), completedJan(m.captured(1)));
        }
        QVERIFY(examples >= 5);
    }

    // The example is byte for byte what the program writes for that sheet: it reads back
    // cleanly, holds the default pattern, and is written out unchanged.
    void formatExampleIsWhatTheProgramWrites() {
        static const QRegularExpression block(
            QStringLiteral("<pre id=\"format-example\">([^<]*)</pre>"));
        const QRegularExpressionMatch m = block.match(manualText());
        QVERIFY(m.hasMatch());
        const cp932::Encoded file =
            cp932::encode(m.captured(1).replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
        QVERIFY(file.unencodable.empty());
        QCOMPARE(file.bytes.count("\r\n"), 32);

        SheetState sheet;
        const LabelFileReport report = readLabelData(file.bytes, sheet);
        QVERIFY(report.opened);
        QVERIFY2(!report.anythingSkipped(), qPrintable(report.warnings().join(u'\n')));
        QCOMPARE(labelFileBytes(sheet), file.bytes);

        SheetState defaults;
        applyDefaultPattern(defaults);
        QCOMPARE(sheet.layout, defaults.layout);
        QCOMPARE(sheet.label(2).product, QStringLiteral("のむヨーグルト"));
        for (int n = 1; n <= kLabelCount; ++n) {
            QCOMPARE(completedJan(sheet.janText[n]), sheet.janText[n]);
        }
        QVERIFY(sheet.label(3).isBlank());
    }

    // Every link inside the page leads somewhere, and it needs no network.
    void linksResolveOffline() {
        const QString html = manualText();
        static const QRegularExpression href(QStringLiteral("href=\"#([^\"]+)\""));
        int links = 0;
        for (const auto& m : href.globalMatch(html)) {
            ++links;
            QVERIFY2(html.contains(QStringLiteral("id=\"%1\"").arg(m.captured(1))),
                     qPrintable(m.captured(1)));
        }
        QVERIFY(links >= 12);
        QVERIFY(!html.contains(QStringLiteral("src=\"http")));
        QVERIFY(!html.contains(QStringLiteral("href=\"http")));
    }
};

QTEST_MAIN(ManualTest)
#include "tst_manual.moc"
