#include <QTest>

#include "FieldReader.h"

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
    void reader_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("fields");
        const auto row = [](const char* name, const QString& text, const QString& fields) {
            QTest::newRow(name) << text << fields;
        };
        row("CR-only line ends", u"\"a\",1\r\"b\"\r"_qs, u"Q:a|N:1|Q:b"_qs);
        row("comma before line end", u"\"a\",\r\n\"b\""_qs, u"Q:a|T:|Q:b"_qs);
        row("empty fields between and after", u"1,,#true#,"_qs, u"N:1|T:|B:True|T:"_qs);
        row("blanks trimmed, full-width kept", u"  12 ,\t#FALSE# , abc def ,　株式会社　\r\n"_qs,
            u"N:12|B:False|T:abc def|T:　株式会社　"_qs);
        row("blanks inside quotes", u" \" 1 \" "_qs, u"Q: 1 "_qs);
        row("numbers", u"+5,1.5,-0.25,2E3,7d1,.5"_qs, u"N:5|N:1.5|N:-0.25|N:2000|N:70|N:0.5"_qs);
        row("not numbers", u"5x,0x10,1.2.3,-,E5"_qs, u"T:5x|T:0x10|T:1.2.3|T:-|T:E5"_qs);
        row("only line ends", u"\r\n\r\n\n"_qs, QString());
    }

    void reader() {
        QFETCH(QString, text);
        QFETCH(QString, fields);
        QCOMPARE(readAll(text), fields);
    }

    void conversions_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("asText");  // "-" for nothing
        QTest::addColumn<QString>("asInts");  // 16-bit and 32-bit, "-" for nothing
        const auto row = [](const char* name, const QString& field, const QString& text,
                            const QString& ints) { QTest::newRow(name) << field << text << ints; };
        row("negative half to even", "-4.5", "-4.5", "-4 -4");
        row("32-bit bottom", "-2147483648", "-2147483648", "- -2147483648");
        row("20 digits kept", "12345678901234567890", "12345678901234567890", "- -");
        row("big exponent", "1e20", "1E+20", "- -");
        row("beyond double", "1e999", "1e999", "- -");
        row("empty unquoted", ",", "", "- -");
    }

    void conversions() {
        QFETCH(QString, field);
        QFETCH(QString, asText);
        QFETCH(QString, asInts);
        const Field f = FieldReader(field).next();
        const auto shown = [](const auto& v) { return v ? QString::number(*v) : u"-"_qs; };
        QCOMPARE(f.toText().value_or(u"-"_qs), asText);
        QCOMPARE(shown(f.toInt16()) + u' ' + shown(f.toInt32()), asInts);
        QVERIFY(!f.toBool());
    }
};

QTEST_APPLESS_MAIN(TestFields)
#include "tst_fields.moc"
