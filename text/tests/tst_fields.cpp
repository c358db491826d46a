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
        out << QChar(f.quoted ? u'Q' : u"-TNB"[int(f.kind)]) + u':' +
                   (number ? QString::number(f.number) : f.toText().value_or("?"));
    }
    return out.join(u'|') + (reader.next().isMissing() ? "" : "|more");
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
        row("CR-only line ends", "\"a\",1\r\"b\"\r", "Q:a|N:1|Q:b");
        row("comma before line end", "\"a\",\r\n\"b\"", "Q:a|T:|Q:b");
        row("empty fields between and after", "1,,#true#,", "N:1|T:|B:True|T:");
        row("blanks trimmed, full-width kept", "  12 ,\t#FALSE# , abc def ,　株式会社　\r\n",
            "N:12|B:False|T:abc def|T:　株式会社　");
        row("blanks inside quotes", " \" 1 \" ", "Q: 1 ");
        row("numbers", "+5,1.5,-0.25,2E3,7d1,.5", "N:5|N:1.5|N:-0.25|N:2000|N:70|N:0.5");
        row("not numbers", "5x,0x10,1.2.3,-,E5", "T:5x|T:0x10|T:1.2.3|T:-|T:E5");
        row("only line ends", "\r\n\r\n\n", "");
    }

    void reader() {
        QFETCH(QString, text);
        QFETCH(QString, fields);
        QCOMPARE(readAll(text), fields);
    }

    void conversions_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("taken");  // as a text, a 16-bit and a 32-bit target; "-": not
        const auto row = [](const char* name, const QString& field, const QString& taken) {
            QTest::newRow(name) << field << taken;
        };
        row("negative half to even", "-4.5", "-4.5|-4|-4");
        row("32-bit bottom", "-2147483648", "-2147483648|-|-2147483648");
        row("too big: kept as written", "12345678901234567890", "12345678901234567890|-|-");
        row("big exponent", "1e20", "1E+20|-|-");
        row("empty unquoted", ",", "|-|-");
    }

    void conversions() {
        QFETCH(QString, field);
        QFETCH(QString, taken);
        const Field f = FieldReader(field).next();
        const auto shown = [](const auto& v) { return v ? QString::number(*v) : "-"; };
        QCOMPARE(f.toText().value_or("-") + u'|' + shown(f.toInt16()) + u'|' + shown(f.toInt32()),
                 taken);
        QVERIFY(!f.toBool());
    }
};

QTEST_APPLESS_MAIN(TestFields)
#include "tst_fields.moc"
