// mbcs_text.h - character primitives on 8-bit texts in the ANSI code page,
// where a lead byte followed by a non-zero byte is one double-byte character.
#ifndef COMMON_MBCS_TEXT_H
#define COMMON_MBCS_TEXT_H

#include <cstddef>
#include <cstdint>

/// The character after the one at p; p itself at the terminator; null for null.
const char *MbcsNext(const char *p);
/// The start of the character before p in the text starting at start; start
/// when p is at or before start; null for null.
const char *MbcsPrevious(const char *start, const char *p);
/// The character at p: lead x 256 + trail for a double-byte character, else
/// the byte; 0 for null.
uint32_t MbcsCharValue(const char *p);
/// Compares at most n bytes of a and b as unsigned bytes, stopping at a
/// terminator (<0, 0, >0).  A null text sorts before any other; two nulls
/// are equal.
int MbcsCompareBytes(const char *a, const char *b, size_t n);
/// Appends to the text in dest (capacity bytes) the longest prefix of at
/// most n bytes of source that ends on a character boundary and leaves
/// room for the terminator.  Returns 1 when those n bytes (or all of a
/// shorter source) were appended, 0 when cut or for bad arguments.
int MbcsAppendBytes(char *dest, size_t capacity, const char *source, size_t n);
/// The first whole character equal to ch (as MbcsCharValue gives it), or
/// null; ch 0 finds the terminator.
const char *MbcsFindChar(const char *text, uint32_t ch);

#endif  // COMMON_MBCS_TEXT_H
