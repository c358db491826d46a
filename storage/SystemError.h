#pragma once

#include <QString>

namespace zukaro {

// What a system error number means, in Japanese, for messages that tell the user why a file
// could not be read or written: "ディスクの空きがありません" rather than "Unknown error".
QString describeSystemError(int errorNumber);

// What kind of thing stands at a path that is not a regular file ("名前付きパイプ",
// "デバイス", "ソケット", "フォルダー"), from its st_mode.
QString describeFileKind(unsigned mode);

// Why a file that was being written stopped short, when the system can tell: the file-size
// limit of the program (ulimit -f) reached, or no room left on its disk. Empty otherwise.
QString whyCutShort(const QString& path);

}  // namespace zukaro
