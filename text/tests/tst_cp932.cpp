#include <iconv.h>
#include <QStringEncoder>
#include <QTest>

#include <memory>
#include <set>

#include "Cp932.h"
#include "EncodingGuess.h"

using namespace zukaro;

namespace {

using Iconv = std::unique_ptr<void, decltype(&iconv_close)>;

// One conversion through glibc; empty when it refuses.
QByteArray viaIconv(const Iconv& cd, QByteArray in) {
    char out[16], *outPtr = out, *inPtr = in.data();
    size_t outLeft = sizeof out, inLeft = size_t(in.size());
    const bool ok = iconv(cd.get(), &inPtr, &inLeft, &outPtr, &outLeft) != size_t(-1);
    return ok ? QByteArray(out, qsizetype(sizeof out - outLeft)) : QByteArray();
}

QByteArray utf32(char32_t c) {
    return QByteArray(reinterpret_cast<const char*>(&c), 4);
}

QByteArray packedBytes(std::optional<std::uint16_t> packed) {
    const char pair[2] = {char(packed.value_or(0) >> 8), char(packed.value_or(0))};
    return !packed ? QByteArray() : *packed > 0xFF ? QByteArray(pair, 2) : QByteArray(pair + 1, 1);
}

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
    void decodeMatchesIconvForEveryByteAndPair() {
        const Iconv glibc(iconv_open("UTF-32LE", "CP932"), iconv_close);
        QVERIFY(glibc.get() != reinterpret_cast<iconv_t>(-1));
        std::set<int> differs;
        for (int b = 0; b < 0x100; ++b) {
            const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
            for (int t = 0; t < (lead ? 0x100 : 1); ++t) {
                const auto packed = static_cast<std::uint16_t>(lead ? b << 8 | t : b);
                const auto ours = cp932::decodeBytes(packed);
                if ((ours ? utf32(*ours) : QByteArray()) != viaIconv(glibc, packedBytes(packed))) {
                    differs.insert(packed);
                }
            }
        }
        QCOMPARE(differs, std::set<int>{});
    }

    void encodeMatchesIconvAndQtIcuForEveryCharacter() {
        const Iconv glibc(iconv_open("CP932", "UTF-32LE"), iconv_close);
        QVERIFY(glibc.get() != reinterpret_cast<iconv_t>(-1));
        QVERIFY2(QStringEncoder("windows-31j").isValid(), "Qt was built without ICU");
        std::set<char32_t> iconvDiffers, icuDiffers;
        for (char32_t c = 0; c <= 0xFFFF; ++c) {
            const QByteArray ours = packedBytes(cp932::encodeChar(c));
            if (ours != viaIconv(glibc, utf32(c))) {
                iconvDiffers.insert(c);
            }
            QStringEncoder icu("windows-31j");
            const QByteArray theirs = icu.encode(QString(QChar(static_cast<char16_t>(c))));
            if (ours != (icu.hasError() ? QByteArray() : theirs)) {
                icuDiffers.insert(c);
            }
        }
        // glibc silently best-fits these; ICU swaps the controls and folds U+F86F onto №.
        QCOMPARE(iconvDiffers, (std::set<char32_t>{0xA2, 0xA3, 0xA5, 0xAC, 0x2014, 0x2016, 0x203E,
                                                   0x2212, 0x301C}));
        QCOMPARE(icuDiffers, (std::set<char32_t>{0x1A, 0x1C, 0x7F, 0xF86F}));
    }

    void encode_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("encoded");  // bytes, what they read back as, unencodable
        const auto row = [](const char* name, const QString& text, const QString& encoded) {
            QTest::newRow(name) << text << encoded;
        };
        // Unencodable characters as "index:hex code point", counted in characters.
        row("\\ ~ ～ ① 髙 ｶﾞ exactly", u"\\~～①髙ｶﾞ"_qs, u"5c7e81608740fbfcb6de \\~～①髙ｶﾞ "_qs);
        row("look-alikes", u"\u00A5\u301C\u00AC\u2212\u2016\u00A2\u00A3\u2014\u203E"_qs,
            u"5c816081ca817c816181918192815c8150 \\～￢－∥￠￡―￣ "_qs);
        row("positions count characters", u"👍品♥"_qs, u"3f95693f ?品? 0:1f44d 2:2665"_qs);
        row("lone surrogate", QString(QChar(u'\xD800')), u"3f ? 0:d800"_qs);
    }

    void encode() {
        QFETCH(QString, text);
        QFETCH(QString, encoded);
        const cp932::Encoded e = cp932::encode(text);
        QCOMPARE(e.bytes.toHex() + ' ' + cp932::decode(e.bytes).text + ' ' + show(e.unencodable),
                 encoded);
        QCOMPARE(show(cp932::findUnencodable(text)), show(e.unencodable));
    }

    void invalidBytes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("decoded");  // text, invalid bytes, where the first is
        QTest::newRow("lead byte before a quote keeps the quote")
            << QByteArray::fromHex("8122") << u"\uFFFD\" 1 0"_qs;
        QTest::newRow("NUL kept, bad singles, lead byte at the end")
            << QByteArray::fromHex("004180a0fdfeff81")
            << u"\0A\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD 6 2"_qs;
        QTest::newRow("well-formed pair without character")
            << QByteArray::fromHex("8540") << u"\uFFFD 2 0"_qs;
    }

    void invalidBytes() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, decoded);
        const cp932::Decoded d = cp932::decode(bytes);
        QCOMPARE(u"%1 %2 %3"_qs.arg(d.text).arg(d.invalidBytes).arg(d.firstInvalidAt), decoded);
    }
    // A file another program saved as UTF-16 is told apart from Shift_JIS and UTF-8: by its
    // byte-order mark, either way round, also when the text holds no ASCII character at all,
    // and without one by the zero bytes of its ASCII characters.
    void looksLikeUtf16_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("utf16");
        const QString list = u"JANコード,品名,売価\r\n4901234567894,こいくちしょうゆ,398\r\n"_qs;
        const QString japanese = u"こいくちしょうゆ１Ｌ"_qs;  // no zero byte either way
        const auto as = [](QStringConverter::Encoding e, const QString& text, bool bom) {
            QStringEncoder encode(
                e, bom ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
            return QByteArray(encode(text));
        };
        using E = QStringConverter::Encoding;
        QTest::newRow("little-endian mark, Japanese only")
            << as(E::Utf16LE, japanese, true) << true;
        QTest::newRow("big-endian mark, Japanese only") << as(E::Utf16BE, japanese, true) << true;
        QTest::newRow("little-endian list, no mark") << as(E::Utf16LE, list, false) << true;
        QTest::newRow("big-endian list, no mark") << as(E::Utf16BE, list, false) << true;
        QTest::newRow("Japanese only, no mark") << as(E::Utf16BE, japanese, false) << false;
        QTest::newRow("Shift_JIS") << cp932::encode(list).bytes << false;
        QTest::newRow("UTF-8 with its mark") << as(E::Utf8, list, true) << false;
        QTest::newRow("binary, zeros on both sides")
            << QByteArray::fromHex("89504e470d0a1a0a0000000d4948445200000100000000c80806") << false;
        QTest::newRow("empty") << QByteArray() << false;
    }

    void looksLikeUtf16() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, utf16);
        QCOMPARE(zukaro::looksLikeUtf16(bytes), utf16);
    }
};

QTEST_APPLESS_MAIN(TestCp932)
#include "tst_cp932.moc"
