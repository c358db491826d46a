#include <QTest>

#include "FieldReader.h"
#include "FieldWriter.h"
#include "NumberText.h"

using namespace zukaro;

namespace {

// Fields of a text as "kind:text" strings: T text, Q quoted text, N number, B Boolean.
QStringList readAll(const QString& text) {
    FieldReader reader(text);
    QStringList out;
    while (!reader.atEnd()) {
        const Field f = reader.next();
        switch (f.kind) {
            case Field::Kind::Text:
                out << (f.quoted ? u"Q:"_qs : u"T:"_qs) + f.text;
                break;
            case Field::Kind::Number:
                out << u"N:"_qs + QString::number(f.number);
                break;
            case Field::Kind::Boolean:
                out << (f.boolean ? u"B:true"_qs : u"B:false"_qs);
                break;
            case Field::Kind::Missing:
                out << u"missing"_qs;
                break;
        }
    }
    return out;
}

}  // namespace

class TestFields : public QObject {
    Q_OBJECT

private slots:
    void reader_data();
    void reader();
    void readerReportsMissingAtTheEnd();
    void writeThenRead_data();
    void writeThenRead();
    void leadingNumber_data();
    void leadingNumber();
    void conversions_data();
    void conversions();
};

void TestFields::reader_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("fields");

    QTest::newRow("quoted, number, Boolean")
        << u"\"ＭＳ 明朝\",12,#FALSE#,#TRUE#,-3\r\n"_qs
        << QStringList{u"Q:ＭＳ 明朝"_qs, u"N:12"_qs, u"B:false"_qs, u"B:true"_qs, u"N:-3"_qs};
    QTest::newRow("Boolean in any case")
        << u"#true#,#False#"_qs << QStringList{u"B:true"_qs, u"B:false"_qs};
    QTest::newRow("empty quoted text") << u"\"\",\"\"\r\n"_qs << QStringList{u"Q:"_qs, u"Q:"_qs};
    QTest::newRow("fields counted across lines")
        << u"\"a\",\"b\"\r\n\"c\"\r\n\"d\",\"e\",\"f\"\r\n"_qs
        << QStringList{u"Q:a"_qs, u"Q:b"_qs, u"Q:c"_qs, u"Q:d"_qs, u"Q:e"_qs, u"Q:f"_qs};
    QTest::newRow("LF-only line ends")
        << u"\"a\",1\n\"b\"\n"_qs << QStringList{u"Q:a"_qs, u"N:1"_qs, u"Q:b"_qs};
    QTest::newRow("CR-only line ends") << u"\"a\"\r\"b\"\r"_qs << QStringList{u"Q:a"_qs, u"Q:b"_qs};
    QTest::newRow("comma inside quotes")
        << u"\"メーカー, 株式会社\",2"_qs << QStringList{u"Q:メーカー, 株式会社"_qs, u"N:2"_qs};
    QTest::newRow("blank lines between fields skipped")
        << u"\"a\"\r\n\r\n  \r\n\"b\""_qs << QStringList{u"Q:a"_qs, u"Q:b"_qs};
    QTest::newRow("comma before line end gives an empty field")
        << u"\"a\",\r\n\"b\""_qs << QStringList{u"Q:a"_qs, u"T:"_qs, u"Q:b"_qs};
    QTest::newRow("two commas give an empty field")
        << u"1,,2"_qs << QStringList{u"N:1"_qs, u"T:"_qs, u"N:2"_qs};
    QTest::newRow("blanks around unquoted fields dropped")
        << u"  12 ,\t#TRUE# , abc def \r\n"_qs
        << QStringList{u"N:12"_qs, u"B:true"_qs, u"T:abc def"_qs};
    QTest::newRow("blanks inside quotes kept") << u" \" 1 \" "_qs << QStringList{u"Q: 1 "_qs};
    QTest::newRow("full-width space in unquoted text kept")
        << u"　株式会社　"_qs << QStringList{u"T:　株式会社　"_qs};
    QTest::newRow("quote inside a text splits the field")
        << u"\"say \"hi\" now\",\"x\""_qs << QStringList{u"Q:say "_qs, u"Q:x"_qs};
    QTest::newRow("unclosed quote runs to the end")
        << u"\"a\",\"b,c\r\nd,1"_qs << QStringList{u"Q:a"_qs, u"Q:b,c\r\nd,1"_qs};
    QTest::newRow("text after the closing quote ignored")
        << u"\"b\"xyz,2"_qs << QStringList{u"Q:b"_qs, u"N:2"_qs};
    QTest::newRow("unclosed quote at the very end")
        << u"1,\"rest, of\r\nfile"_qs << QStringList{u"N:1"_qs, u"Q:rest, of\r\nfile"_qs};
    QTest::newRow("numbers in many forms")
        << u"+5,1.5,-0.25,2E3,7d1,.5"_qs << QStringList{u"N:5"_qs,    u"N:1.5"_qs, u"N:-0.25"_qs,
                                                        u"N:2000"_qs, u"N:70"_qs,  u"N:0.5"_qs};
    QTest::newRow("not numbers") << u"5x,0x10,1.2.3,-,E5"_qs
                                 << QStringList{u"T:5x"_qs, u"T:0x10"_qs, u"T:1.2.3"_qs, u"T:-"_qs,
                                                u"T:E5"_qs};
    QTest::newRow("trailing comma at the end gives an empty field")
        << u"1,"_qs << QStringList{u"N:1"_qs, u"T:"_qs};
    QTest::newRow("empty text") << QString() << QStringList{};
    QTest::newRow("only line ends") << u"\r\n\r\n\n"_qs << QStringList{};
}

