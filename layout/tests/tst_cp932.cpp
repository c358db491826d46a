#include <iconv.h>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

#include <cstring>
#include <optional>
#include <set>

#include "Cp932.h"

using namespace zukaro;

namespace {

// glibc's converter, one call at a time.
class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (valid()) {
            iconv_close(cd_);
        }
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    std::optional<QByteArray> convert(const QByteArray& in) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        QByteArray inCopy = in;
        char* inPtr = inCopy.data();
        size_t inLeft = static_cast<size_t>(inCopy.size());
        char out[16];
        char* outPtr = out;
        size_t outLeft = sizeof out;
        if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) ||
            inLeft != 0) {
            return std::nullopt;
        }
        return QByteArray(out, static_cast<qsizetype>(sizeof out - outLeft));
    }

private:
    iconv_t cd_;
};

QByteArray utf32(char32_t c) {
    QByteArray b(4, '\0');
    std::memcpy(b.data(), &c, 4);
    return b;
}

QByteArray packedBytes(std::uint16_t packed) {
    if (packed > 0xFF) {
        const char pair[2] = {static_cast<char>(packed >> 8), static_cast<char>(packed & 0xFF)};
        return QByteArray(pair, 2);
    }
    return QByteArray(1, static_cast<char>(packed));
}

// Characters glibc converts to a different character without a word.
const std::set<char32_t> kIconvBestFits{0x00A2, 0x00A3, 0x00A5, 0x00AC, 0x2014,
                                        0x2016, 0x203E, 0x2212, 0x301C};

bool isLeadByte(int b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

}  // namespace

class TestCp932 : public QObject {
    Q_OBJECT

private slots:
    void decodeMatchesIconvForEveryByteAndPair();
    void encodeMatchesIconvExceptItsSilentBestFits();
    void decodeMatchesQtIcuExceptSwappedControls();
    void encodeMatchesQtIcuExceptSwappedControls();
    void everyEncodedCharacterReadsBackAsItself();
    void traps_data();
    void traps();
    void unencodable_data();
    void unencodable();
    void invalidBytes_data();
    void invalidBytes();
};

void TestCp932::decodeMatchesIconvForEveryByteAndPair() {
    Iconv glibc("UTF-32LE", "CP932");
    QVERIFY(glibc.valid());
    int compared = 0;
    for (int b = 0; b < 0x100; ++b) {
        if (isLeadByte(b)) {
            QVERIFY(!cp932::decodeBytes(static_cast<std::uint16_t>(b)));
            for (int t = 0; t < 0x100; ++t) {
                const auto packed = static_cast<std::uint16_t>(b << 8 | t);
                const auto theirs = glibc.convert(packedBytes(packed));
                const auto ours = cp932::decodeBytes(packed);
                const QByteArray oursAsUtf32 = ours ? utf32(*ours) : QByteArray();
                QVERIFY2(theirs.value_or(QByteArray()) == oursAsUtf32,
                         qPrintable(QString::number(packed, 16) + u' ' +
                                    QString::fromLatin1(theirs.value_or("none").toHex()) + u' ' +
                                    QString::fromLatin1(oursAsUtf32.toHex())));
                ++compared;
            }
            continue;
        }
        const auto theirs = glibc.convert(QByteArray(1, static_cast<char>(b)));
        const auto ours = cp932::decodeBytes(static_cast<std::uint16_t>(b));
        QCOMPARE(ours ? utf32(*ours) : QByteArray(), theirs.value_or(QByteArray()));
        ++compared;
    }
    QCOMPARE(compared, 60 * 256 + 196);
}

void TestCp932::encodeMatchesIconvExceptItsSilentBestFits() {
    Iconv glibc("CP932", "UTF-32LE");
    QVERIFY(glibc.valid());
    std::set<char32_t> differences;
    int encodable = 0;
    for (char32_t c = 0; c <= 0xFFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) {
            continue;
        }
        const auto theirs = glibc.convert(utf32(c));
        const auto ours = cp932::encodeChar(c);
        if ((ours ? packedBytes(*ours) : QByteArray()) != theirs.value_or(QByteArray())) {
            differences.insert(c);
        }
        encodable += ours ? 1 : 0;
    }
    QCOMPARE(differences, kIconvBestFits);
    // 128 ASCII, 63 half-width katakana, and the 9,206 distinct characters that the 9,604
    // byte pairs hold (the NEC and IBM extensions repeat some).
    QCOMPARE(encodable, 128 + 63 + 9206);
}

