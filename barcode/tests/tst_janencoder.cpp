// The encoder against the EAN-13 tables of the standard and the painting rules, on the
// recording target.
#include <QTest>

#include "JanEncoder.h"
#include "RecordingTarget.h"

using namespace zukaro;
using draw::RecordingTarget;
using draw::ScaleMode;
using Kind = RecordingTarget::Kind;

Q_DECLARE_METATYPE(ScaleMode)

namespace {

// The module pattern as painted: '0' for a white box, '1' for a black one.
QString paintedModules(const RecordingTarget& target) {
    QString out;
    for (const auto& op : target.opsOf(Kind::FilledBox)) {
        out += op.color == draw::kWhite ? QLatin1Char('0') : QLatin1Char('1');
    }
    return out;
}

QString joined(std::initializer_list<const char*> pieces) {
    QString out;
    for (const char* p : pieces) {
        out += QLatin1String(p);
    }
    return out;
}

const QString kQuiet = QStringLiteral("000000000");  // quiet zone and the light module before a guard
const QString kGuard = QStringLiteral("101");
const QString kCentre = QStringLiteral("01010");

}  // namespace

class TestJanEncoder : public QObject {
    Q_OBJECT

private slots:
    void checkDigit_data();
    void checkDigit();
    void parityPatterns_data();
    void parityPatterns();
    void helpers();
    void modulePattern_data();
    void modulePattern();
    void refusedCodesPaintNothing_data();
    void refusedCodesPaintNothing();
    void moduleWidth_data();
    void moduleWidth();
    void fallbackInTargetUnits();
    void scaleModeRestored_data();
    void scaleModeRestored();
};

void TestJanEncoder::checkDigit_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("data");
    QTest::addColumn<int>("check");
    QTest::addColumn<int>("result");

    QTest::newRow("EAN-13 valid") << "4901234567894" << "490123456789" << 4 << 0;
    QTest::newRow("EAN-13 wrong check") << "4901234567890" << "490123456789" << 4 << 1;
    QTest::newRow("EAN-13 GS1 example") << "6291041500213" << "629104150021" << 3 << 0;
    QTest::newRow("EAN-13 ISBN-like") << "4006381333931" << "400638133393" << 1 << 0;
    QTest::newRow("EAN-8 valid") << "49123456" << "4912345" << 6 << 0;
    QTest::newRow("EAN-8 wrong check") << "49123450" << "4912345" << 6 << 1;
    QTest::newRow("EAN-8 example") << "96385074" << "9638507" << 4 << 0;
    QTest::newRow("12 digits carry none") << "490123456789" << "490123456789" << 4 << 0;
    QTest::newRow("9 digits padded to 12") << "123456789" << "000123456789" << 5 << 0;
    QTest::newRow("7 digits carry none") << "4912345" << "4912345" << 6 << 0;
    QTest::newRow("short padded to 7") << "12" << "0000012" << 3 << 0;
    QTest::newRow("empty") << "" << "0000000" << 0 << 0;
    QTest::newRow("14 characters cut to 12") << "49012345678945" << "490123456789" << 4 << 0;
    QTest::newRow("letters count as 0") << "ABCDEFGHIJKL9" << "ABCDEFGHIJKL" << 0 << 1;
}

void TestJanEncoder::checkDigit() {
    QFETCH(QString, code);
    QFETCH(QString, data);
    QFETCH(int, check);
    QFETCH(int, result);

    std::string text = code.toStdString();
    std::int16_t digit = -1;
    QCOMPARE(Module1::janCheckDigit(text, digit), result);
    QCOMPARE(QString::fromStdString(text), data);
    QCOMPARE(int(digit), check);
}

void TestJanEncoder::parityPatterns_data() {
    QTest::addColumn<int>("leading");
    QTest::addColumn<QString>("pattern");
    // First-digit parity table of EAN-13, O = set A, E = set B.
    const char* table[] = {"OOOOOO", "OOEOEE", "OOEEOE", "OOEEEO", "OEOOEE",
                           "OEEOOE", "OEEEOO", "OEOEOE", "OEOEEO", "OEEOEO"};
    for (int d = 0; d < 10; ++d) {
        QTest::addRow("leading %d", d) << d << QString::fromLatin1(table[d]);
    }
}

void TestJanEncoder::parityPatterns() {
    QFETCH(int, leading);
    QFETCH(QString, pattern);
    QCOMPARE(QString::fromStdString(Module1::janParityPattern(leading)), pattern);
}

void TestJanEncoder::helpers() {
    QCOMPARE(Module1::invertModules("0001101"), std::string("1110010"));
    QCOMPARE(Module1::hexToParityLetters("0b"), std::string("OOOOEOEE"));
    QCOMPARE(Module1::hexToParityLetters("1A"), std::string("OOOEEOEO"));
    QCOMPARE(Module1::hexToParityLetters("z!"), std::string("OOOOOOOO"));
    QCOMPARE(Module1::janDigitPatterns(7), std::string("0111011-0010001"));
    QCOMPARE(Module1::janDigitPatterns(0), std::string("0001101-0100111"));
    QCOMPARE(Module1::janDigitPatterns(12), std::string("0001101-0100111"));
}