void TestFields::reader() {
    QFETCH(QString, text);
    QFETCH(QStringList, fields);
    QCOMPARE(readAll(text), fields);
}

void TestFields::readerReportsMissingAtTheEnd() {
    FieldReader reader(u"\"a\"\r\n");
    QCOMPARE(reader.next().text, u"a"_qs);
    QVERIFY(reader.next().isMissing());
    QVERIFY(reader.next().isMissing());
    QVERIFY(!reader.sawUnclosedQuote());

    FieldReader open(u"\"a");
    QCOMPARE(open.next().text, u"a"_qs);
    QVERIFY(open.sawUnclosedQuote());
    QVERIFY(open.next().isMissing());
}

void TestFields::writeThenRead_data() {
    QTest::addColumn<QString>("value");
    QTest::newRow("Japanese") << u"ポテトチップス　うすしお味"_qs;
    QTest::newRow("comma") << u"メーカー, 株式会社"_qs;
    QTest::newRow("digits only") << u"0128"_qs;
    QTest::newRow("leading and trailing blanks") << u"  x  "_qs;
    QTest::newRow("empty") << QString();
    QTest::newRow("line break inside") << u"a\r\nb"_qs;
    QTest::newRow("looks like a Boolean") << u"#TRUE#"_qs;
}

void TestFields::writeThenRead() {
    QFETCH(QString, value);
    FieldWriter w;
    w.text(value);
    w.integer(-7);
    w.endLine();
    FieldReader r(w.result());
    const Field text = r.next();
    QCOMPARE(text.kind, Field::Kind::Text);
    QCOMPARE(text.text, value);
    QCOMPARE(r.next().toInt16(), std::optional<std::int16_t>(-7));
    QVERIFY(r.atEnd());
}

