#pragma once

#include <QByteArrayView>

namespace zukaro {

// Whether bytes look like text in UTF-16: a byte-order mark, or without one, zero bytes always
// on the same side of their pairs. Every ASCII character (quotes, commas, digits, line ends) has
// a zero byte there, and Japanese characters rarely have one; zeros in other binary data fall
// on both sides. Looks at the first 4 KiB.
bool looksLikeUtf16(QByteArrayView bytes);

}  // namespace zukaro
