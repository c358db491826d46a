#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

// Numbers in the text files, read the way the old files were written and read.
namespace zukaro {

// The number at the start of a text: leading blanks are skipped, an optional sign, digits, a
// fraction and an exponent are taken as far as they go; a text that does not start with a
// number gives 0 ("7abc" → 7, " 1.5" → 1.5, "abc" → 0).
double leadingNumber(QStringView text);

// The whole text (blanks around it aside) as a decimal number, or nothing ("5", "-3", "1.5",
// "2E3"; not "", "5x", "0x10").
std::optional<double> parseNumber(QStringView text);

// The decimal text of a number token as it stood in a file: an integer keeps all its digits
// ("4901234567894", "007" → "7", "+5" → "5"); other numbers in up to 15 significant digits
// ("1.5", "1E+20").
QString decimalText(QStringView token);

}  // namespace zukaro
