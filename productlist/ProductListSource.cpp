#include "ProductListSource.h"

#include <QDir>

#include "DelimitedText.h"
#include "SafeFile.h"
#include "SourceText.h"
#include "XlsxReader.h"

namespace zukaro {

namespace {

QString delimiterName(QChar delimiter) {
    if (delimiter == u'\t') {
        return QStringLiteral("タブ区切り");
    }
    return delimiter == u';' ? QStringLiteral("セミコロン区切り") : QStringLiteral("カンマ区切り");
}

SourceResult readText(const QString& text, const QString& encoding, QChar delimiter,
                      const QString& name) {
    SourceResult result = parseDelimitedText(text, delimiter, name);
    result.format = encoding.isEmpty()
                        ? delimiterName(delimiter)
                        : QStringLiteral("%1・%2").arg(encoding, delimiterName(delimiter));
    return result;
}

}  // namespace

SourceResult readProductFile(const QString& path) {
    const ReadResult read = readFileBounded(path);
    if (!read.ok()) {
        SourceResult result;
        result.error = read.error;
        return result;
    }
    return readProductBytes(read.bytes, path);
}

SourceResult readProductBytes(QByteArrayView bytes, const QString& name) {
    if (bytes.startsWith("PK\x03\x04")) {
        return readXlsx(bytes, name);
    }
    // The compound-file signature: an .xls workbook, or an .xlsx saved with a password.
    if (bytes.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")) {
        SourceResult result;
        result.error = QStringLiteral(
                           "「%1」は古い Excel 形式 (.xls) か、パスワード付きのブック"
                           "です。.xlsx か CSV で保存し直してください。")
                           .arg(QDir::toNativeSeparators(name));
        return result;
    }
    const SourceText text = decodeSourceText(bytes, name);
    if (!text.ok) {
        SourceResult result;
        result.error = text.error;
        return result;
    }
    return readText(text.text, text.encoding, detectDelimiter(text.text), name);
}

SourceResult readPastedRows(const QString& text) {
    const QChar delimiter = text.contains(u'\t') ? QChar(u'\t') : detectDelimiter(text);
    return readText(text, {}, delimiter, QStringLiteral("貼り付けた行"));
}

}  // namespace zukaro
