#pragma once

#include <cstdint>
#include <string>

#include "DrawTarget.h"

// JAN (EAN-13) and short JAN (EAN-8) barcodes: check digit, module pattern, and painting the
// pattern into a rectangle of a drawing target on the device pixel grid. Stateless.
namespace zukaro::Module1 {

// Paints the bars of `code` into the rectangle (x1, y1)-(x2, y2), given in the target's
// current scale units. Returns 0 when the bars were painted, 1 when the code was refused
// (a carried check digit that does not match, or a character other than 0 to 9); a refused
// code leaves the target untouched. The target's scale mode is the same on return.
std::int16_t drawJanBarcode(draw::DrawTarget& target, std::string code, double x1, double y1,
                            double x2, double y2);

// Computes the check digit. On return `code` holds the data digits (12 or 7 characters) and
// `checkDigit` the computed digit. Returns 1 when the code carried a check digit (13 or 8
// characters) that differs from the computed one, else 0. Characters other than 0 to 9
// count as 0.
std::int16_t janCheckDigit(std::string& code, std::int16_t& checkDigit);

// "LLLLLLL-GGGGGGG": the odd-parity (set A) and even-parity (set B) module codes of a digit.
std::string janDigitPatterns(int digit);

// Swaps every "0" and "1": the right-half (set C) code from the left-half one.
std::string invertModules(const std::string& modules);

// Six letters, "O" (odd, L code) or "E" (even, G code), for positions 2 to 7 of an EAN-13
// code with the given leading digit.
std::string janParityPattern(int leadingDigit);

// Four letters per character, most significant bit first: "E" for 1, "O" for 0. Anything
// that is not a hexadecimal digit gives "OOOO".
std::string hexToParityLetters(const std::string& hex);

}  // namespace zukaro::Module1
