#include "LabelFile.h"

#include <QDir>
#include <array>

#include "Cp932.h"
#include "FieldReader.h"
#include "FieldWriter.h"
#include "NumberText.h"
#include "SettingsBlock.h"

namespace zukaro {

namespace {

const QString kHeader = QStringLiteral("ズカロ");
constexpr int kRecordFields = 7;

struct LabelItem {
    LabelTexts SheetState::*texts;
    const char16_t* name;
};

// The six texts of a record, in file order: the lot comes before the price.
constexpr std::array<LabelItem, 6> kItems{{
    {&SheetState::janText, u"JAN"},
    {&SheetState::makerText, u"メーカー"},
    {&SheetState::productText, u"品名"},
    {&SheetState::specText, u"規格"},
    {&SheetState::lotText, u"ロット"},
    {&SheetState::priceText, u"売価"},
}};

bool headerPasses(FieldReader& reader) {
    const Field first = reader.next();
    return first.kind == Field::Kind::Text && first.text == kHeader;
}

// The label a record fills, read from the start of its first field like the old reader did.
std::optional<int> recordNumber(const Field& field) {
    const double value = field.kind == Field::Kind::Number
                             ? field.number
                             : leadingNumber(field.toText().value_or(QString()));
    const std::optional<std::int64_t> n = roundHalfEven(value, 1, kLabelCount);
    if (!n) {
        return std::nullopt;
    }
    return static_cast<int>(*n);
}

QString cannotOpen(const QString& reason) {
    return QStringLiteral("ズカロ形式のデータではありません。%1").arg(reason);
}

}  // namespace

std::vector<UnencodableText> findUnencodable(const SheetState& sheet) {
    std::vector<UnencodableText> found;
    for (int n = 1; n <= kLabelCount; ++n) {
        for (const LabelItem& item : kItems) {
            findUnencodable((sheet.*item.texts)[n], n, QString::fromUtf16(item.name), found);
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
        for (const LabelItem& item : kItems) {
            writer.text((sheet.*item.texts)[n]);
        }
        writer.endLine();
    }
    writeSettingsBlock(writer, sheet.layout);
    return cp932::encode(writer.result()).bytes;
}

FileResult writeLabelFile(const QString& path, const SheetState& sheet, UnencodablePolicy policy,
                          const DeviceWrapper& wrap) {
    if (policy == UnencodablePolicy::Refuse) {
        const std::vector<UnencodableText> found = findUnencodable(sheet);
        if (!found.empty()) {
            return {false, path,
                    QStringLiteral(
                        "「%1」に保存できませんでした。シフトJISで書けない文字があります。\n%2")
                        .arg(QDir::toNativeSeparators(path), describeUnencodable(found))};
        }
    }
    return writeFileAtomically(path, labelFileBytes(sheet), wrap);
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
        report.error = cannotOpen(QStringLiteral("1 行目が \"ズカロ\" ではありません。"));
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
            for (const LabelItem& item : kItems) {
                (sheet.*item.texts)[*n].clear();
            }
        }
        for (const LabelItem& item : kItems) {
            const std::optional<QString> text = reader.next().toText();
            if (!text) {
                ++report.missingFields;
            } else if (n) {
                (sheet.*item.texts)[*n] = *text;
            }
        }
    }

    report.settingsFieldsSkipped = readSettingsBlock(reader, sheet.layout);
    while (!reader.atEnd()) {
        reader.next();
        ++report.trailingFields;
    }
    report.unclosedQuote = reader.sawUnclosedQuote();
    report.droppedAfterQuotes = reader.droppedAfterQuotes();
    return report;
}

LabelFileReport readLabelFile(const QString& path, SheetState& sheet) {
    const ReadResult read = readFileBounded(path);
    if (!read.ok()) {
        LabelFileReport report;
        report.error = cannotOpen(read.error);
        return report;
    }
    return readLabelData(read.bytes, sheet);
}

}  // namespace zukaro
