// wide_format.h - printf-style formatting of 16-bit texts, the same on every
// platform (the runtime library's wide formatting works on wchar_t, which
// has 32 bits on Linux).
//
// The format is a 16-bit text with the conversions of printf: flags
// "-+ #0", a width and a precision (digits or "*"), the length modifiers
// hh h l ll L j z t I32 I64 w, and d i u o x X e E f F g G a A p c s %.
// Strings and characters follow the wide printf of the Windows runtime:
// "%s", "%ls", "%ws" take a 16-bit text (const char16_t *), "%hs" and "%S"
// an 8-bit text (its bytes widened one to one); "%c", "%lc", "%wc" take a
// 16-bit unit, "%hc" and "%C" an 8-bit character.  A null text prints
// "(null)".  "%n" is refused.  Numbers are written as the runtime's printf
// writes them (the locale's decimal point included), widened to 16 bits.
#ifndef COMMON_WIDE_FORMAT_H
#define COMMON_WIDE_FORMAT_H

#include <cstdarg>
#include <cstddef>

/// Formats into out of capacity units (capacity 0 or a null out only
/// measures).  Returns the number of units of the whole result, terminator
/// not counted, whether or not it fitted; what fits is written and
/// terminated.  -1 for a null or malformed format.
int WideFormatV(char16_t *out, size_t capacity, const char16_t *format, va_list args);
int WideFormat(char16_t *out, size_t capacity, const char16_t *format, ...);

#endif  // COMMON_WIDE_FORMAT_H
