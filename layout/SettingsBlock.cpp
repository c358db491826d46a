#include "SettingsBlock.h"

#include <array>

#include "Items.h"
#include "ShownText.h"
#include "SwitchCaptions.h"
#include "TaxPrice.h"

namespace zukaro {

namespace {

void writeZeros(FieldWriter& writer, int count) {
    for (int i = 0; i < count; ++i) {
        writer.integer(0);
    }
}

// Lines 3 and 5 to 10: one text item with its font, colour, captions and offset.
void writeItemLine(FieldWriter& writer, const Layout& layout, const ItemDescription& line) {
    const FontSpec& font = layout.*line.font;
    writer.text(QStringView(line.section));
    writer.text(font.Name);
    writer.integer(font.Size);
    writer.boolean(font.Bold);
    writer.boolean(font.Italic);
    writer.integer(layout.*line.color);
    writer.text(caption::ofShown(layout.*line.shown));
    if (line.underline) {
        writer.text(caption::ofUnderline(layout.*line.underline));
    } else {
        writer.integer(0);
    }
    writer.integer(layout.*line.x);
    writer.integer(layout.*line.y);
    writer.endLine();
}

// Takes fields off the reader and counts those that could not be used. On one line only, a
// line's end is where its fields end: what is missing there is missing, not taken from the
// next line.
class BlockReader {
public:
    explicit BlockReader(FieldReader& reader, bool oneLine = false)
        : reader_(reader), oneLine_(oneLine) {}

    Field next() { return oneLine_ && reader_.atLineStart() ? Field{} : reader_.next(); }

    void ignore(int count = 1) {
        for (int i = 0; i < count; ++i) {
            if (next().isMissing()) {
                ++skipped_;
            }
        }
    }

    void text(QString& target) {
        const std::optional<QString> value = next().toText();
        if (value && isCleanText(*value)) {
            target = *value;
        } else {
            ++skipped_;
        }
    }

    // An on/off switch kept as its button's caption (SwitchCaptions.h).
    void caption(bool& target, bool (*meaning)(const QString&)) {
        QString text;
        const int before = skipped_;
        this->text(text);
        if (skipped_ == before) {
            target = meaning(text);
        }
    }

    void int16(std::int16_t& target) { take(next().toInt16(), target); }
    void boolean(bool& target) { take(next().toBool(), target); }

    // A font size of 0 points or less draws nothing; the old size is the safer reading.
    void fontSize(std::int16_t& target) {
        const std::optional<std::int16_t> value = next().toInt16();
        take(value && *value > 0 ? value : std::nullopt, target);
    }
    // A Windows colour value holds blue, green and red in its three low bytes only.
    void color(std::int32_t& target) {
        const std::optional<std::int32_t> value = next().toInt32();
        take(value && *value >= 0 && *value <= 0xFFFFFF ? value : std::nullopt, target);
    }

    int skipped() const { return skipped_; }
    void countSkipped() { ++skipped_; }

private:
    template <typename T>
    void take(const std::optional<T>& value, T& target) {
        if (value) {
            target = *value;
        } else {
            ++skipped_;
        }
    }

    // A font name, caption or box text with undecodable bytes or control characters comes
    // from a damaged or binary file; keeping the old value is the safer reading.
    static bool isCleanText(const QString& text) {
        for (QChar c : text) {
            if (c.unicode() < 0x20 || c.unicode() == 0x7F || c.unicode() == 0xFFFD) {
                return false;
            }
        }
        return true;
    }

