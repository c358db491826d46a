#pragma once

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

}  // namespace zukaro
