// text.h - bounded formatting, bounded copy and append, null-safe text helpers.
#ifndef SAL_TEXT_H
#define SAL_TEXT_H

#include <cstdarg>
#include <cstddef>
#include <cstdint>

#include "base/sal_config.h"

/// The body of a printf-style function that hands its arguments on as a
/// va_list: starts args behind the parameter last, evaluates call (which
/// uses args), ends args and returns call's value.  For example
///   int Format(const char *format, ...) {
///     SAL_RETURN_VA_CALL(args, format, FormatV(format, args));
///   }
#define SAL_RETURN_VA_CALL(args, last, call) \
  va_list args;                              \
  va_start(args, last);                      \
  const auto args##Result = (call);          \
  va_end(args);                              \
  return args##Result

/// printf-style formatting into dest of capacity bytes.  A null dest or
/// format, or a capacity of 0, writes nothing and returns -1.  A result that
/// fits is written with its terminator and its length returned; a longer one
/// is cut to capacity - 1 bytes, terminated, and -1 returned.
int BoundedFormat(char *dest, size_t capacity, const char *format, ...)
    SAL_PRINTF_LIKE(3, 4);
int BoundedFormatV(char *dest, size_t capacity, const char *format, va_list args);

/// BoundedFormat(dest, capacity, "%s", text) without the formatter: the
/// same bytes, cut and result.  A null text is refused like a null format.
int BoundedFormatString(char *dest, size_t capacity, const char *text);

/// Copies the longest prefix of source that fits into capacity - 1 bytes
/// without splitting a double-byte character of the ANSI code page, and
/// terminates it.  Stores the bytes copied in *copied when given.  Returns 1
/// when all of source was copied, 0 when it was cut.  A null dest or source,
/// or a capacity of 0, writes nothing and returns 0.
int BoundedCopy(char *dest, size_t capacity, const char *source, size_t *copied = nullptr);

/// As BoundedCopy, but copies at most maxChars whole characters; returns 1
/// when that prefix (or all of a shorter source) fitted.
int BoundedCopyN(char *dest, size_t capacity, const char *source, size_t maxChars,
                 size_t *copied = nullptr);

/// 16-bit form of BoundedCopy; capacity in 16-bit units, no double-byte rule.
int BoundedCopyW(char16_t *dest, size_t capacity, const char16_t *source,
                 size_t *copied = nullptr);

/// Appends to the text in dest the longest prefix of whole characters of
/// source that leaves room for the terminator.  Returns 1 when all was
/// appended, 0 when cut.  Changes nothing and returns 0 when dest already
/// holds capacity - 1 bytes or more without a terminator inside capacity.
int BoundedAppend(char *dest, size_t capacity, const char *source,
                  size_t *appended = nullptr);

/// Appends one byte when the text's length plus 2 fits into capacity.
int BoundedAppendChar(char *dest, size_t capacity, char ch);

/// Length of text, 0 for null.
size_t SafeStrLen(const char *text);
size_t SafeWcsLen(const char16_t *text);

/// First / last whole character equal to ch (a double-byte character is
/// lead x 256 + trail).  ch 0 finds the terminator.  Null text: null.
const char *SafeStrChr(const char *text, unsigned ch);
const char *SafeStrRChr(const char *text, unsigned ch);

/// First occurrence of pattern starting on a character boundary; an empty
/// pattern matches at the start.  Null text or pattern: null.
const char *SafeStrStr(const char *text, const char *pattern);

/// Byte-wise / ASCII-case-insensitive comparison (<0, 0, >0).  A null text
/// sorts after every other text; two nulls are equal.
int SafeStrCmp(const char *a, const char *b);
int SafeStrICmp(const char *a, const char *b);

/// One printf conversion of a format: what stands between its "%" and its
/// letter (flags, width, precision, length modifiers) and the letter, which
/// is '\0' for a "%" at the end of the format.
struct SalConversion {
  const char *spec;
  size_t specLength;
  char letter;
};

/// Finds the next conversion at or after format ("%%" is none), stores it
/// in *conversion and moves format past it.  False when there is none.
bool SalNextConversion(const char *&format, SalConversion *conversion);

/// Whether format has the same printf conversions as reference, in order,
/// each with the same flags, width, precision and length.  False when
/// either is null.
bool SalSameConversions(const char *format, const char *reference);

#endif  // SAL_TEXT_H