void TestJanEncoder::modulePattern_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("modules");

    // Set A/B/C codes written out from the standard's table; guards are painted black.
    // 4 901234 567894: parity OEOOEE -> 9A 0B 1A 2A 3B 4B | 5C 6C 7C 8C 9C 4C
    QTest::newRow("4901234567894")
        << "4901234567894"
        << kQuiet + kGuard +
               joined({"0001011", "0100111", "0011001", "0010011", "0100001", "0011101"}) +
               kCentre +
               joined({"1001110", "1010000", "1000100", "1001000", "1110100", "1011100"}) +
               kGuard + kQuiet;
    // Leading 0: every left digit in set A. 0 123456 789012
    QTest::newRow("leading 0")
        << "0123456789012"
        << kQuiet + kGuard +
               joined({"0011001", "0010011", "0111101", "0100011", "0110001", "0101111"}) +
               kCentre +
               joined({"1000100", "1001000", "1110100", "1110010", "1100110", "1101100"}) +
               kGuard + kQuiet;
    // 12 digits: the computed check digit 4 is appended.
    QTest::newRow("12 digits") << "490123456789"
                               << kQuiet + kGuard +
                                      joined({"0001011", "0100111", "0011001", "0010011",
                                              "0100001", "0011101"}) +
                                      kCentre +
                                      joined({"1001110", "1010000", "1000100", "1001000",
                                              "1110100", "1011100"}) +
                                      kGuard + kQuiet;
    // EAN-8: four set A digits, four set C digits.
    QTest::newRow("49123456") << "49123456"
                              << kQuiet + kGuard +
                                     joined({"0100011", "0001011", "0011001", "0010011"}) +
                                     kCentre +
                                     joined({"1000010", "1011100", "1001110", "1010000"}) +
                                     kGuard + kQuiet;
    QTest::newRow("7 digits") << "4912345"
                              << kQuiet + kGuard +
                                     joined({"0100011", "0001011", "0011001", "0010011"}) +
                                     kCentre +
                                     joined({"1000010", "1011100", "1001110", "1010000"}) +
                                     kGuard + kQuiet;
}

void TestJanEncoder::modulePattern() {
    QFETCH(QString, code);
    QFETCH(QString, modules);

    RecordingTarget target(true, {2.4, 2.4});
    target.setScaleMode(ScaleMode::Millimeters);
    QCOMPARE(Module1::drawJanBarcode(target, code.toStdString(), 10, 3, 65, 11), 0);
    QCOMPARE(paintedModules(target), modules);
    QCOMPARE(modules.size(), code.size() > 8 ? 113 : 85);
}

void TestJanEncoder::refusedCodesPaintNothing_data() {
    QTest::addColumn<QString>("code");
    QTest::newRow("wrong check digit") << "4901234567890";
    QTest::newRow("wrong EAN-8 check digit") << "49123450";
    QTest::newRow("letter") << "49012345678A4";
    QTest::newRow("full-width digits") << QStringLiteral("４９０１２３４５６７８９４");
    QTest::newRow("blank inside") << "4901234 67894";
}

void TestJanEncoder::refusedCodesPaintNothing() {
    QFETCH(QString, code);
    RecordingTarget target(true, {2.4, 2.4});
    target.setScaleMode(ScaleMode::Millimeters);
    QCOMPARE(Module1::drawJanBarcode(target, code.toStdString(), 10, 3, 65, 11), 1);
    QVERIFY(target.ops().empty());
    QCOMPARE(target.scaleMode(), ScaleMode::Millimeters);
}

void TestJanEncoder::moduleWidth_data() {
    QTest::addColumn<ScaleMode>("mode");
    QTest::addColumn<double>("pitch");  // twips per pixel
    QTest::addColumn<double>("x1");
    QTest::addColumn<double>("x2");
    QTest::addColumn<int>("left");  // first module's left pixel
    QTest::addColumn<int>("mw");

    // 55 mm on a 96-dpi screen span floor(207.9) = 207 pixels: one pixel per module.
    QTest::newRow("55 mm screen") << ScaleMode::Millimeters << 15.0 << 0.0 << 55.0 << 0 << 1;
    // 55 mm on a 600-dpi printer span 1299 pixels: 11 pixels per module.
    QTest::newRow("55 mm 600 dpi") << ScaleMode::Millimeters << 2.4 << 10.0 << 65.0 << 236 << 11;
    QTest::newRow("203 dpi") << ScaleMode::Millimeters << 1440.0 / 203 << 10.0 << 65.0 << 79 << 3;
    // Exactly 2 x 113 pixels wide: no remainder.
    QTest::newRow("pixels k*N") << ScaleMode::Pixels << 15.0 << 4.0 << 230.0 << 4 << 2;
    QTest::newRow("twips") << ScaleMode::Twips << 15.0 << 150.0 << 3540.0 << 10 << 2;
    QTest::newRow("points") << ScaleMode::Points << 2.4 << 0.0 << 156.0 << 0 << 11;
    QTest::newRow("centimetres") << ScaleMode::Centimeters << 2.4 << 1.0 << 6.5 << 236 << 11;
    QTest::newRow("characters") << ScaleMode::Characters << 2.4 << 0.0 << 26.0 << 0 << 11;
}

