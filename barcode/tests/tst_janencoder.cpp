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
    void checkDigit_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("expected");  // check digit, digits left, result
        const auto row = [](const char* name, const char* code, const char* expected) {
            QTest::newRow(name) << QString(code) << QString(expected);
        };
        row("EAN-13 valid", "4901234567894", "4 490123456789 0");
        row("EAN-13 wrong check", "4901234567890", "4 490123456789 1");
        row("EAN-8 valid", "49123456", "6 4912345 0");
        row("EAN-8 wrong check", "49123450", "6 4912345 1");
        row("12 digits carry none", "490123456789", "4 490123456789 0");
        row("9 digits padded to 12", "123456789", "5 000123456789 0");
        row("7 digits carry none", "4912345", "6 4912345 0");
        row("empty padded to 7", "", "0 0000000 0");
        row("14 characters cut to 12", "49012345678945", "4 490123456789 0");
    }

    void checkDigit() {
        QFETCH(QString, code);
        QFETCH(QString, expected);
        std::string text = code.toStdString();
        std::int16_t digit = -1;
        const int result = Module1::janCheckDigit(text, digit);
        QCOMPARE(QString::asprintf("%d %s %d", digit, text.c_str(), result), expected);
    }

    void helperEdges() {
        // Lower case counts as hexadecimal, anything else as 0; digits outside 1..9 give 0's row.
        const std::string got =
            Module1::hexToParityLetters("0b") + ' ' + Module1::hexToParityLetters("z!") + ' ' +
            Module1::janDigitPatterns(12) + ' ' + Module1::invertModules("0001101");
        QCOMPARE(QString::fromStdString(got), "OOOOEOEE OOOOOOOO 0001101-0100111 1110010");
    }

    void modulePattern_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("painted");  // the result, then the modules
        QFile file(QStringLiteral(FIXTURES "/jan-modules.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        while (!file.atEnd()) {
            const QString line = QString::fromLatin1(file.readLine()).trimmed();
            if (!line.startsWith(u'#')) {
                const QString code = line.section(u' ', 0, 0);
                QTest::newRow(qPrintable(code)) << code << line.section(u' ', 1);
            }
        }
    }

    // Refused codes paint nothing; the scale mode comes back either way.
    void modulePattern() {
        QFETCH(QString, code);
        QFETCH(QString, painted);
        RecordingTarget target(true, {2.4, 2.4});
        target.setScaleMode(ScaleMode::Millimeters);
        QString got =
            QString::number(Module1::drawJanBarcode(target, code.toStdString(), 10, 3, 65, 11));
        got += u' ';
        for (const auto& op : target.ops()) {  // guards are black like every other dark module
            got += op.kind != Kind::FilledBox ? u'?' : op.color == draw::kWhite ? u'0' : u'1';
        }
        QCOMPARE(got.trimmed(), painted);
        QCOMPARE(target.scaleMode(), ScaleMode::Millimeters);
    }

    void moduleGrid_data() {
        QTest::addColumn<ScaleMode>("mode");
        QTest::addColumn<double>("pitch");  // twips per device pixel
        QTest::addColumn<QString>("code");
        QTest::addColumn<double>("x1");
        QTest::addColumn<double>("x2");
        QTest::addColumn<QString>("boxes");  // their scale mode, first left, step, right minus left
        const auto mm = ScaleMode::Millimeters, px = ScaleMode::Pixels, in = ScaleMode::Inches;
        const QString jan13 = QStringLiteral("4901234567894");
        // 55 mm span floor(207.9) = 207 screen pixels (mw 1), 1299 pixels at 600 dpi (mw 11).
        QTest::newRow("55 mm screen") << mm << 15.0 << jan13 << 0.0 << 55.0 << "3 0 1 0";
        QTest::newRow("55 mm 600 dpi") << mm << 2.4 << jan13 << 10.0 << 65.0 << "3 236 11 10";
        // A 203-dpi label printer: 55 mm span 439.6 pixels, 3.89 per module, floored to 3.
        QTest::newRow("55 mm 203 dpi") << mm << 1440.0 / 203 << jan13 << 10.0 << 65.0 << "3 79 3 2";
        QTest::newRow("pixels 2 x 113") << px << 15.0 << jan13 << 4.0 << 230.0 << "3 4 2 1";
        // 27.5 mm span 103 screen pixels: mw 0, so modules of 2750 div 113 = 24 hundredths.
        QTest::newRow("fallback 27.5 mm") << mm << 15.0 << jan13 << 2.0 << 29.5 << "6 2 0.24 0.23";
        // Inches have no pixel rule of their own: 200 div 85 = 2 hundredths.
        QTest::newRow("fallback inches")
            << in << 2.4 << "49123456" << 1.0 << 3.0 << "5 1 0.02 0.01";
    }

    void moduleGrid() {
        QFETCH(ScaleMode, mode);
        QFETCH(double, pitch);
        QFETCH(QString, code);
        QFETCH(double, x1);
        QFETCH(double, x2);
        QFETCH(QString, boxes);
        RecordingTarget target(pitch < 15, {pitch, pitch});
        target.setScaleMode(mode);
        QCOMPARE(Module1::drawJanBarcode(target, code.toStdString(), x1, 0, x2, 8), 0);
        const auto ops = target.opsOf(Kind::FilledBox);
        QCOMPARE(ops.size(), code.size() == 13 ? 113u : 85u);
        const double step = ops[1].x1 - ops[0].x1, inside = ops[0].x2 - ops[0].x1;
        for (std::size_t i = 0; i < ops.size(); ++i) {
            QCOMPARE(ops[i].mode, ops[0].mode);
            QCOMPARE(ops[i].x1, ops[0].x1 + double(i) * step);
            QCOMPARE(ops[i].x2 - ops[i].x1, inside);
        }
        QCOMPARE(QString::asprintf("%d %g %g %g", int(ops[0].mode), ops[0].x1, step, inside),
                 boxes);
        QCOMPARE(target.scaleMode(), mode);
    }
};

QTEST_GUILESS_MAIN(TestJanEncoder)
#include "tst_janencoder.moc"
