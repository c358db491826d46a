#pragma once

#include <QByteArrayView>
#include <QString>

// Which encoding a product list's text file is in, told from its bytes.
namespace zukaro {

struct SourceText {
    bool ok = false;
    QString text;      // decoded, without a byte-order mark
    QString encoding;  // "UTF-8", "UTF-8 (BOM)" or "Shift_JIS"
    QString error;     // Japanese, names `name`; empty when ok
};

// UTF-8 (with or without a byte-order mark) when the bytes are valid UTF-8, else Shift_JIS
// (code page 932) when every byte belongs to a character there. Anything else is refused:
// UTF-16 (by its byte-order mark or its zero bytes), other binary data, and text valid in
// neither. `name` is the file name used in the message.
SourceText decodeSourceText(QByteArrayView bytes, const QString& name);

}  // namespace zukaro
