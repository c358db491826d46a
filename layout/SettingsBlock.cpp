#include "SettingsBlock.h"

#include <array>

#include "Items.h"

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
    writer.text(layout.*line.shown);
    if (line.underline) {
        writer.text(layout.*line.underline);
    } else {
        writer.integer(0);
    }
    writer.integer(layout.*line.x);
    writer.integer(layout.*line.y);
    writer.endLine();
}

// Takes fields off the reader and counts those that could not be used.
class BlockReader {
public:
    explicit BlockReader(FieldReader& reader) : reader_(reader) {}

    void ignore(int count = 1) {
        for (int i = 0; i < count; ++i) {
            if (reader_.next().isMissing()) {
                ++skipped_;
            }
        }
    }

    void text(QString& target) {
        const std::optional<QString> value = reader_.next().toText();
        if (value && isCleanText(*value)) {
            target = *value;
        } else {
            ++skipped_;
        }
    }

    void int16(std::int16_t& target) { take(reader_.next().toInt16(), target); }
    void boolean(bool& target) { take(reader_.next().toBool(), target); }

    // A font size of 0 points or less draws nothing; the old size is the safer reading.
    void fontSize(std::int16_t& target) {
        const std::optional<std::int16_t> value = reader_.next().toInt16();
        take(value && *value > 0 ? value : std::nullopt, target);
    }
    // A Windows colour value holds blue, green and red in its three low bytes only.
    void color(std::int32_t& target) {
        const std::optional<std::int32_t> value = reader_.next().toInt32();
        take(value && *value >= 0 && *value <= 0xFFFFFF ? value : std::nullopt, target);
    }

    int skipped() const { return skipped_; }

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
    int skipped_ = 0;
};

void readItemLine(BlockReader& in, Layout& layout, const ItemDescription& line) {
    FontSpec& font = layout.*line.font;
    in.ignore();
    in.text(font.Name);
    in.fontSize(font.Size);
    in.boolean(font.Bold);
    in.boolean(font.Italic);
    in.color(layout.*line.color);
    in.text(layout.*line.shown);
    if (line.underline) {
        in.text(layout.*line.underline);
    } else {
        in.ignore();
    }
    in.int16(layout.*line.x);
    in.int16(layout.*line.y);
}

}  // namespace

void writeSettingsBlock(FieldWriter& writer, const Layout& layout) {
    writer.text(u"印字位置調整");
    writer.text(layout.x座標調整);
    writer.text(layout.y座標調整);
    writeZeros(writer, 7);
    writer.endLine();

    writer.text(u"縁取り");
    writer.text(layout.縁取);
    writer.integer(layout.borderColor);
    writeZeros(writer, 7);
    writer.endLine();

    for (const ItemDescription& item : items()) {
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
    in.text(layout.縁取);
    in.color(layout.borderColor);
    in.ignore(7);

    for (const ItemDescription& item : items()) {
        if (item.settingsLine == bars().settingsLine + 1) {
            in.ignore(8);
            in.int16(layout.*bars().x);
            in.int16(layout.*bars().y);
        }
        readItemLine(in, layout, item);
    }
    return in.skipped();
}

}  // namespace zukaro
