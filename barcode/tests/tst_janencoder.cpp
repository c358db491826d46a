// The encoder against the EAN-13 tables of the standard and the painting rules, on the
// recording target.
#include <QFile>
#include <QTest>

#include "JanEncoder.h"
#include "RecordingTarget.h"

using namespace zukaro;
using draw::RecordingTarget;
using draw::ScaleMode;
using Kind = RecordingTarget::Kind;

Q_DECLARE_METATYPE(ScaleMode)

class TestJanEncoder : public QObject {
    Q_OBJECT

private slots:
    void checkDigit_data();
    void checkDigit();
    void helperEdges();
    void modulePattern_data();
    void modulePattern();
    void refusedCodesPaintNothing_data();
    void refusedCodesPaintNothing();
    void moduleGrid_data();
    void moduleGrid();
};

void TestJanEncoder::checkDigit_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("check");
    QTest::addColumn<QString>("data");
    QTest::addColumn<int>("result");
    QTest::newRow("EAN-13 valid") << "4901234567894" << 4 << "490123456789" << 0;
    QTest::newRow("EAN-13 wrong check") << "4901234567890" << 4 << "490123456789" << 1;
    QTest::newRow("EAN-8 valid") << "49123456" << 6 << "4912345" << 0;
    QTest::newRow("EAN-8 wrong check") << "49123450" << 6 << "4912345" << 1;
    QTest::newRow("12 digits carry none") << "490123456789" << 4 << "490123456789" << 0;
    QTest::newRow("9 digits padded to 12") << "123456789" << 5 << "000123456789" << 0;
    QTest::newRow("7 digits carry none") << "4912345" << 6 << "4912345" << 0;
    QTest::newRow("empty padded to 7") << "" << 0 << "0000000" << 0;
    QTest::newRow("14 characters cut to 12") << "49012345678945" << 4 << "490123456789" << 0;
}

void TestJanEncoder::checkDigit() {
    QFETCH(QString, code);
    QFETCH(int, check);
    QFETCH(QString, data);
    QFETCH(int, result);
    std::string text = code.toStdString();
    std::int16_t digit = -1;
    QCOMPARE(Module1::janCheckDigit(text, digit), result);
    QCOMPARE(QString::fromStdString(text), data);
    QCOMPARE(int(digit), check);
}

void TestJanEncoder::helperEdges() {
    // Lower case counts as hexadecimal, anything else as 0; digits outside 1..9 give 0's row.
    QCOMPARE(Module1::hexToParityLetters("0b"), std::string("OOOOEOEE"));
    QCOMPARE(Module1::hexToParityLetters("z!"), std::string("OOOOOOOO"));
    QCOMPARE(Module1::janDigitPatterns(12), std::string("0001101-0100111"));
    QCOMPARE(Module1::invertModules("0001101"), std::string("1110010"));
}

void TestJanEncoder::modulePattern_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("modules");
    QFile file(QStringLiteral(FIXTURES "/jan-modules.txt"));
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    while (!file.atEnd()) {
        const QStringList row = QString::fromLatin1(file.readLine()).split(u' ');
        if (!row[0].startsWith(u'#')) {
            QTest::newRow(qPrintable(row[0])) << row[0] << row[1].trimmed();
        }
    }
}

void TestJanEncoder::modulePattern() {
    QFETCH(QString, code);
    QFETCH(QString, modules);
    RecordingTarget target(true, {2.4, 2.4});
    target.setScaleMode(ScaleMode::Millimeters);
    QCOMPARE(Module1::drawJanBarcode(target, code.toStdString(), 10, 3, 65, 11), 0);
    QString painted;  // guards are black like every other dark module
    for (const auto& op : target.opsOf(Kind::FilledBox)) {
        painted += op.color == draw::kWhite ? u'0' : u'1';
    }
    QCOMPARE(painted, modules);
}

void TestJanEncoder::refusedCodesPaintNothing_data() {
    QTest::addColumn<QString>("code");
    QTest::newRow("wrong check digit") << "4901234567890";
    QTest::newRow("letter") << "49012345678A4";
}

void TestJanEncoder::refusedCodesPaintNothing() {
    QFETCH(QString, code);
    RecordingTarget target(true, {2.4, 2.4});
    target.setScaleMode(ScaleMode::Millimeters);
    QCOMPARE(Module1::drawJanBarcode(target, code.toStdString(), 10, 3, 65, 11), 1);
    QVERIFY(target.ops().empty());
    QCOMPARE(target.scaleMode(), ScaleMode::Millimeters);
}

void TestJanEncoder::moduleGrid_data() {
    QTest::addColumn<ScaleMode>("mode");
    QTest::addColumn<double>("pitch");  // twips per device pixel
    QTest::addColumn<QString>("code");
    QTest::addColumn<double>("x1");
    QTest::addColumn<double>("x2");
    QTest::addColumn<ScaleMode>("boxMode");
    QTest::addColumn<double>("left");    // first module, in boxMode units
    QTest::addColumn<double>("step");    // module width
    QTest::addColumn<double>("inside");  // right corner minus left corner of each box
    const auto mm = ScaleMode::Millimeters, px = ScaleMode::Pixels, in = ScaleMode::Inches;
    const QString jan13 = QStringLiteral("4901234567894");
    // 55 mm span floor(207.9) = 207 screen pixels (mw 1), 1299 pixels at 600 dpi (mw 11).
    QTest::newRow("55 mm screen") << mm << 15.0 << jan13 << 0.0 << 55.0 << px << 0.0 << 1.0 << 0.0;
    QTest::newRow("55 mm 600 dpi")
        << mm << 2.4 << jan13 << 10.0 << 65.0 << px << 236.0 << 11.0 << 10.0;
    QTest::newRow("pixels 2 x 113")
        << px << 15.0 << jan13 << 4.0 << 230.0 << px << 4.0 << 2.0 << 1.0;
    // 27.5 mm span 103 screen pixels: mw 0, so modules of 2750 div 113 = 24 hundredths.
    QTest::newRow("fallback 27.5 mm")
        << mm << 15.0 << jan13 << 2.0 << 29.5 << mm << 2.0 << 0.24 << 0.23;
    // Inches have no pixel rule of their own: 200 div 85 = 2 hundredths.
    QTest::newRow("fallback inches")
        << in << 2.4 << "49123456" << 1.0 << 3.0 << in << 1.0 << 0.02 << 0.01;
}

void TestJanEncoder::moduleGrid() {
    QFETCH(ScaleMode, mode);
    QFETCH(double, pitch);
    QFETCH(QString, code);
    QFETCH(double, x1);
    QFETCH(double, x2);
    QFETCH(ScaleMode, boxMode);
    QFETCH(double, left);
    QFETCH(double, step);
    QFETCH(double, inside);
    RecordingTarget target(pitch < 15, {pitch, pitch});
    target.setScaleMode(mode);
    QCOMPARE(Module1::drawJanBarcode(target, code.toStdString(), x1, 0, x2, 8), 0);
    const auto boxes = target.opsOf(Kind::FilledBox);
    QCOMPARE(boxes.size(), code.size() == 13 ? 113u : 85u);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        QCOMPARE(boxes[i].mode, boxMode);
        QCOMPARE(boxes[i].x1, left + double(i) * step);
        QCOMPARE(boxes[i].x2 - boxes[i].x1, inside);
    }
    QCOMPARE(target.scaleMode(), mode);
}

QTEST_GUILESS_MAIN(TestJanEncoder)
#include "tst_janencoder.moc"
