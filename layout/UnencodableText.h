#pragma once

#include <QString>
#include <vector>

#include "SafeFile.h"
#include "SheetState.h"

namespace zukaro {

// What a save does with characters that code page 932 cannot hold: refuse the whole save
// (nothing is written), or write each as '?' once the user has agreed.
enum class UnencodablePolicy { Refuse, WriteQuestionMark };

// A character that code page 932 cannot hold, found before saving so that the save command
// can ask the user first. Label 0 stands for the layout (font names, captions, box texts).
struct UnencodableText {
    int label = 0;
    QString item;        // the item's Japanese name, e.g. "品名" or "品名のフォント名"
    qsizetype position;  // 1-based, in characters from the start of the item's text
    char32_t character;

    bool operator==(const UnencodableText&) const = default;
};

// Every unencodable character of the layout's texts, in the block's order.
std::vector<UnencodableText> findUnencodable(const Layout& layout);

// Appends those of one text.
void findUnencodable(const QString& text, int label, const QString& item,
                     std::vector<UnencodableText>& found);

// The outcome of a save refused for characters code page 932 cannot hold: nothing written,
// the error naming the file and listing them.
FileResult unencodableRefusal(const QString& path, const std::vector<UnencodableText>& found);

// A Japanese list for the question before saving, one line per character, at most
// `maxLines` lines and then how many more there are:
// "ラベル 3 の品名、5 文字目「♥」(U+2665)".
QString describeUnencodable(const std::vector<UnencodableText>& found, int maxLines = 10);

}  // namespace zukaro
