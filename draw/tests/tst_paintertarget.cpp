// The QPainter target: unit conversion, whole-pixel boxes without antialiasing, text placed
// by its top-left corner, and the Windows face names mapped to installed fonts.
#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QTest>

#include "FontNames.h"
#include "PainterTarget.h"

using namespace zukaro::draw;

namespace {

QImage whiteImage(int w, int h, int dpi) {
    QImage image(w, h, QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    return image;
}

// Bounding box of the pixels that are not white.
QRect inkBounds(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

}  // namespace

class TestPainterTarget : public QObject {
    Q_OBJECT

private slots:
    void faceNames_data();
    void faceNames();
    void mappedFacesAreInstalled();
    void filledBoxCoversInclusivePixels_data();
    void filledBoxCoversInclusivePixels();
    void boxesHaveNoAntialiasing();
    void outlineUsesLineWidth();
    void textTopLeftAtCurrentPosition();
    void printerPitchFollowsResolution();
};

void TestPainterTarget::faceNames_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("installed");
    QTest::newRow("MS Mincho, Japanese") << QStringLiteral("ＭＳ 明朝") << "IPAMincho";
    QTest::newRow("MS PMincho") << QStringLiteral("ＭＳ Ｐ明朝") << "IPAPMincho";
    QTest::newRow("MS Gothic") << QStringLiteral("ＭＳ ゴシック") << "IPAGothic";
    QTest::newRow("MS PGothic") << QStringLiteral("ＭＳ Ｐゴシック") << "IPAPGothic";
    QTest::newRow("English name") << "MS Mincho"
                                  << "IPAMincho";
    QTest::newRow("half-width MS is another name") << QStringLiteral("MS 明朝")
                                                   << QStringLiteral("MS 明朝");
    QTest::newRow("installed face unchanged") << "DejaVu Sans"
                                              << "DejaVu Sans";
}

void TestPainterTarget::faceNames() {
    QFETCH(QString, chosen);
    QFETCH(QString, installed);
    QCOMPARE(QString::fromStdString(installedFace(chosen.toStdString())), installed);
}

void TestPainterTarget::mappedFacesAreInstalled() {
    const QStringList families = QFontDatabase::families();
    for (const char* face : {"IPAMincho", "IPAPMincho", "IPAGothic", "IPAPGothic"}) {
        QVERIFY2(families.contains(QLatin1String(face)), face);
    }
    // The fixed-pitch faces must really be fixed-pitch: a space as wide as a Latin letter,
    // a kanji twice as wide.
    QFontMetricsF mincho(QFont(QStringLiteral("IPAMincho"), 20));
    QCOMPARE(mincho.horizontalAdvance(QLatin1Char(' ')), mincho.horizontalAdvance(QLatin1Char('W')));
    QCOMPARE(mincho.horizontalAdvance(QStringLiteral("品")),
             2 * mincho.horizontalAdvance(QLatin1Char(' ')));
}

void TestPainterTarget::filledBoxCoversInclusivePixels_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<double>("x1");
    QTest::addColumn<double>("x2");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("width");
    QTest::newRow("pixels 10..20") << int(ScaleMode::Pixels) << 10.0 << 20.0 << 10 << 11;
    QTest::newRow("pixels reversed") << int(ScaleMode::Pixels) << 20.0 << 10.0 << 10 << 11;
    // 600 dpi: 10 mm = 236.22 px, 20 mm = 472.44 px.
    QTest::newRow("millimetres") << int(ScaleMode::Millimeters) << 10.0 << 20.0 << 236 << 237;
    QTest::newRow("twips") << int(ScaleMode::Twips) << 24.0 << 48.0 << 10 << 11;
    QTest::newRow("inches") << int(ScaleMode::Inches) << 0.5 << 0.6 << 300 << 61;
}

void TestPainterTarget::filledBoxCoversInclusivePixels() {
    QFETCH(int, mode);
    QFETCH(double, x1);
    QFETCH(double, x2);
    QFETCH(int, left);
    QFETCH(int, width);
    QImage image = whiteImage(600, 40, 600);
    {
        QPainter painter(&image);
        PainterTarget target(painter, false);
        const double y2 = 9;
        target.setScaleMode(static_cast<ScaleMode>(mode));
        const double sy = target.pixelsPerUnitY();
        target.fillBox(x1, 0, x2, y2 / sy, kBlack);
    }
    const QRect ink = inkBounds(image);
    QCOMPARE(ink.left(), left);
    QCOMPARE(ink.width(), width);
}

void TestPainterTarget::boxesHaveNoAntialiasing() {
    QImage image = whiteImage(200, 200, 96);
    {
        QPainter painter(&image);
        PainterTarget target(painter, false);
        target.setScaleMode(ScaleMode::Millimeters);
        target.fillBox(1.13, 2.71, 20.37, 9.99, rgb(255, 0, 0));
        target.drawBox(3.3, 20.1, 40.7, 45.9, rgb(0, 0, 255));
    }
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            QVERIFY2(p == qRgb(255, 255, 255) || p == qRgb(255, 0, 0) || p == qRgb(0, 0, 255),
                     qPrintable(QStringLiteral("blended pixel at %1,%2").arg(x).arg(y)));
        }
    }
}

void TestPainterTarget::outlineUsesLineWidth() {
    QImage image = whiteImage(100, 100, 96);
    {
        QPainter painter(&image);
        PainterTarget target(painter, false);
        target.setScaleMode(ScaleMode::Pixels);
        target.setLineWidth(5);
        target.drawBox(10, 10, 60, 60, kBlack);
    }
    QCOMPARE(inkBounds(image), QRect(10, 10, 51, 51));
    QCOMPARE(image.pixel(14, 30), qRgb(0, 0, 0));
    QCOMPARE(image.pixel(15, 30), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(35, 35), qRgb(255, 255, 255));
}

void TestPainterTarget::textTopLeftAtCurrentPosition() {
    // A full-width block fills its cell: its ink starts just right of and below the anchor.
    QImage image = whiteImage(800, 400, 300);
    double nextLine = 0;
    {
        QPainter painter(&image);
        PainterTarget target(painter, false);
        target.setScaleMode(ScaleMode::Millimeters);
        target.setFontName("ＭＳ 明朝");
        target.setFontSize(36);
        target.setCurrentPosition(10, 5);
        target.printText("■");
        nextLine = target.currentY();
        QCOMPARE(target.currentX(), 0.0);
    }
    const double pxPerMm = 300 / 25.4;
    const QRect ink = inkBounds(image);
    QVERIFY(!ink.isEmpty());
    const double em = 36.0 / 72 * 300;  // 150 px
    QVERIFY2(ink.left() >= qFloor(10 * pxPerMm) && ink.left() < 10 * pxPerMm + em * 0.15,
             qPrintable(QString::number(ink.left())));
    QVERIFY2(ink.top() >= qFloor(5 * pxPerMm) && ink.top() < 5 * pxPerMm + em * 0.3,
             qPrintable(QString::number(ink.top())));
    // The next line starts one line height further down.
    QVERIFY(nextLine > 5 + 36 * 25.4 / 72 && nextLine < 5 + 2 * 36 * 25.4 / 72);
}

void TestPainterTarget::printerPitchFollowsResolution() {
    QImage image = whiteImage(10, 10, 600);
    QPainter painter(&image);
    PainterTarget target(painter, true);
    QVERIFY(target.isPrinter());
    QCOMPARE(target.printerTwipsPerPixel().x, 2.4);
    QCOMPARE(target.screenTwipsPerPixel().y, 2.4);
}

QTEST_MAIN(TestPainterTarget)
#include "tst_paintertarget.moc"
