#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "LabelFile.h"
#include "LabelLayout.h"
#include "SamplePicture.h"
#include "SampleSheet.h"
#include "SettingsFile.h"

using namespace zukaro;

// The start screen's picture is a printed sample sheet: a real decoder reads the barcodes
// of every fully shown label, on a plain and on a high-DPI screen. The sample sheet is a new
// user's first sheet and prints clean.
class SamplePictureTest : public QObject {
    Q_OBJECT

private slots:
    void barcodesScan_data() {
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<int>("labels");  // labels 1..n must scan
        QTest::newRow("96 dpi") << 1.0 << 9;
        QTest::newRow("high DPI") << 2.0 << 12;
    }

    void barcodesScan() {
        QFETCH(qreal, ratio);
        QFETCH(int, labels);
        const QPixmap picture = samplePicture(QSize(639, 423), ratio);  // inside Picture1's frame
        QVERIFY(picture.size() == QSize(639, 423) * ratio && picture.devicePixelRatio() == ratio);
        QTemporaryDir dir;
        QVERIFY(picture.save(dir.filePath("picture.png")));
        QProcess zbar;
        zbar.start(ZBARIMG, {"--raw", "-q", dir.filePath("picture.png")});
        QVERIFY(zbar.waitForFinished(60000));
        const QStringList scanned = QString::fromLatin1(zbar.readAllStandardOutput()).split(u'\n');
        for (int n = 1; n <= labels; ++n) {
            QVERIFY2(scanned.contains(sampleSheet().janText[n]), qPrintable(QString::number(n)));
        }
    }

    // No text over another or off its label: the picture's sheet, docs/sample-sheet.csv as
    // opened, and the sample's labels typed at the first start (no data.txt).
    void sampleSheetPrintsClean_data() {
        QTest::addColumn<QString>("source");
        QTest::newRow("start screen") << "picture";
        QTest::newRow("docs/sample-sheet.csv") << "file";
        QTest::newRow("typed at the first start") << "first start";
    }

    void sampleSheetPrintsClean() {
        QFETCH(QString, source);
        SheetState sheet = sampleSheet();
        if (source == "file") {
            QVERIFY(readLabelFile(SAMPLE_SHEET, sheet).opened);
        } else if (source == "first start") {
            QTemporaryDir empty;
            sheet.layout = loadSettings({empty.path(), empty.filePath("config")}).layout;
        }
        const QStringList told = reportLines(checkSheet(sheet));
        QVERIFY2(told.isEmpty(), qPrintable(told.join(u'\n')));
    }
};

QTEST_MAIN(SamplePictureTest)
#include "tst_samplepicture.moc"
