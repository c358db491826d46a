#pragma once

#include <QByteArrayView>
#include <QString>
#include <utility>
#include <vector>

// Which encoding a product list's text file is in, told from its bytes.
namespace zukaro {

struct SourceText {
    bool ok = false;
    QString text;      // decoded, without a byte-order mark
    QString encoding;  // "UTF-8", "UTF-8 (BOM)", "Shift_JIS", "Shift_JIS（UTF-8 の行あり）"…
    QString error;     // Japanese, names `name`; empty when ok
    // Lines read in the other encoding than the file's, each with a note for its row.
    std::vector<std::pair<int, QString>> lineNotes;
};

// UTF-8 (with or without a byte-order mark) when the bytes are valid UTF-8, else Shift_JIS
// (code page 932) when every byte belongs to a character there. Anything else is refused:
// UTF-16 (by its byte-order mark or its zero bytes), other binary data, and text valid in
// neither. `name` is the file name used in the message.
//
// A file whose lines disagree (a Shift_JIS list with a line pasted in UTF-8, or the other way
// round) is never read as garbled text: a line that is valid UTF-8 with Japanese characters in
// it is UTF-8, every other line Shift_JIS; the file is in the encoding of most of its lines and
// each line in the other one gets a note. A line valid in neither refuses the file.
SourceText decodeSourceText(QByteArrayView bytes, const QString& name);

}  // namespace zukaro
