#include "EncodingGuess.h"

#include <algorithm>

namespace zukaro {

bool looksLikeUtf16(QByteArrayView bytes) {
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        return true;
    }
    const qsizetype n = std::min<qsizetype>(bytes.size(), 4096);
    qsizetype zeroEven = 0, zeroOdd = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (bytes[i] == '\0') {
            ++(i % 2 == 0 ? zeroEven : zeroOdd);
        }
    }
    const qsizetype zeros = zeroEven + zeroOdd;
    return zeros > 0 && std::max(zeroEven, zeroOdd) * 10 >= zeros * 9;
}

}  // namespace zukaro
