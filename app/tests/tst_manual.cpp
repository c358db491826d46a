#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "JanEncoder.h"
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

    void formatExampleIsAWholeDataFile() {
        static const QRegularExpression block(
            QStringLiteral("<pre id=\"format-example\">([^<]*)</pre>"));
        const QRegularExpressionMatch m = block.match(manualText());
        QVERIFY(m.hasMatch());
        QStringList lines = m.captured(1).split(QLatin1Char('\n'));
        QCOMPARE(lines.takeLast(), QString());
        QCOMPARE(lines.size(), 32);
        QCOMPARE(lines[0], QStringLiteral("\"ズカロ\""));

        static const QRegularExpression record(
            QStringLiteral("^\" (\\d+)\",\"([^\"]*)\"(,\"[^\"]*\"){5}$"));
        for (int n = 1; n <= 21; ++n) {
            const QRegularExpressionMatch r = record.match(lines[n]);
            QVERIFY2(r.hasMatch(), qPrintable(lines[n]));
            QCOMPARE(r.captured(1).toInt(), n);
            const QString jan = r.captured(2);
            if (!jan.isEmpty()) {
                QCOMPARE(completedJan(jan), jan);
            }
        }
        const QStringList sections{"印字位置調整", "縁取り", "jan",    "BARCODE", "メーカー",
                                   "品名",         "規格",   "ロット", "売価",    "円"};
        for (int i = 0; i < 10; ++i) {
            const QStringList fields = lines[22 + i].split(QLatin1Char(','));
            QCOMPARE(fields.size(), 10);
            QCOMPARE(fields[0], QLatin1Char('"') + sections[i] + QLatin1Char('"'));
        }
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
