// double_text.h - doubles to text and back, whatever the locale's decimal
// point, and the shortest text that reads back as the same double.
#ifndef COMMON_DOUBLE_TEXT_H
#define COMMON_DOUBLE_TEXT_H

class CCommonString;

/// Flags of DoubleToText and DoubleToShortestText.
constexpr int kDoubleExponent = 1;   // "E" conversion
constexpr int kDoubleFixed = 2;      // "f" conversion (neither: "G")
constexpr int kDoubleSign = 4;       // "+" flag
constexpr int kDoubleAlternate = 8;  // "#" flag

/// Writes value with decimals digits after the point into string and
/// returns its text.  When |value| < 1 and decimals <= 0 the text is "0"
/// (or "-0" for a negative value).  Otherwise: a minus sign for negative
/// values, the integer digits, and for decimals > 0 a point and decimals
/// digits; a negative decimals rounds to a power of ten (1234.5 with -2
/// gives "1200").  Rounding is to nearest on the exact binary value.
/// decimals above 340 counts as 340.  Infinities and NaN give "inf",
/// "-inf" and "nan".  The result is "" when storage was not obtained.
const char *DoubleToFixed(double value, CCommonString &string, int decimals);

/// Formats value with "%[#][+]1.*{E|f|G}" (conversion by flags & 3: 1 "E",
/// 2 "f", else "G"; "#" with kDoubleAlternate, "+" with kDoubleSign) and
/// precision; the locale's decimal point is written as ".".  Returns the
/// string's text.
const char *DoubleToText(double value, CCommonString &string, int precision, int flags);

/// Reads text as a double with "." as the decimal point whatever the
/// locale: with useScan 0 the runtime library's conversion, else a
/// formatted scan with "%lG".  0 for a null or unreadable text.
double ParseDouble(const char *text, int useScan);
/// The same where only the first "." is the decimal point (plain conversion).
double ParseDoubleFirstPoint(const char *text);

/// The shortest precision from minPrecision on whose DoubleToText text reads
/// back (ParseDouble) as exactly value: returns 1 with that text in string,
/// or 0 when no precision up to the limit does (always for NaN).  The limit
/// is 17 significant digits, for the "f" conversion 17 digits behind the
/// first significant one.
int DoubleToShortestText(double value, CCommonString &string, int minPrecision, int flags);

#endif  // COMMON_DOUBLE_TEXT_H
