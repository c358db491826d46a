#pragma once

#include <QString>

namespace zukaro {

// What the JAN field does to its text when the user leaves it: a 13-character text gets its
// 13th character replaced by the EAN-13 check digit of the first 12, an 8-character text its
// 8th by the EAN-8 check digit of the first 7. Any character other than 0 to 9 counts as 0.
// Twelve or seven digits (a code as suppliers' order sheets print it, before its check digit)
// get the check digit added. Other texts come back unchanged.
QString completeJanCheckDigit(const QString& text);

// True when completeJanCheckDigit adds a digit to `text` rather than replacing its last one.
bool lacksCheckDigit(const QString& text);

// Why a JAN text will print without bars, in Japanese ("8 桁か 13 桁ではありません"); empty
// when it gets its bars, and for a blank text, which asks for none.
QString janBarsProblem(const QString& text);

// What the JAN field, a list or the master says about a completed code: "チェックデジット 4
// を付けました。" or "チェックデジットを 0 から 4 に直しました。"; empty when nothing changed.
QString checkDigitNote(const QString& typed, const QString& completed);

}  // namespace zukaro