void TestCp932::decodeMatchesQtIcuExceptSwappedControls() {
    QStringDecoder probe("windows-31j");
    QVERIFY2(probe.isValid(), "Qt was built without ICU");
    const auto icu = [](const QByteArray& bytes) -> std::optional<QString> {
        QStringDecoder decoder("windows-31j");
        const QString text = decoder.decode(bytes);
        if (decoder.hasError() || text.size() != 1) {
            return std::nullopt;
        }
        return text;
    };
    std::set<int> differences;
    for (int b = 0; b < 0x100; ++b) {
        const int count = isLeadByte(b) ? 0x100 : 1;
        for (int t = 0; t < count; ++t) {
            const auto packed = static_cast<std::uint16_t>(count == 1 ? b : b << 8 | t);
            const auto ours = cp932::decodeBytes(packed);
            const auto theirs = icu(packedBytes(packed));
            const QString oursText = ours ? QString(QChar(*ours)) : QString();
            if (oursText != theirs.value_or(QString())) {
                differences.insert(packed);
            }
        }
    }
    // ICU's table is IBM's, which exchanges these three control codes.
    QCOMPARE(differences, (std::set<int>{0x1A, 0x1C, 0x7F}));
}

void TestCp932::encodeMatchesQtIcuExceptSwappedControls() {
    std::set<char32_t> differences;
    for (char32_t c = 0; c <= 0xFFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) {
            continue;
        }
        QStringEncoder encoder("windows-31j");
        const QChar ch(static_cast<char16_t>(c));
        const QByteArray bytes = encoder.encode(QStringView(&ch, 1));
        const QByteArray theirs = encoder.hasError() ? QByteArray() : bytes;
        const auto ours = cp932::encodeChar(c);
        if ((ours ? packedBytes(*ours) : QByteArray()) != theirs) {
            differences.insert(c);
        }
    }
    // U+F86F is a private-use code that ICU folds onto № (87 82) one way only.
    QCOMPARE(differences, (std::set<char32_t>{0x1A, 0x1C, 0x7F, 0xF86F}));
}

void TestCp932::everyEncodedCharacterReadsBackAsItself() {
    int pairs = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const auto packed = static_cast<std::uint16_t>(lead << 8 | trail);
            const auto c = cp932::decodeBytes(packed);
            if (!c) {
                continue;
            }
            ++pairs;
            const auto again = cp932::encodeChar(*c);
            QVERIFY(again);
            QCOMPARE(cp932::decodeBytes(*again), c);
        }
    }
    QCOMPARE(pairs, 9604);
}

void TestCp932::traps_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("readBack");

    const auto row = [](const char* name, const QString& text, const char* hex,
                        const QString& readBack) {
        QTest::newRow(name) << text << QByteArray::fromHex(hex) << readBack;
    };
    row("backslash stays 5C", u"\\"_qs, "5c", u"\\"_qs);
    row("tilde stays 7E", u"~"_qs, "7e", u"~"_qs);
    row("yen sign is never 5C", u"\u00A5"_qs, "818f", u"\uFFE5"_qs);
    row("full-width yen", u"￥"_qs, "818f", u"￥"_qs);
    row("full-width tilde ～", u"～"_qs, "8160", u"～"_qs);
    row("wave dash 〜 becomes ～", u"\u301C"_qs, "8160", u"～"_qs);
    row("circled one ① NEC row 13", u"①"_qs, "8740", u"①"_qs);
    row("髙 IBM extension", u"髙"_qs, "fbfc", u"髙"_qs);
    row("small roman ⅰ takes IBM pair", u"ⅰ"_qs, "fa40", u"ⅰ"_qs);
    row("roman Ⅰ takes NEC pair", u"Ⅰ"_qs, "8754", u"Ⅰ"_qs);
    row("∵ takes JIS pair", u"∵"_qs, "81e6", u"∵"_qs);
    row("￢ takes JIS pair", u"￢"_qs, "81ca", u"￢"_qs);
    row("¬ becomes ￢", u"\u00AC"_qs, "81ca", u"￢"_qs);
    row("minus becomes －", u"\u2212"_qs, "817c", u"－"_qs);
    row("‖ becomes ∥", u"\u2016"_qs, "8161", u"∥"_qs);
    row("¢ £ become ￠ ￡", u"\u00A2\u00A3"_qs, "81918192", u"￠￡"_qs);
    row("em dash becomes ―", u"\u2014"_qs, "815c", u"―"_qs);
    row("overline becomes ￣", u"\u203E"_qs, "8150", u"￣"_qs);
    row("half-width katakana", u"ｶﾞ"_qs, "b6de", u"ｶﾞ"_qs);
    row("header word", u"ズカロ"_qs, "8359834a838d", u"ズカロ"_qs);
    row("default font name", u"ＭＳ 明朝"_qs, "826c82722096be92a9", u"ＭＳ 明朝"_qs);
    row("user-defined area", u"\uE000\uE757"_qs, "f040f9fc", u"\uE000\uE757"_qs);
    row("controls 1A 1C 7F unchanged", u"\x1A\x1C\x7F"_qs, "1a1c7f", u"\x1A\x1C\x7F"_qs);
    row("empty", QString(), "", QString());
}

