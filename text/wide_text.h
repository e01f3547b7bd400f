// wide_text.h - free functions on zero-terminated 16-bit texts: case,
// reversal, null substitutes, replacement and removal of code units.
//
// Code units are char16_t on every platform; case conversion goes through
// the runtime library's wide conversion one unit at a time (surrogates and
// results beyond 16 bits leave a unit unchanged), so 16-bit text converts
// the same where wchar_t has 32 bits.
#ifndef COMMON_WIDE_TEXT_H
#define COMMON_WIDE_TEXT_H

#include <cstddef>
#include <cstdint>

/// One code unit through towupper / towlower.
char16_t WideUpper(char16_t unit);
char16_t WideLower(char16_t unit);

/// In place, every unit through WideUpper / WideLower.  Returns text; null
/// returns null.
char16_t *UpperText(char16_t *text);
char16_t *LowerText(char16_t *text);
/// Reverses the code units in place.  1, or 0 for null or empty.
int ReverseText(char16_t *text);
/// The text, or u"" / u"NULL" for null.
const char16_t *TextOrEmpty(const char16_t *text);
const char16_t *TextOrNull(const char16_t *text);
/// Writes a terminator at the start / zeroes n units.  0 for null, else 1.
int SetEmptyText(char16_t *text);
int ZeroText(char16_t *buffer, size_t n);
/// Terminates text at the first occurrence of part.  Returns text.
char16_t *CutAt(char16_t *text, const char16_t *part);
/// Replaces every unit from by to.  Returns the number replaced.
uint32_t ReplaceCharIn(char16_t *text, char16_t from, char16_t to);
/// Replaces every unit that occurs in set by to.  Returns the number replaced.
uint32_t ReplaceCharsOf(char16_t *text, const char16_t *set, char16_t to);
/// Removes every unit that occurs in set.  Returns the number removed; 0
/// for a null text or set.
uint32_t RemoveCharsOf(char16_t *text, const char16_t *set);

/// Units of text before its terminator (0 for null).
size_t WideLength(const char16_t *text);
/// First occurrence of the n units of pattern in the length units of text,
/// or null.  n 0 finds text.
const char16_t *WideFind(const char16_t *text, size_t length, const char16_t *pattern, size_t n);

#endif  // COMMON_WIDE_TEXT_H
