#include "FileSafeValidator.h"

#include <algorithm>
#include <utility>

namespace zukaro {

FileSafeValidator::FileSafeValidator(QObject* parent, std::function<int()> limit,
                                     std::function<QString()> previous,
                                     std::function<void(int)> cut)
    : QValidator(parent),
      limit_(std::move(limit)),
      previous_(std::move(previous)),
      cut_(std::move(cut)) {}

FileSafeValidator::FileSafeValidator(QObject* parent) : QValidator(parent) {}

QValidator::State FileSafeValidator::validate(QString& input, int& pos) const {
    for (qsizetype i = input.size() - 1; i >= 0; --i) {
        const QChar c = input.at(i);
        if (c == QLatin1Char('"') || c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            input.remove(i, 1);
            if (i < pos) {
                --pos;
            }
        }
    }
    const int limit = limit_ ? limit_() : 0;
    if (limit <= 0) {
        return Acceptable;
    }
    const QString before = previous_();
    const qsizetype allowed = std::max<qsizetype>(limit, before.size());
    if (input.size() <= allowed) {
        return Acceptable;
    }
    // What the edit put in lies between the part it kept at the start and the one at the end.
    qsizetype head = 0;
    while (head < before.size() && head < input.size() && before[head] == input[head]) {
        ++head;
    }
    qsizetype tail = 0;
    while (tail < before.size() - head && tail < input.size() - head &&
           before[before.size() - 1 - tail] == input[input.size() - 1 - tail]) {
        ++tail;
    }
    qsizetype keep = allowed - head - tail;
    if (keep > 0 && input[head + keep - 1].isHighSurrogate()) {
        --keep;  // never half a character
    }
    keep = std::max<qsizetype>(keep, 0);
    input.remove(head + keep, input.size() - head - tail - keep);
    pos = static_cast<int>(head + keep);
    if (cut_) {
        cut_(static_cast<int>(head + keep + 1));
    }
    return Acceptable;
}

}  // namespace zukaro