void TestCp932::traps() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, readBack);
    const cp932::Encoded encoded = cp932::encode(text);
    QCOMPARE(encoded.bytes.toHex(), bytes.toHex());
    QVERIFY(encoded.unencodable.empty());
    QCOMPARE(cp932::decode(bytes).text, readBack);
    QCOMPARE(cp932::mapLookAlikes(text), readBack);
}

void TestCp932::unencodable_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("indexes");
    QTest::addColumn<QList<uint>>("characters");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("heart") << u"a♥b"_qs << QList<int>{1} << QList<uint>{0x2665}
                           << QByteArray("a?b");
    QTest::newRow("euro sign") << u"€100"_qs << QList<int>{0} << QList<uint>{0x20AC}
                               << QByteArray("?100");
    QTest::newRow("umlaut") << u"Müller"_qs << QList<int>{1} << QList<uint>{0xFC}
                            << QByteArray("M?ller");
    QTest::newRow("surrogate pair is one character")
        << u"𠀋x"_qs << QList<int>{0} << QList<uint>{0x2000B} << QByteArray("?x");
    QTest::newRow("positions count characters, not UTF-16 units")
        << u"👍品♥"_qs << QList<int>{0, 2} << QList<uint>{0x1F44D, 0x2665}
        << QByteArray("?\x95\x69?");
    QTest::newRow("replacement character")
        << u"\uFFFD"_qs << QList<int>{0} << QList<uint>{0xFFFD} << QByteArray("?");
    QTest::newRow("lone surrogate")
        << QString(QChar(u'\xD800')) << QList<int>{0} << QList<uint>{0xD800} << QByteArray("?");
}

void TestCp932::unencodable() {
    QFETCH(QString, text);
    QFETCH(QList<int>, indexes);
    QFETCH(QList<uint>, characters);
    QFETCH(QByteArray, bytes);

    const cp932::Encoded encoded = cp932::encode(text);
    QCOMPARE(encoded.bytes.toHex(), bytes.toHex());
    const std::vector<cp932::Unencodable> found = cp932::findUnencodable(text);
    QCOMPARE(found.size(), static_cast<std::size_t>(indexes.size()));
    QCOMPARE(encoded.unencodable.size(), found.size());
    for (qsizetype i = 0; i < indexes.size(); ++i) {
        const auto at = static_cast<std::size_t>(i);
        QCOMPARE(found[at].index, indexes[i]);
        QCOMPARE(static_cast<uint>(found[at].character), characters[i]);
        QCOMPARE(encoded.unencodable[at].index, found[at].index);
    }
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
    row("valid あ", "82a0", u"あ"_qs, 0, -1);
    row("lead byte before a quote keeps the quote", "8122", u"\uFFFD\""_qs, 1, 0);
    row("lead byte before CR LF keeps the line end", "41810d0a", u"A\uFFFD\r\n"_qs, 1, 1);
    row("lead byte at the end", "4181", u"A\uFFFD"_qs, 1, 1);
    row("80 is no character", "80", u"\uFFFD"_qs, 1, 0);
    row("A0 is no character", "a0", u"\uFFFD"_qs, 1, 0);
    row("FD FE FF are no characters", "fdfeff", u"\uFFFD\uFFFD\uFFFD"_qs, 3, 0);
    row("well-formed pair without character", "8540", u"\uFFFD"_qs, 2, 0);
    row("lead byte before a comma", "41812c42", u"A\uFFFD,B"_qs, 1, 1);
    row("NUL passes through", "00", QString(QChar(u'\0')), 0, -1);
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