    FieldReader& reader_;
    bool oneLine_;
    int skipped_ = 0;
};

void readItemLine(BlockReader& in, Layout& layout, const ItemDescription& line,
                  bool sectionRead = false) {
    FontSpec& font = layout.*line.font;
    if (!sectionRead) {
        in.ignore();
    }
    in.text(font.Name);
    in.fontSize(font.Size);
    in.boolean(font.Bold);
    in.boolean(font.Italic);
    in.color(layout.*line.color);
    in.caption(layout.*line.shown, caption::isShown);
    if (line.underline) {
        in.caption(layout.*line.underline, caption::isUnderlined);
    } else {
        in.ignore();
    }
    in.int16(layout.*line.x);
    in.int16(layout.*line.y);
}

const QString kPriceSection = QStringLiteral("総額表示");
const QString kSaleSection = QStringLiteral("特売表示");
const QString kRateChangeSection = QStringLiteral("税率改定");
// Stored texts of the price modes and roundings, in the order of their enums.
const QString kModeTexts[] = {QStringLiteral("入力どおり"), QStringLiteral("税込表示"),
                              QStringLiteral("本体+税込")};
const QString kRoundingTexts[] = {QStringLiteral("切り捨て"), QStringLiteral("四捨五入"),
                                  QStringLiteral("切り上げ")};
// 単位価格: on or off, its rounding (in the order of UnitPriceRounding), then the item's font,
// colour and offsets, ten fields as an item line has.
const QString kUnitPriceSection = QStringLiteral("単位価格");
const QString kUnitPriceRoundingTexts[] = {QStringLiteral("1円"), QStringLiteral("0.1円")};

// The 本体 and 税込 lines, which come with 総額表示 and are written as item lines.
bool isPriceLine(const ItemDescription& item) {
    return item.shape == TextShape::NetLine || item.shape == TextShape::GrossLine;
}

// The lines of a label file that hold a text per label, in the order they are written: the
// rates and tax kinds first, so that an older reader that stops at a line it does not know
// has read those, then the sales.
enum class LabelLineKind { Rate, TaxKind, Price, Day };
struct LabelLine {
    const char16_t* section;
    LabelTexts SheetState::*texts;
    LabelLineKind kind;
};
constexpr LabelLine kLabelLines[] = {
    {u"税率", &SheetState::taxRate, LabelLineKind::Rate},
    {u"税区分", &SheetState::taxKind, LabelLineKind::TaxKind},
    {u"特売価格", &SheetState::salePrice, LabelLineKind::Price},
    {u"通常価格", &SheetState::regularPrice, LabelLineKind::Price},
    {u"特売開始日", &SheetState::saleFrom, LabelLineKind::Day},
    {u"特売終了日", &SheetState::saleTo, LabelLineKind::Day},
};

const LabelLine* labelLine(const QString& section) {
    for (const LabelLine& line : kLabelLines) {
        if (section == QStringView(line.section)) {
            return &line;
        }
    }
    return nullptr;
}

// The items whose lines follow 「特売表示」; the other items after the block follow 「総額表示」.
bool isSaleItem(const ItemDescription& item) {
    return item.item == Item::SaleMark || item.item == Item::RegularLine;
}

const ItemDescription* lineAfterBlock(const QString& section) {
    for (const ItemDescription& item : items()) {
        if ((isPriceLine(item) || isSaleItem(item)) && section == QStringView(item.section)) {
            return &item;
        }
    }
    return nullptr;
}

void resetItemsAfterBlock(Layout& layout, bool saleItems) {
    const Layout defaults;
    for (const ItemDescription& item : items()) {
        if (saleItems ? isSaleItem(item) : isPriceLine(item)) {
            layout.*item.font = defaults.*item.font;
            layout.*item.color = defaults.*item.color;
            layout.*item.shown = defaults.*item.shown;
            layout.*item.x = defaults.*item.x;
            layout.*item.y = defaults.*item.y;
        }
    }
}

void resetPriceSettings(Layout& layout) {
    const Layout defaults;
    layout.priceMode = defaults.priceMode;
    layout.defaultTaxRate = defaults.defaultTaxRate;
    layout.taxRounding = defaults.taxRounding;
    layout.thousandsSeparators = defaults.thousandsSeparators;
    layout.fitPrice = defaults.fitPrice;
    resetItemsAfterBlock(layout, false);
}

void resetSaleSettings(Layout& layout) {
    layout.strikeRegularPrice = Layout().strikeRegularPrice;
    resetItemsAfterBlock(layout, true);
}

bool hasPriceSettings(const Layout& layout) {
    Layout defaults = layout;
    resetPriceSettings(defaults);
    return !(defaults == layout);
}

bool hasSaleSettings(const Layout& layout) {
    Layout defaults = layout;
    resetSaleSettings(defaults);
    return !(defaults == layout);
}

template <typename Enum, std::size_t N>
void readChoice(BlockReader& in, const QString (&texts)[N], Enum& target) {
    QString text;
    in.text(text);
    for (std::size_t i = 0; i < N; ++i) {
        if (text == texts[i]) {
            target = static_cast<Enum>(i);
            return;
        }
    }
    if (!text.isNull()) {
        in.countSkipped();
    }
}

}  // namespace

void writeSettingsBlock(FieldWriter& writer, const Layout& layout) {
    writer.text(u"印字位置調整");
    writer.text(layout.x座標調整);
    writer.text(layout.y座標調整);
    writeZeros(writer, 7);
    writer.endLine();

    writer.text(u"縁取り");
    writer.text(caption::ofOutline(layout.縁取));
    writer.integer(layout.borderColor);
    writeZeros(writer, 7);
    writer.endLine();

    for (const ItemDescription& item : items()) {
        if (item.settingsLine == 0) {
            continue;  // kept after the ten lines
        }
        if (item.settingsLine == bars().settingsLine + 1) {
            writer.text(QStringView(bars().section));
            writeZeros(writer, 7);
            writer.integer(layout.*bars().x);
            writer.integer(layout.*bars().y);
            writer.endLine();
        }
        writeItemLine(writer, layout, item);
    }
}

int readSettingsBlock(FieldReader& reader, Layout& layout) {
    BlockReader in(reader);

    in.ignore();
    in.text(layout.x座標調整);
    in.text(layout.y座標調整);
    in.ignore(7);

    in.ignore();
    in.caption(layout.縁取, caption::isOutlined);
    in.color(layout.borderColor);
    in.ignore(7);

    for (const ItemDescription& item : items()) {
        if (item.settingsLine == 0) {
            continue;
        }
        if (item.settingsLine == bars().settingsLine + 1) {
            in.ignore(8);
            in.int16(layout.*bars().x);
            in.int16(layout.*bars().y);
        }
        readItemLine(in, layout, item);
    }
    return in.skipped();
}

namespace {

void resetUnitPriceLine(Layout& layout) {
    const Layout defaults;
    layout.unitPriceShown = defaults.unitPriceShown;
    layout.unitPriceRounding = defaults.unitPriceRounding;
    layout.unitPriceFont = defaults.unitPriceFont;
    layout.unitPriceColor = defaults.unitPriceColor;
    layout.unitPriceX = defaults.unitPriceX;
    layout.unitPriceY = defaults.unitPriceY;
}

void writeUnitPriceLine(FieldWriter& writer, const Layout& layout) {
    Layout defaults = layout;
    resetUnitPriceLine(defaults);
    if (defaults == layout) {
        return;
    }
    writer.text(kUnitPriceSection);
    writer.boolean(layout.unitPriceShown);
    writer.text(kUnitPriceRoundingTexts[static_cast<int>(layout.unitPriceRounding)]);
    writer.text(layout.unitPriceFont.Name);
    writer.integer(layout.unitPriceFont.Size);
    writer.boolean(layout.unitPriceFont.Bold);
    writer.boolean(layout.unitPriceFont.Italic);
    writer.integer(layout.unitPriceColor);
    writer.integer(layout.unitPriceX);
    writer.integer(layout.unitPriceY);
    writer.endLine();
}

void readUnitPriceLine(BlockReader& in, Layout& layout) {
    in.boolean(layout.unitPriceShown);
    readChoice(in, kUnitPriceRoundingTexts, layout.unitPriceRounding);
    in.text(layout.unitPriceFont.Name);
    in.fontSize(layout.unitPriceFont.Size);
    in.boolean(layout.unitPriceFont.Bold);
    in.boolean(layout.unitPriceFont.Italic);
    in.color(layout.unitPriceColor);
    in.int16(layout.unitPriceX);
    in.int16(layout.unitPriceY);
}

}  // namespace

void resetLinesAfterBlock(Layout& layout) {
    resetPriceSettings(layout);
    resetSaleSettings(layout);
    layout.taxRateChanges.clear();
    resetUnitPriceLine(layout);
}

void writeLinesAfterBlock(FieldWriter& writer, const Layout& layout, const SheetState* labels) {
    if (hasPriceSettings(layout)) {
        writer.text(kPriceSection);
        writer.text(kModeTexts[static_cast<int>(layout.priceMode)]);
        writer.integer(layout.defaultTaxRate);
        writer.text(kRoundingTexts[static_cast<int>(layout.taxRounding)]);
        writer.boolean(layout.thousandsSeparators);
        writer.boolean(layout.fitPrice);
        writeZeros(writer, 4);
        writer.endLine();
        for (const ItemDescription& item : items()) {
            if (isPriceLine(item)) {
                writeItemLine(writer, layout, item);
            }
        }
    }
    if (hasSaleSettings(layout)) {
        writer.text(kSaleSection);
        writer.boolean(layout.strikeRegularPrice);
        writeZeros(writer, 8);
        writer.endLine();
        for (const ItemDescription& item : items()) {
            if (item.settingsLine == 0 && isSaleItem(item)) {
                writeItemLine(writer, layout, item);
            }
        }
    }
    for (const TaxRateChange& change : layout.taxRateChanges) {
        writer.text(kRateChangeSection);
        writer.text(taxClassText(change.taxClass));
        writer.integer(change.ratePercent);
        writer.text(dayText(change.from));
        writer.endLine();
    }
    for (const LabelLine& line : kLabelLines) {
        if (labels == nullptr) {
            break;
        }
        const LabelTexts& texts = labels->*line.texts;
        bool any = false;
        for (int n = 1; n <= kLabelCount; ++n) {
            any = any || !texts[n].isEmpty();
        }
        if (!any) {
            continue;
        }
        writer.text(QStringView(line.section));
        for (int n = 1; n <= kLabelCount; ++n) {
            bool isNumber = false;
            const int rate = texts[n].toInt(&isNumber);
            if (line.kind == LabelLineKind::Rate && isNumber) {
                writer.integer(rate);
            } else {
                writer.text(texts[n]);
            }
        }
        writer.endLine();
    }
    // After the labels' lines: a reader that stops at a line it does not know has read them.
    writeUnitPriceLine(writer, layout);
}

QString SkippedLine::text() const {
    if (known) {
        return QStringLiteral("%1 行目の後ろにある %2 項目（「%3」から）は読み込んでいません。")
            .arg(line)
            .arg(fields)
            .arg(first);
    }
    return QStringLiteral(
               "%1 行目（「%2」で始まる行）は、この版では使わない設定のため読み飛ばしました。")
        .arg(line)
        .arg(first);
}

void LinesAfterBlock::add(SkippedLine line) {
    if (lines.size() < kKeptSkippedLines) {
        lines.push_back(std::move(line));
    } else {
        ++moreLines;
    }
}

QString moreSkippedLinesText(qint64 moreLines) {
    return QStringLiteral("ほかに %1 行を読み飛ばしました。").arg(countText(moreLines));
}

namespace {

// The fields left on the current line, as one skipped line (nothing when none is left).
void skipRestOfLine(FieldReader& reader, LinesAfterBlock& read, bool known) {
    SkippedLine skipped{0, {}, 0, known};
    while (!reader.atLineStart()) {
        const Field field = reader.next();
        if (skipped.fields++ == 0) {
            skipped.line = reader.fieldLine();
            skipped.first = shownText(field.text);
        }
    }
    if (skipped.fields > 0) {
        read.add(std::move(skipped));
    }
}

}  // namespace

namespace {

// One label's field of a label line, by the line's kind.
void readLabelField(BlockReader& in, const LabelLine& line, QString& target) {
    const Field field = in.next();
    const bool empty = field.kind == Field::Kind::Text && field.text.isEmpty();
    switch (line.kind) {
        case LabelLineKind::Rate: {
            const std::optional<std::int16_t> rate = field.toInt16();
            if (rate == kStandardTaxRate || rate == kReducedTaxRate) {
                target = QString::number(*rate);
                return;
            }
            break;
        }
        case LabelLineKind::TaxKind:
            if (field.kind == Field::Kind::Text &&
                (field.text == kTaxIncludedText || field.text == kTaxExemptText)) {
                target = field.text;
                return;
            }
            break;
        case LabelLineKind::Price:
            // As the record's price is read: a number written without quotes is its text.
            if (const std::optional<QString> text = field.toText()) {
                target = *text;
                target.remove(QChar(u'\0'));
                return;
            }
            break;
        case LabelLineKind::Day:
            if (field.kind == Field::Kind::Text && !empty) {
                // Kept as written even when it is no day: such a sale stays off (saleIsOn)
                // rather than running without its end, and the clerk is told.
                target = field.text;
                if (!dayFromText(field.text).isNull()) {
                    return;
                }
            }
            break;
    }
    if (!empty) {
        in.countSkipped();
    }
}

}  // namespace

LinesAfterBlock readLinesAfterBlock(FieldReader& reader, Layout& layout, SheetState* labels) {
    LinesAfterBlock read;
    BlockReader in(reader, /*oneLine=*/true);
    // A damaged block may end inside a line; the rest of that line is not settings.
    skipRestOfLine(reader, read, true);
    while (!reader.atEnd()) {
        const Field section = reader.next();
        const int line = reader.fieldLine();
        const QString name = section.kind == Field::Kind::Text ? section.text : QString();
        if (name == kPriceSection) {
            readChoice(in, kModeTexts, layout.priceMode);
            std::int16_t rate = 0;
            in.int16(rate);
            if (rate == kStandardTaxRate || rate == kReducedTaxRate) {
                layout.defaultTaxRate = rate;
            } else if (rate != 0) {
                in.countSkipped();
            }
            readChoice(in, kRoundingTexts, layout.taxRounding);
            in.boolean(layout.thousandsSeparators);
            in.boolean(layout.fitPrice);
            in.ignore(4);
        } else if (name == kUnitPriceSection) {
            readUnitPriceLine(in, layout);
        } else if (name == kSaleSection) {
            in.boolean(layout.strikeRegularPrice);
            in.ignore(8);
        } else if (name == kRateChangeSection) {
            QString classText;
            std::int16_t rate = -1;
            QString dayWritten;
            in.text(classText);
            in.int16(rate);
            in.text(dayWritten);
            const std::optional<TaxClass> taxClass = taxClassFromText(classText);
            const QDate from = dayFromText(dayWritten);
            if (taxClass && taxClass != TaxClass::Exempt && rate >= 0 && rate <= 100 &&
                !from.isNull()) {
                setTaxRateChange(layout.taxRateChanges, {*taxClass, rate, from});
            } else {
                in.countSkipped();
            }
        } else if (const ItemDescription* item = lineAfterBlock(name)) {
            readItemLine(in, layout, *item, /*sectionRead=*/true);
        } else if (const LabelLine* lineOfLabels = labelLine(name); lineOfLabels && labels) {
            for (int n = 1; n <= kLabelCount; ++n) {
                readLabelField(in, *lineOfLabels, (labels->*lineOfLabels->texts)[n]);
            }
        } else {
            // A line of a later version, or a damaged one: skipped alone.
            LinesAfterBlock rest;
            skipRestOfLine(reader, rest, false);
            read.add({line, shownText(section.text),
                      1 + (rest.lines.empty() ? 0 : rest.lines.front().fields), false});
            continue;
        }
        skipRestOfLine(reader, read, true);
    }
    read.skipped = in.skipped();
    return read;
}

}  // namespace zukaro
