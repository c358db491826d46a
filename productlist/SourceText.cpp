#include "SourceText.h"

#include <QDir>
#include <QStringDecoder>

#include "Cp932.h"
#include "EncodingGuess.h"

namespace zukaro {

namespace {

QString refusal(const QString& name, const QString& reason) {
    return QStringLiteral("「%1」は読めません。%2").arg(QDir::toNativeSeparators(name), reason);
}

const QString& saveAgain() {
    static const QString text =
        QStringLiteral("UTF-8 か Shift_JIS の CSV として保存し直してください。");
    return text;
}

int lineOf(QByteArrayView bytes, qsizetype offset) {
    return static_cast<int>(bytes.first(offset).count('\n')) + 1;
}

}  // namespace

SourceText decodeSourceText(QByteArrayView bytes, const QString& name) {
    SourceText result;
    if (looksLikeUtf16(bytes)) {
        result.error =
            refusal(name, QStringLiteral("UTF-16 の文字のファイルのようです。") + saveAgain());
        return result;
    }
    if (bytes.contains('\0')) {
        result.error = refusal(
            name, QStringLiteral("文字のファイルではないようです（0 のバイトがあります）。") +
                      saveAgain());
        return result;
    }

    const bool bom = bytes.startsWith("\xEF\xBB\xBF");
    const QByteArrayView body = bom ? bytes.sliced(3) : bytes;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(body);
    if (!utf8.hasError()) {
        result.ok = true;
        result.text = std::move(text);
        result.encoding = bom ? QStringLiteral("UTF-8 (BOM)") : QStringLiteral("UTF-8");
        return result;
    }
    if (bom) {
        result.error = refusal(
            name, QStringLiteral("UTF-8 の印 (BOM) がありますが、その後が正しい UTF-8 ではありま"
                                 "せん。") +
                      saveAgain());
        return result;
    }

    cp932::Decoded sjis = cp932::decode(body);
    if (sjis.invalidBytes == 0) {
        result.ok = true;
        result.text = std::move(sjis.text);
        result.encoding = QStringLiteral("Shift_JIS");
        return result;
    }
    result.error = refusal(
        name, QStringLiteral("UTF-8 でも Shift_JIS でもありません（Shift_JIS として読むと %1 行"
                             "目に文字にならないバイトがあります）。")
                      .arg(lineOf(body, sjis.firstInvalidAt)) +
                  saveAgain());
    return result;
}

}  // namespace zukaro
