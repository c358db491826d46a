#include "Field.h"

#include <limits>

#include "HalfEven.h"
#include "NumberText.h"

namespace zukaro {

namespace {

std::optional<std::int64_t> toInteger(const Field& field, std::int64_t low, std::int64_t high) {
    switch (field.kind) {
        case Field::Kind::Number:
            return roundHalfEvenWithin(field.number, low, high);
        case Field::Kind::Text:
            if (const std::optional<double> value = parseNumber(field.text)) {
                return roundHalfEvenWithin(*value, low, high);
            }
            return std::nullopt;
        case Field::Kind::Boolean:
        case Field::Kind::Missing:
            break;
    }
    return std::nullopt;
}

}  // namespace

std::optional<QString> Field::toText() const {
    switch (kind) {
        case Kind::Text:
            return text;
        case Kind::Number:
            return decimalText(text);
        case Kind::Boolean:
            return boolean ? QStringLiteral("True") : QStringLiteral("False");
        case Kind::Missing:
            break;
    }
    return std::nullopt;
}

std::optional<std::int16_t> Field::toInt16() const {
    const auto value = toInteger(*this, std::numeric_limits<std::int16_t>::min(),
                                 std::numeric_limits<std::int16_t>::max());
    if (!value) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(*value);
}

std::optional<std::int32_t> Field::toInt32() const {
    const auto value = toInteger(*this, std::numeric_limits<std::int32_t>::min(),
                                 std::numeric_limits<std::int32_t>::max());
    if (!value) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(*value);
}

std::optional<bool> Field::toBool() const {
    if (kind != Kind::Boolean) {
        return std::nullopt;
    }
    return boolean;
}

}  // namespace zukaro
