#include <QTest>

#include "FieldReader.h"
#include "NumberText.h"

using namespace zukaro;

namespace {

// Every field as "kind:text" joined by '|' (Q quoted, T text, N number, B Boolean).
QString readAll(const QString& text) {
    FieldReader reader(text);
    QStringList out;
    while (!reader.atEnd()) {
        const Field f = reader.next();
        const bool number = f.kind == Field::Kind::Number;
        const QString kind = number                           ? u"N:"_qs
                             : f.kind == Field::Kind::Boolean ? u"B:"_qs
                             : f.quoted                       ? u"Q:"_qs
                                                              : u"T:"_qs;
        out << kind + (number ? QString::number(f.number) : f.toText().value_or(u"?"_qs));
    }
    return out.join(u'|') + (reader.next().isMissing() ? QString() : u"|more"_qs);
}

}  // namespace

class TestFields : public QObject {
    Q_OBJECT

private slots:
    void reader_data();
    void reader();
    void leadingNumber_data();
    void leadingNumber();
    void conversions_data();
    void conversions();
};

void TestFields::reader_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("fields");
    const auto row = [](const char* name, const QString& text, const QString& fields) {
        QTest::newRow(name) << text << fields;
    };
    row("CR-only line ends", u"\"a\",1\r\"b\"\r"_qs, u"Q:a|N:1|Q:b"_qs);
    row("comma before line end", u"\"a\",\r\n\"b\""_qs, u"Q:a|T:|Q:b"_qs);
    row("two commas", u"1,,2"_qs, u"N:1|T:|N:2"_qs);
    row("comma at the end", u"#true#,"_qs, u"B:True|T:"_qs);
    row("blanks around unquoted", u"  12 ,\t#FALSE# , abc def \r\n"_qs,
        u"N:12|B:False|T:abc def"_qs);
    row("blanks inside quotes", u" \" 1 \" "_qs, u"Q: 1 "_qs);
    row("full-width space kept", u"　株式会社　"_qs, u"T:　株式会社　"_qs);
    row("numbers", u"+5,1.5,-0.25,2E3,7d1,.5"_qs, u"N:5|N:1.5|N:-0.25|N:2000|N:70|N:0.5"_qs);
    row("not numbers", u"5x,0x10,1.2.3,-,E5"_qs, u"T:5x|T:0x10|T:1.2.3|T:-|T:E5"_qs);
    row("only line ends", u"\r\n\r\n\n"_qs, QString());
}

void TestFields::reader() {
    QFETCH(QString, text);
    QFETCH(QString, fields);
    QCOMPARE(readAll(text), fields);
}

void TestFields::leadingNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("negative") << u"-3"_qs << -3.0;
    QTest::newRow("exponent") << u"2e1x"_qs << 20.0;
    QTest::newRow("E without digits") << u"3E"_qs << 3.0;
    QTest::newRow("full-width digits") << u"１２"_qs << 0.0;
    QTest::newRow("blank inside stops") << u"1 2"_qs << 1.0;
}

void TestFields::leadingNumber() {
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(zukaro::leadingNumber(text), value);
}

void TestFields::conversions_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("asText");  // "-" for nothing
    QTest::addColumn<QString>("asInts");  // 16-bit and 32-bit, "-" for nothing
    const auto row = [](const char* name, const QString& field, const QString& text,
                        const QString& ints) { QTest::newRow(name) << field << text << ints; };
    row("negative half to even", "-4.5", "-4.5", "-4 -4");
    row("32-bit bottom", "-2147483648", "-2147483648", "- -2147483648");
    row("20 digits kept", "12345678901234567890", "12345678901234567890", "- -");
    row("leading zeros and plus", "+007", "7", "7 7");
    row("minus zero", "-0", "0", "0 0");
    row("shortest fraction", "1.50", "1.5", "2 2");
    row("big exponent", "1e20", "1E+20", "- -");
    row("beyond double", "1e999", "1e999", "- -");
    row("empty unquoted", ",", "", "- -");
}

void TestFields::conversions() {
    QFETCH(QString, field);
    QFETCH(QString, asText);
    QFETCH(QString, asInts);
    const Field f = FieldReader(field).next();
    const auto shown = [](const auto& v) { return v ? QString::number(*v) : u"-"_qs; };
    QCOMPARE(f.toText().value_or(u"-"_qs), asText);
    QCOMPARE(shown(f.toInt16()) + u' ' + shown(f.toInt32()), asInts);
    QVERIFY(!f.toBool());
}

QTEST_APPLESS_MAIN(TestFields)
#include "tst_fields.moc"
