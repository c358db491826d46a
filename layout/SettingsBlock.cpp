#include "SettingsBlock.h"

#include <array>

namespace zukaro {

namespace {

// Lines 3 and 5 to 10: one text item with its font, colour, captions and offset.
struct ItemLine {
    const char16_t* section;
    FontSpec Layout::*font;
    WinColor Layout::*color;
    QString Layout::*shown;
    QString Layout::*underline;  // null where the line holds a constant 0
    std::int16_t Layout::*x;
    std::int16_t Layout::*y;
};

const std::array<ItemLine, 7>& itemLines() {
    static const std::array<ItemLine, 7> lines{{
        {u"jan", &Layout::janFont, &Layout::janColor, &Layout::jan表示, nullptr, &Layout::janX,
         &Layout::janY},
        {u"メーカー", &Layout::makerFont, &Layout::makerColor, &Layout::メーカー表示,
         &Layout::メーカーU表示, &Layout::makerX, &Layout::makerY},
        {u"品名", &Layout::productFont, &Layout::productColor, &Layout::品名表示,
         &Layout::品名U表示, &Layout::productX, &Layout::productY},
        {u"規格", &Layout::specFont, &Layout::specColor, &Layout::規格表示, &Layout::規格U表示,
         &Layout::specX, &Layout::specY},
        {u"ロット", &Layout::lotFont, &Layout::lotColor, &Layout::ロット表示, &Layout::ロットU表示,
         &Layout::lotX, &Layout::lotY},
        {u"売価", &Layout::priceFont, &Layout::priceColor, &Layout::単価表示, nullptr,
         &Layout::priceX, &Layout::priceY},
        {u"円", &Layout::yenFont, &Layout::yenColor, &Layout::円表示, nullptr, &Layout::yenX,
         &Layout::yenY},
    }};
    return lines;
}

void writeZeros(FieldWriter& writer, int count) {
    for (int i = 0; i < count; ++i) {
        writer.integer(0);
    }
}

void writeItemLine(FieldWriter& writer, const Layout& layout, const ItemLine& line) {
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

void readItemLine(BlockReader& in, Layout& layout, const ItemLine& line) {
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

    const auto& lines = itemLines();
    writeItemLine(writer, layout, lines[0]);

    writer.text(u"BARCODE");
    writeZeros(writer, 7);
    writer.integer(layout.barX);
    writer.integer(layout.barY);
    writer.endLine();

    for (std::size_t i = 1; i < lines.size(); ++i) {
        writeItemLine(writer, layout, lines[i]);
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

    const auto& lines = itemLines();
    readItemLine(in, layout, lines[0]);

    in.ignore(8);
    in.int16(layout.barX);
    in.int16(layout.barY);

    for (std::size_t i = 1; i < lines.size(); ++i) {
        readItemLine(in, layout, lines[i]);
    }
    return in.skipped();
}

}  // namespace zukaro
