#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace zukaro {

// One field of a settings or label data line as the reader found it.
struct Field {
    enum class Kind {
        Missing,  // the text ended before this field
        Text,     // a quoted text, or an unquoted one that is neither number nor Boolean
        Number,   // an unquoted decimal number
        Boolean,  // #TRUE# or #FALSE#
    };

    Kind kind = Kind::Missing;
    QString text;  // the text; for a number the token as written
    double number = 0.0;
    bool boolean = false;
    bool quoted = false;

    bool isMissing() const { return kind == Kind::Missing; }

    // The field as a text target takes it: a number becomes its decimal text, a Boolean
    // "True" or "False". Nothing for a missing field.
    std::optional<QString> toText() const;

    // The field as a 16-bit or 32-bit target takes it: a number, or a text that is a number
    // as a whole ("5"), rounded halves to even. Nothing when it is not a number or does not
    // fit; a Boolean is not a number here.
    std::optional<std::int16_t> toInt16() const;
    std::optional<std::int32_t> toInt32() const;

    // Only #TRUE# and #FALSE# are Booleans.
    std::optional<bool> toBool() const;

    bool operator==(const Field&) const = default;
};

}  // namespace zukaro
