#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "SamplePicture.h"
#include "SampleSheet.h"

using namespace zukaro;

// The start screen's picture is a printed sample sheet: a real decoder reads the barcodes
// of every fully shown label, on a plain and on a high-DPI screen.
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
};

QTEST_MAIN(SamplePictureTest)
#include "tst_samplepicture.moc"
