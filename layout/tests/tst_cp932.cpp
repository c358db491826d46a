#include <iconv.h>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

#include <memory>
#include <set>

#include "Cp932.h"

using namespace zukaro;

namespace {

using Iconv = std::unique_ptr<void, decltype(&iconv_close)>;

// One conversion through glibc; empty when it refuses.
QByteArray viaIconv(const Iconv& cd, QByteArray in) {
    char out[16];
    char* outPtr = out;
    size_t outLeft = sizeof out;
    char* inPtr = in.data();
    size_t inLeft = static_cast<size_t>(in.size());
    iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd.get(), &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
        return {};
    }
    return QByteArray(out, static_cast<qsizetype>(sizeof out - outLeft));
}

QByteArray utf32(char32_t c) {
    return QByteArray(reinterpret_cast<const char*>(&c), 4);
}

QByteArray packedBytes(std::optional<std::uint16_t> packed) {
    if (!packed) {
        return {};
    }
    const char pair[2] = {static_cast<char>(*packed >> 8), static_cast<char>(*packed & 0xFF)};
    return *packed > 0xFF ? QByteArray(pair, 2) : QByteArray(pair + 1, 1);
}

// Unencodable characters as "index:hex code point".
QString show(const std::vector<cp932::Unencodable>& found) {
    QStringList out;
    for (const cp932::Unencodable& u : found) {
        out << u"%1:%2"_qs.arg(u.index).arg(static_cast<uint>(u.character), 0, 16);
    }
    return out.join(u' ');
}

}  // namespace

class TestCp932 : public QObject {
    Q_OBJECT

private slots:
    void decodeMatchesIconvAndQtIcuForEveryByteAndPair();
    void encodeMatchesIconvAndQtIcuForEveryCharacter();
    void encode_data();
    void encode();
    void invalidBytes_data();
    void invalidBytes();
};

void TestCp932::decodeMatchesIconvAndQtIcuForEveryByteAndPair() {
    const Iconv glibc(iconv_open("UTF-32LE", "CP932"), iconv_close);
    QVERIFY(glibc.get() != reinterpret_cast<iconv_t>(-1));
    QVERIFY2(QStringDecoder("windows-31j").isValid(), "Qt was built without ICU");
    std::set<int> iconvDiffers, icuDiffers;
    int characters = 0;
    for (int b = 0; b < 0x100; ++b) {
        const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        if (lead) {
            QVERIFY(!cp932::decodeBytes(static_cast<std::uint16_t>(b)));  // waits for its trail
        }
        for (int t = 0; t < (lead ? 0x100 : 1); ++t) {
            const auto packed = static_cast<std::uint16_t>(lead ? b << 8 | t : b);
            const QByteArray bytes = packedBytes(packed);
            const auto ours = cp932::decodeBytes(packed);
            characters += ours ? 1 : 0;
            if ((ours ? utf32(*ours) : QByteArray()) != viaIconv(glibc, bytes)) {
                iconvDiffers.insert(packed);
            }
            QStringDecoder icu("windows-31j");
            const QString text = icu.decode(bytes);
            const bool icuHasIt = !icu.hasError() && text.size() == 1;
            if ((ours ? QString(QChar(*ours)) : QString()) != (icuHasIt ? text : QString())) {
                icuDiffers.insert(packed);
            }
        }
    }
    QCOMPARE(iconvDiffers, std::set<int>{});
    // ICU's table is IBM's, which exchanges these three control codes.
    QCOMPARE(icuDiffers, (std::set<int>{0x1A, 0x1C, 0x7F}));
    // 128 ASCII, 63 half-width katakana and the 9,604 byte pairs of Microsoft's table.
    QCOMPARE(characters, 128 + 63 + 9604);
}

void TestCp932::encodeMatchesIconvAndQtIcuForEveryCharacter() {
    const Iconv glibc(iconv_open("CP932", "UTF-32LE"), iconv_close);
    QVERIFY(glibc.get() != reinterpret_cast<iconv_t>(-1));
    std::set<char32_t> iconvDiffers, icuDiffers;
    int encodable = 0;
    for (char32_t c = 0; c <= 0xFFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) {
            continue;
        }
        const QByteArray ours = packedBytes(cp932::encodeChar(c));
        encodable += ours.isEmpty() ? 0 : 1;
        if (ours != viaIconv(glibc, utf32(c))) {
            iconvDiffers.insert(c);
        }
        QStringEncoder icu("windows-31j");
        const QChar ch(static_cast<char16_t>(c));
        const QByteArray theirs = icu.encode(QStringView(&ch, 1));
        if (ours != (icu.hasError() ? QByteArray() : theirs)) {
            icuDiffers.insert(c);
        }
    }
    // glibc silently best-fits these onto other characters.
    QCOMPARE(iconvDiffers,
             (std::set<char32_t>{0xA2, 0xA3, 0xA5, 0xAC, 0x2014, 0x2016, 0x203E, 0x2212, 0x301C}));
    // ICU swaps the controls; U+F86F is a private-use code it folds onto № one way only.
    QCOMPARE(icuDiffers, (std::set<char32_t>{0x1A, 0x1C, 0x7F, 0xF86F}));
    // 128 ASCII, 63 half-width katakana, and the 9,206 distinct characters of the 9,604 pairs
    // (the NEC and IBM extensions repeat some).
    QCOMPARE(encodable, 128 + 63 + 9206);
}

