// value_text.h - integers to text in caller buffers, and text to integers.
#ifndef COMMON_VALUE_TEXT_H
#define COMMON_VALUE_TEXT_H

#include <cstddef>
#include <cstdint>

class CCommonString;

/// Writes value with bounded formatting ("%i", "%u", "%hi") into buffer of
/// capacity bytes (cut to capacity - 1 bytes when longer) and returns
/// buffer.  A null buffer returns the constant text "NULL"; capacity 0
/// writes nothing.
const char *IntToText(char *buffer, size_t capacity, int32_t value);
const char *UIntToText(char *buffer, size_t capacity, uint32_t value);
/// A 16-bit value, written as signed decimal.
const char *ShortToText(char *buffer, size_t capacity, int16_t value);
/// The string forms: out receives the text; returns its text ("" when
/// storage was not obtained).
const char *IntToText(CCommonString &out, int32_t value);
const char *UIntToText(CCommonString &out, uint32_t value);

/// Upper-case hexadecimal without leading zeros ("0" for zero).  Returns
/// buffer, null when the digits and the terminator do not fit (nothing is
/// written then), or "NULL" for a null buffer.
const char *UInt64ToHex(char *buffer, size_t capacity, uint64_t value);

/// Reads text as an unsigned / signed 32-bit number in base (0: by prefix,
/// as the runtime library's conversion does, else 2 to 36) after skipping
/// leading spaces.  A value beyond 32 bits is a range error and saturates
/// (a negated unsigned value wraps as the runtime's strtoul does).  *out
/// (when given) receives the value.  Returns 1 when the value is non-zero,
/// or when it is zero, no range error occurred and at least one character
/// was read; else 0 (also for a null text or a text of spaces only).
int TextToULong(const char *text, uint32_t *out, int base);
int TextToLong(const char *text, int32_t *out, int base);

/// 1 when, after leading spaces, every character up to the next space or
/// the end is a digit or "." (so also for "" and for spaces only); 0 at the
/// first other character and for null.
int IsNumericText(const char *text);
int IsNumericText(const CCommonString &text);

#endif  // COMMON_VALUE_TEXT_H
