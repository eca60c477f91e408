#pragma once
// Numbers are held as text and turned into numbers only for arithmetic. These helpers
// give the text forms the program shows and stores, always with "." as the decimal
// separator whatever the locale.

#include <QString>

namespace quillon {

// Rounds to the nearest whole number, halves to the even one (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double v);
// Rounds to the given number of decimals, halves to even, judged on the decimal text
// of v (so 0.125 with 2 decimals gives 0.12 and 0.135 gives 0.14). A value that is
// exactly a single-precision number is judged on the float's shortest text, so a
// reading of 2.3525f widened to double still counts as a half. Negative decimals count
// as 0.
double RoundHalfEven(double v, int decimals);

// Formats v with a pattern of "0", "#" and at most one ".": "0" a digit always
// written, "#" a digit written only when significant, "." the decimal point. The value
// is rounded half-to-even (as RoundHalfEven) to the pattern's decimals; a negative
// value gets a leading "-" unless it rounds to zero (no "-0.000"). At least one
// integer digit is written; "#" never limits the integer digits. No thousands
// separators; other pattern characters are ignored. NaN and infinities give "NaN",
// "Inf", "-Inf". Examples: ("###0.000", -2.352) -> "-2.352", ("0000", 7) -> "0007",
// ("0000", 10000) -> "10000", ("####0", 0.4) -> "0", ("##0.00", 0.333) -> "0.33".
QString FormatNumber(double v, const QString& pattern);

// True when the whole text (blanks around it allowed) is one number: optional sign,
// digits with at most one ".", optional exponent. "OL", "", "-" and "1.2.3" are not.
bool IsNumeric(const QString& text);

// The number at the start of a text, the way a user's typed text is read: leading
// blanks skipped, then an optional sign, digits and one ".", reading stops at the
// first character that cannot continue the number; an exponent counts when digits
// follow the "e". "1.5abc" -> 1.5, "abc" -> 0, "" -> 0, " -2.5" -> -2.5, "2e3V" -> 2000.
double LeadingNumber(const QString& text);

// The whole text as a number when IsNumeric, otherwise `fallback`.
double NumberOr(const QString& text, double fallback);

// Truncation toward zero (Fix(-2.7) = -2).
double Fix(double v);

// The shortest plain text of a single-precision number: up to 7 significant digits,
// no trailing zeros, never "-0" ("0.333", "-10.5", "0", "1200", "0.00001"). Only
// values beyond 1e21 or below 1e-15 are written with an exponent ("1.5e-20").
QString PlainSingle(float v);
// The same for a double: up to 15 significant digits.
QString PlainDouble(double v);

}  // namespace quillon