void TestJanEncoder::moduleWidth() {
    QFETCH(ScaleMode, mode);
    QFETCH(double, pitch);
    QFETCH(double, x1);
    QFETCH(double, x2);
    QFETCH(int, left);
    QFETCH(int, mw);

    RecordingTarget target(true, {pitch, pitch});
    target.setScaleMode(mode);
    QCOMPARE(Module1::drawJanBarcode(target, "4901234567894", x1, 0, x2, 8), 0);
    const auto boxes = target.opsOf(Kind::FilledBox);
    QCOMPARE(boxes.size(), std::size_t(113));
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const auto& box = boxes[i];
        QCOMPARE(box.mode, ScaleMode::Pixels);
        QCOMPARE(box.x1, double(left + int(i) * mw));
        // Corners are inclusive: mw - 1 further right covers exactly mw columns.
        QCOMPARE(box.x2 - box.x1, double(mw - 1));
    }
    QCOMPARE(target.scaleMode(), mode);
}

void TestJanEncoder::fallbackInTargetUnits() {
    // 27.5 mm on a 96-dpi screen span 103 pixels, fewer than 113 modules: the modules are
    // painted in millimetres, 2750 div 113 = 24 hundredths wide.
    RecordingTarget target(false, {15, 15});
    target.setScaleMode(ScaleMode::Millimeters);
    QCOMPARE(Module1::drawJanBarcode(target, "4901234567894", 2.0, 3.0, 29.5, 11.0), 0);
    const auto boxes = target.opsOf(Kind::FilledBox);
    QCOMPARE(boxes.size(), std::size_t(113));
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        QCOMPARE(boxes[i].mode, ScaleMode::Millimeters);
        QVERIFY(qFuzzyCompare(boxes[i].x1, 2.0 + 0.24 * double(i)));
        QVERIFY(qFuzzyCompare(boxes[i].x2 - boxes[i].x1, 0.23));
        QCOMPARE(boxes[i].y1, 3.0);
        QCOMPARE(boxes[i].y2, 11.0);
    }

    // Inches have no pixel rule of their own and always take this path.
    RecordingTarget inches(true, {2.4, 2.4});
    inches.setScaleMode(ScaleMode::Inches);
    QCOMPARE(Module1::drawJanBarcode(inches, "49123456", 0.0, 0.0, 2.0, 0.3), 0);
    const auto shortBoxes = inches.opsOf(Kind::FilledBox);
    QCOMPARE(shortBoxes.size(), std::size_t(85));
    QCOMPARE(shortBoxes.front().mode, ScaleMode::Inches);
    QVERIFY(qFuzzyCompare(shortBoxes[1].x1, 0.02));  // 200 div 85 = 2 hundredths
}

void TestJanEncoder::scaleModeRestored_data() {
    QTest::addColumn<ScaleMode>("mode");
    QTest::addColumn<QString>("code");
    const std::pair<ScaleMode, const char*> modes[] = {
        {ScaleMode::User, "user"},           {ScaleMode::Twips, "twips"},
        {ScaleMode::Points, "points"},       {ScaleMode::Pixels, "pixels"},
        {ScaleMode::Characters, "chars"},    {ScaleMode::Inches, "inches"},
        {ScaleMode::Millimeters, "mm"},      {ScaleMode::Centimeters, "cm"}};
    for (const auto& [mode, name] : modes) {
        QTest::addRow("%s painted", name) << mode << "4901234567894";
        QTest::addRow("%s refused", name) << mode << "4901234567890";
    }
}

void TestJanEncoder::scaleModeRestored() {
    QFETCH(ScaleMode, mode);
    QFETCH(QString, code);
    RecordingTarget target(false, {15, 15});
    target.setScaleMode(mode);
    Module1::drawJanBarcode(target, code.toStdString(), 1, 1, 3, 2);
    QCOMPARE(target.scaleMode(), mode);
    Module1::drawJanBarcode(target, code.toStdString(), 100, 100, 3000, 500);
    QCOMPARE(target.scaleMode(), mode);
}

QTEST_GUILESS_MAIN(TestJanEncoder)
#include "tst_janencoder.moc"
