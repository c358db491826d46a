#pragma once

#include <QString>
#include <QStringView>

// Texts from the user's files as messages quote them. A cell can be megabytes long, or hold
// escape sequences that would clear or retitle the terminal a script's stderr goes to.
namespace zukaro {

// How many characters of a quoted text a message shows.
inline constexpr qsizetype kShownTextLength = 40;

// At most `maxChars` characters of `text`, then "…（全 N 文字）"; control characters, and
// the marks that turn the direction of text around, written as escapes ("\n", "\t", "\x1B",
// "\u202E"), so that what is shown is what is there.
QString shownText(QStringView text, qsizetype maxChars = kShownTextLength);

// Every control character escaped as shownText does, nothing cut: for a whole line of a
// message on a terminal.
QString withoutControls(QStringView text);

// A count with thousands separators: "12,345".
QString countText(qint64 count);

}  // namespace zukaro
