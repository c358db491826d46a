#include "FileSafeValidator.h"

#include <utility>

namespace zukaro {

FileSafeValidator::FileSafeValidator(QObject* parent, std::function<int()> limit,
                                     std::function<qsizetype()> previousLength)
    : QValidator(parent), limit_(std::move(limit)), previousLength_(std::move(previousLength)) {}

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
    if (limit > 0 && input.size() > limit && input.size() > previousLength_()) {
        return Invalid;
    }
    return Acceptable;
}

}  // namespace zukaro
