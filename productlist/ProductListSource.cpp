#include "ProductListSource.h"

#include <QDir>
#include <climits>
#include <optional>
#include <utility>

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

QString readingStep(const QString& name) {
    return QStringLiteral("「%1」を読んでいます").arg(QDir::toNativeSeparators(name));
}

// The notes about single lines (read in another encoding) given to the rows that hold them: a
// row is passed on once the next one shows where it ends, since a quoted cell can span lines.
class NotedRows {
public:
    NotedRows(const std::vector<std::pair<int, QString>>& notes, const RowSink& take)
        : notes_(notes), take_(take) {}

    void add(SourceRow&& row) {
        if (held_) {
            pass(row.line);
        }
        held_ = std::move(row);
    }
    void finish() {
        if (held_) {
            pass(INT_MAX);
        }
    }

private:
    void pass(int nextLine) {
        SourceRow& row = *held_;
        for (; next_ < notes_.size() && notes_[next_].first < nextLine; ++next_) {
            const auto& [line, note] = notes_[next_];
            if (line >= row.line) {
                row.notes.append(
                    row.line == line ? note : QStringLiteral("%1 行目: %2").arg(line).arg(note));
            }
        }
        take_(std::move(row));
        held_.reset();
    }

    const std::vector<std::pair<int, QString>>& notes_;
    const RowSink& take_;
    std::optional<SourceRow> held_;
    std::size_t next_ = 0;
};

SourceResult readTextRows(const QString& text, const QString& encoding, QChar delimiter,
                          const QString& name, const std::vector<std::pair<int, QString>>& notes,
                          const RowSink& take, WorkProgress* progress) {
    beginStep(progress, readingStep(name), text.size());
    NotedRows noted(notes, take);
    SourceResult result = parseDelimitedRows(
        text, delimiter, name, [&noted](SourceRow&& row) { noted.add(std::move(row)); }, progress);
    noted.finish();
    result.format = encoding.isEmpty()
                        ? delimiterName(delimiter)
                        : QStringLiteral("%1・%2").arg(encoding, delimiterName(delimiter));
    return result;
}

bool isText(QByteArrayView bytes) {
    return !bytes.startsWith("PK\x03\x04") && !bytes.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
}

SourceResult readDecodedRows(SourceText text, const QString& name, const RowSink& take,
                             WorkProgress* progress) {
    if (!text.ok) {
        SourceResult result;
        result.error = text.error;
        return result;
    }
    text.text.squeeze();  // the decoder reserves room for the worst case
    return readTextRows(text.text, text.encoding, detectDelimiter(text.text), name, text.lineNotes,
                        take, progress);
}

SourceResult collected(const std::function<SourceResult(const RowSink&)>& read) {
    SourceTable table;
    SourceResult result = read([&table](SourceRow&& row) { table.rows.push_back(std::move(row)); });
    if (result.ok) {
        result.table = std::move(table);
    }
    return result;
}

}  // namespace

SourceResult readProductFile(const QString& path, WorkProgress* progress) {
    return collected(
        [&](const RowSink& take) { return readProductFileRows(path, take, progress); });
}

SourceResult readProductBytes(QByteArrayView bytes, const QString& name, WorkProgress* progress) {
    return collected(
        [&](const RowSink& take) { return readProductBytesRows(bytes, name, take, progress); });
}

SourceResult readProductFileRows(const QString& path, const RowSink& take, WorkProgress* progress) {
    ReadResult read = readFileBounded(path, kMaxProductListSize);
    if (!read.ok()) {
        SourceResult result;
        result.error = read.error;
        return result;
    }
    if (!isText(read.bytes)) {
        return readProductBytesRows(read.bytes, path, take, progress);
    }
    SourceText text = decodeSourceText(read.bytes, path);
    read.bytes = {};  // not needed once it is text
    return readDecodedRows(std::move(text), path, take, progress);
}

SourceResult readProductBytesRows(QByteArrayView bytes, const QString& name, const RowSink& take,
                                  WorkProgress* progress) {
    if (bytes.startsWith("PK\x03\x04")) {
        return readXlsxRows(bytes, name, take, progress);
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
    return readDecodedRows(decodeSourceText(bytes, name), name, take, progress);
}

SourceResult readPastedRows(const QString& text, WorkProgress* progress) {
    return collected([&](const RowSink& take) { return readPastedRows(text, take, progress); });
}

SourceResult readPastedRows(const QString& text, const RowSink& take, WorkProgress* progress) {
    const QChar delimiter = text.contains(u'\t') ? QChar(u'\t') : detectDelimiter(text);
    return readTextRows(text, {}, delimiter, QStringLiteral("貼り付けた行"), {}, take, progress);
}

}  // namespace zukaro
