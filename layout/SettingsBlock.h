#pragma once

#include <vector>

#include "FieldReader.h"
#include "FieldWriter.h"
#include "SheetState.h"

// The ten-line layout settings block: the whole of data.txt and the tail of every label
// data file. Lines "印字位置調整", "縁取り", "jan", "BARCODE", "メーカー", "品名", "規格",
// "ロット", "売価", "円", ten fields each.
namespace zukaro {

inline constexpr int kSettingsLines = 10;
inline constexpr int kSettingsFieldsPerLine = 10;

void writeSettingsBlock(FieldWriter& writer, const Layout& layout);

// Reads 100 fields by position into `layout`. Section words and the constant zeros are read
// and ignored. A field that is missing, of the wrong type, outside its 16-bit or 32-bit
// target, a font size of 0 or less, a colour outside 0 to 0xFFFFFF, or (for a text target)
// holding undecodable bytes or control characters leaves its target unchanged. Returns how many
// target fields were left unchanged that way, plus the ignored fields that were missing.
int readSettingsBlock(FieldReader& reader, Layout& layout);

// What prices with tax need, kept in lines after the ten so that a reader that knows only the
// ten still opens the file: "総額表示" (mode, default rate, rounding, separators, fit), then
// "本体" and "税込" (the two lines' fonts, colours, captions and offsets, as item lines), and
// "特売表示" (whether the regular price is struck through), then "特価の字" and "通常価格の行"
// (the sale's two items, as item lines); "税率改定" once per rate change (class, rate, first
// day as yyyy-MM-dd); in label files, from `labels`, "税率" with the 21 labels' rates,
// "税区分" with their tax kinds (「内税」, 「非課税」 or empty), "特売価格", "通常価格",
// "特売開始日" and "特売終了日" with their sales; and last "単位価格" (on or off, its rounding,
// the item's font, colour and offsets). Each is written only when it holds something other
// than the defaults, so a file whose layout has the defaults and whose labels are all 外税 at
// the default rate without sales is what it always was.
void writeLinesAfterBlock(FieldWriter& writer, const Layout& layout,
                          const SheetState* labels = nullptr);

// The defaults of what the lines after the block hold; a file without those lines has them.
void resetLinesAfterBlock(Layout& layout);

// A line after the block, or the end of one, that was not read.
struct SkippedLine {
    int line = 0;        // in the file, 1-based
    QString first;       // the first field not read, as shownText quotes it
    int fields = 0;      // how many fields were not read
    bool known = false;  // fields after those of a line this program reads

    // "33 行目（「拡張」で始まる行）は、…読み飛ばしました。"
    QString text() const;
};

// How many skipped lines are kept to be named one by one; the rest are counted only, so that a
// file of a million unknown lines costs no more memory than one of twenty.
inline constexpr std::size_t kKeptSkippedLines = 20;

struct LinesAfterBlock {
    int skipped = 0;                 // fields of known lines that could not be used
    std::vector<SkippedLine> lines;  // in file order, the first kKeptSkippedLines
    qint64 moreLines = 0;            // skipped lines after those

    void add(SkippedLine line);
};

// "ほかに 12,345 行を読み飛ばしました。"
QString moreSkippedLinesText(qint64 moreLines);
// Reads the lines after the block, one line at a time: each line this program knows takes its
// own fields only, and every other line is skipped alone, so that a line added by a later
// version never costs the lines after it. `labels` takes the lines of a label file that hold
// a text per label; a day that is no day is kept as written (its sale stays off) and counted.
LinesAfterBlock readLinesAfterBlock(FieldReader& reader, Layout& layout,
                                    SheetState* labels = nullptr);

}  // namespace zukaro
