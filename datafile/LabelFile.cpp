#include "LabelFile.h"

#include <QDir>
#include <QStringDecoder>
#include <algorithm>
#include <array>

#include "Cp932.h"
#include "EncodingGuess.h"
#include "FieldReader.h"
#include "FieldWriter.h"
#include "HalfEven.h"
#include "Items.h"
#include "NumberText.h"
#include "SettingsBlock.h"

namespace zukaro {

namespace {

const QString kHeader = QStringLiteral("ズカロ");
constexpr int kRecordFields = 7;

bool headerPasses(FieldReader& reader) {
    const Field first = reader.next();
    return first.kind == Field::Kind::Text && first.text == kHeader;
}

// The label a record fills, read from the start of its first field like the old reader did.
std::optional<int> recordNumber(const Field& field) {
    const double value = field.kind == Field::Kind::Number
                             ? field.number
                             : leadingNumber(field.toText().value_or(QString()));
    const std::optional<std::int64_t> n = roundHalfEvenWithin(value, 1, kLabelCount);
    if (!n) {
        return std::nullopt;
    }
    return static_cast<int>(*n);
}

// A file saved from another program in a Unicode encoding says so rather than only that its
// first line is wrong.
QString otherEncodingHint(QByteArrayView bytes) {
    const QString saidAs = QStringLiteral(
        "このファイルは %1 で保存されているようです。ズカロのファイルは Shift_JIS です。");
    if (looksLikeUtf16(bytes)) {
        return saidAs.arg(QStringLiteral("UTF-16"));
    }
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        return saidAs.arg(QStringLiteral("UTF-8"));
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    const bool nonAscii = std::any_of(bytes.begin(), bytes.end(),
                                      [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    if (!utf8.hasError() && nonAscii) {
        return saidAs.arg(QStringLiteral("UTF-8"));
    }
    return {};
}

// NUL characters come from damaged or binary files; no label text may hold one.
QString withoutNul(QString text, qsizetype& removed) {
    const qsizetype before = text.size();
    text.remove(QChar(u'\0'));
    removed += before - text.size();
    return text;
}

}  // namespace

std::vector<UnencodableText> findUnencodable(const SheetState& sheet) {
    std::vector<UnencodableText> found;
    for (int n = 1; n <= kLabelCount; ++n) {
        for (const ItemDescription* item : textItems()) {
            findUnencodable((sheet.*item->texts)[n], n, QString::fromUtf16(item->name), found);
        }
    }
    const std::vector<UnencodableText> layout = findUnencodable(sheet.layout);
    found.insert(found.end(), layout.begin(), layout.end());
    return found;
}

QByteArray labelFileBytes(const SheetState& sheet) {
    FieldWriter writer;
    writer.text(kHeader);
    writer.endLine();
    for (int n = 1; n <= kLabelCount; ++n) {
        writer.text(u' ' + QString::number(n));
        for (const ItemDescription* item : textItems()) {
            writer.text((sheet.*item->texts)[n]);
        }
        writer.endLine();
    }
    writeSettingsBlock(writer, sheet.layout);
    writeLinesAfterBlock(writer, sheet.layout, &sheet);
    return cp932::encode(writer.result()).bytes;
}

FileResult writeLabelFile(const QString& path, const SheetState& sheet, UnencodablePolicy policy,
                          FileSystem& fs) {
    if (policy == UnencodablePolicy::Refuse) {
        const std::vector<UnencodableText> found = findUnencodable(sheet);
        if (!found.empty()) {
            return unencodableRefusal(path, found);
        }
    }
    return writeFileAtomically(path, labelFileBytes(sheet), fs);
}

bool hasLabelFileHeader(QByteArrayView bytes) {
    const cp932::Decoded decoded = cp932::decode(bytes);
    FieldReader reader(decoded.text);
    return headerPasses(reader);
}

LabelFileReport readLabelData(QByteArrayView bytes, SheetState& sheet) {
    LabelFileReport report;
    const cp932::Decoded decoded = cp932::decode(bytes);
    FieldReader reader(decoded.text);
    if (!headerPasses(reader)) {
        report.encodingHint = otherEncodingHint(bytes);
        report.error = report.encodingHint.isEmpty()
                           ? QStringLiteral("1 行目が \"ズカロ\" ではありません。")
                           : report.encodingHint;
        return report;
    }
    report.opened = true;
    report.invalidBytes = decoded.invalidBytes;
    sheet.clearAllLabels();

    std::array<bool, kLabelCount + 1> filled{};
    for (int record = 1; record <= kLabelCount; ++record) {
        const Field numberField = reader.next();
        if (numberField.isMissing()) {
            report.missingFields += kRecordFields * (kLabelCount - record + 1);
            break;
        }
        const std::optional<int> n = recordNumber(numberField);
        if (!n) {
            report.droppedRecords.push_back(record);
        } else if (filled[static_cast<std::size_t>(*n)]) {
            report.overwrittenLabels.push_back(*n);
        }
        if (n) {
            filled[static_cast<std::size_t>(*n)] = true;
            // The later record replaces the whole label, even when it is cut short.
            for (const ItemDescription* item : textItems()) {
                (sheet.*item->texts)[*n].clear();
            }
        }
        for (const ItemDescription* item : textItems()) {
            const std::optional<QString> text = reader.next().toText();
            if (!text) {
                ++report.missingFields;
            } else if (n) {
                (sheet.*item->texts)[*n] = withoutNul(*text, report.nulCharacters);
            }
        }
    }

    report.settingsFieldsSkipped = readSettingsBlock(reader, sheet.layout);
    resetLinesAfterBlock(sheet.layout);
    const LinesAfterBlock after = readLinesAfterBlock(reader, sheet.layout, &sheet);
    report.settingsFieldsSkipped += after.skipped;
    report.skippedLines = after.lines;
    report.moreSkippedLines = after.moreLines;
    report.unclosedQuote = reader.sawUnclosedQuote();
    report.droppedAfterQuotes = reader.droppedAfterQuotes();
    return report;
}

LabelFileReport readLabelFile(const QString& path, SheetState& sheet) {
    const ReadResult read = readFileBounded(path);
    if (!read.ok()) {
        LabelFileReport report;
        report.unreadable = true;
        report.error = read.error;
        return report;
    }
    LabelFileReport report = readLabelData(read.bytes, sheet);
    if (!report.opened) {
        report.error = QStringLiteral("「%1」はズカロ形式のデータではありません。%2")
                           .arg(QDir::toNativeSeparators(path), report.error);
    }
    return report;
}

}  // namespace zukaro