void TestFields::leadingNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("written label number") << u" 7"_qs << 7.0;
    QTest::newRow("digits then letters") << u"7abc"_qs << 7.0;
    QTest::newRow("fraction") << u" 1.5"_qs << 1.5;
    QTest::newRow("negative") << u"-3"_qs << -3.0;
    QTest::newRow("exponent") << u"2e1x"_qs << 20.0;
    QTest::newRow("exponent without digits stops before E") << u"3E"_qs << 3.0;
    QTest::newRow("letters first") << u"abc"_qs << 0.0;
    QTest::newRow("empty") << QString() << 0.0;
    QTest::newRow("full-width digits are not digits") << u"１２"_qs << 0.0;
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
    QTest::addColumn<int>("asInt16");     // 99999 for nothing
    QTest::addColumn<qlonglong>("asInt32");

    constexpr int none16 = 99999;
    constexpr qlonglong none32 = 99999999999LL;
    QTest::newRow("quoted digits convert") << u"\"5\""_qs << u"5"_qs << 5 << 5LL;
    QTest::newRow("quoted text does not") << u"\"abc\""_qs << u"abc"_qs << none16 << none32;
    QTest::newRow("quoted with unit does not") << u"\"9pt\""_qs << u"9pt"_qs << none16 << none32;
    QTest::newRow("half rounds to even, down") << u"2.5"_qs << u"2.5"_qs << 2 << 2LL;
    QTest::newRow("half rounds to even, up") << u"3.5"_qs << u"3.5"_qs << 4 << 4LL;
    QTest::newRow("negative half") << u"-4.5"_qs << u"-4.5"_qs << -4 << -4LL;
    QTest::newRow("16-bit top") << u"32767"_qs << u"32767"_qs << 32767 << 32767LL;
    QTest::newRow("16-bit overflow") << u"32768"_qs << u"32768"_qs << none16 << 32768LL;
    QTest::newRow("16-bit bottom") << u"-32768"_qs << u"-32768"_qs << -32768 << -32768LL;
    QTest::newRow("32-bit overflow") << u"2147483648"_qs << u"2147483648"_qs << none16 << none32;
    QTest::newRow("32-bit bottom")
        << u"-2147483648"_qs << u"-2147483648"_qs << none16 << -2147483648LL;
    QTest::newRow("Boolean is no number") << u"#TRUE#"_qs << u"True"_qs << none16 << none32;
    QTest::newRow("long JAN keeps every digit")
        << u"4901234567894"_qs << u"4901234567894"_qs << none16 << none32;
    QTest::newRow("20 digits keep every digit")
        << u"12345678901234567890"_qs << u"12345678901234567890"_qs << none16 << none32;
    QTest::newRow("leading zeros dropped") << u"007"_qs << u"7"_qs << 7 << 7LL;
    QTest::newRow("plus sign dropped") << u"+5"_qs << u"5"_qs << 5 << 5LL;
    QTest::newRow("minus zero") << u"-0"_qs << u"0"_qs << 0 << 0LL;
    QTest::newRow("fraction in shortest form") << u"1.50"_qs << u"1.5"_qs << 2 << 2LL;
    QTest::newRow("big exponent") << u"1e20"_qs << u"1E+20"_qs << none16 << none32;
    QTest::newRow("beyond double range") << u"1e999"_qs << u"1e999"_qs << none16 << none32;
    QTest::newRow("empty unquoted") << u","_qs << QString() << none16 << none32;
    QTest::newRow("missing") << QString() << u"-"_qs << none16 << none32;
}

void TestFields::conversions() {
    QFETCH(QString, field);
    QFETCH(QString, asText);
    QFETCH(int, asInt16);
    QFETCH(qlonglong, asInt32);
    FieldReader reader(field);
    const Field f = reader.next();
    const std::optional<QString> text = f.toText();
    QCOMPARE(text.value_or(u"-"_qs), asText);
    const std::optional<std::int16_t> i16 = f.toInt16();
    QCOMPARE(i16 ? int{*i16} : 99999, asInt16);
    const std::optional<std::int32_t> i32 = f.toInt32();
    QCOMPARE(i32 ? qlonglong{*i32} : 99999999999LL, asInt32);
    QVERIFY(!f.toBool() || f.kind == Field::Kind::Boolean);
}

QTEST_APPLESS_MAIN(TestFields)
#include "tst_fields.moc"