void TestCp932::encode_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("readBack");
    QTest::addColumn<QString>("unencodable");  // "index:hex code point", by characters
    const auto row = [](const char* name, const QString& text, const char* hex,
                        const QString& readBack, const QString& unencodable = {}) {
        QTest::newRow(name) << text << QByteArray::fromHex(hex) << readBack << unencodable;
    };
    row("backslash stays 5C", u"\\"_qs, "5c", u"\\"_qs);
    row("tilde stays 7E", u"~"_qs, "7e", u"~"_qs);
    row("yen sign is never 5C", u"\u00A5"_qs, "818f", u"￥"_qs);
    row("full-width tilde ～", u"～"_qs, "8160", u"～"_qs);
    row("wave dash 〜 becomes ～", u"\u301C"_qs, "8160", u"～"_qs);
    row("circled one ① NEC row 13", u"①"_qs, "8740", u"①"_qs);
    row("髙 IBM extension", u"髙"_qs, "fbfc", u"髙"_qs);
    row("¬ − ‖ ¢ £ — ‾ look-alikes", u"\u00AC\u2212\u2016\u00A2\u00A3\u2014\u203E"_qs,
        "81ca817c816181918192815c8150", u"￢－∥￠￡―￣"_qs);
    row("half-width katakana", u"ｶﾞ"_qs, "b6de", u"ｶﾞ"_qs);
    row("default font name", u"ＭＳ 明朝"_qs, "826c82722096be92a9", u"ＭＳ 明朝"_qs);
    row("empty", QString(), "", QString());
    row("heart", u"a♥b"_qs, "613f62", u"a?b"_qs, u"1:2665"_qs);
    row("positions count characters", u"👍品♥"_qs, "3f95693f", u"?品?"_qs, u"0:1f44d 2:2665"_qs);
    row("replacement character", u"\uFFFD"_qs, "3f", u"?"_qs, u"0:fffd"_qs);
    row("lone surrogate", QString(QChar(u'\xD800')), "3f", u"?"_qs, u"0:d800"_qs);
}

void TestCp932::encode() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, readBack);
    QFETCH(QString, unencodable);
    const cp932::Encoded encoded = cp932::encode(text);
    QCOMPARE(encoded.bytes.toHex(), bytes.toHex());
    QCOMPARE(show(encoded.unencodable), unencodable);
    QCOMPARE(show(cp932::findUnencodable(text)), unencodable);
    QCOMPARE(cp932::decode(bytes).text, readBack);
}

void TestCp932::invalidBytes_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("invalid");
    QTest::addColumn<int>("firstAt");
    const auto row = [](const char* name, const char* hex, const QString& text, int invalid,
                        int firstAt) {
        QTest::newRow(name) << QByteArray::fromHex(hex) << text << invalid << firstAt;
    };
    row("lead byte before a quote keeps the quote", "8122", u"\uFFFD\""_qs, 1, 0);
    row("lead byte before CR LF keeps the line end", "41810d0a", u"A\uFFFD\r\n"_qs, 1, 1);
    row("NUL kept, lead byte at the end", "004181", u"\0A\uFFFD"_qs, 1, 2);
    row("80 A0 FD FE FF are no characters", "4180a0fdfeff", u"A\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"_qs,
        5, 1);
    row("well-formed pair without character", "8540", u"\uFFFD"_qs, 2, 0);
}

void TestCp932::invalidBytes() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(int, invalid);
    QFETCH(int, firstAt);
    const cp932::Decoded decoded = cp932::decode(bytes);
    QCOMPARE(decoded.text, text);
    QCOMPARE(decoded.invalidBytes, invalid);
    QCOMPARE(decoded.firstInvalidAt, firstAt);
}

QTEST_APPLESS_MAIN(TestCp932)
#include "tst_cp932.moc"
