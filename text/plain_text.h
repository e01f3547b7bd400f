// plain_text.h - free functions on zero-terminated 8-bit texts: case,
// reversal, null substitutes, character replacement and removal, masked
// copies, C-style escaping of controls, trimming.
//
// Texts are in the ANSI code page: where a function speaks of characters,
// a double-byte character (a lead byte followed by a non-zero byte) is one
// character.  Functions that write into a caller's buffer never write past
// its capacity and always terminate what they wrote.
#ifndef COMMON_PLAIN_TEXT_H
#define COMMON_PLAIN_TEXT_H

#include <cstddef>
#include <cstdint>

/// In place, every single-byte character through the runtime library's
/// toupper / tolower (double-byte characters stay).  Returns text; null
/// returns null.
char *UpperText(char *text);
char *LowerText(char *text);
/// In place: bytes 224-253 except 247 lose 32 (upper), bytes 192-221
/// except 215 gain 32 (lower); other bytes go through toupper / tolower.
/// Returns text; null returns null.
char *UpperLatin1(char *text);
char *LowerLatin1(char *text);
/// a-z to A-Z; other bytes unchanged.
char UpperAscii(char byte);

/// Reverses the order of the characters in place, each double-byte
/// character's bytes staying in order.  1, or 0 for null or "".
int ReverseText(char *text);

/// The text, or "" / "NULL" for null.
const char *TextOrEmpty(const char *text);
const char *TextOrNull(const char *text);
/// Writes a terminator at the start / zeroes n bytes.  0 for null, else 1.
int SetEmptyText(char *text);
int ZeroText(char *buffer, size_t n);
/// Terminates text at the first occurrence of part (nothing when there is
/// none or part is "").  Returns text; null text or part returns text.
char *CutAt(char *text, const char *part);

/// Replaces every single-byte character from by to (trail bytes of
/// double-byte characters are never taken for one).  Returns the number
/// replaced; 0 for null.
uint32_t ReplaceCharIn(char *text, char from, char to);
/// Replaces every character of text that occurs in set (double-byte ones
/// as pairs) by the byte to; a double-byte character becomes one byte, so
/// the text may get shorter.  Returns the number replaced; 0 for null.
uint32_t ReplaceCharsOf(char *text, const char *set, char to);
/// Removes every character of text that occurs in set.  Returns the number
/// removed; 0 for a null text or set.
uint32_t RemoveCharsOf(char *text, const char *set);

/// While a case-insensitive occurrence of find exists, copies the bytes of
/// replacement over its start.  When replacement equals the start of find
/// ignoring case, an occurrence survives its overwrite: then every
/// occurrence is overwritten once, left to right, and the search goes on
/// behind it.  Otherwise the search starts again where the overwrite may
/// have made a new occurrence, until none is left.  Returns the number of
/// overwrites; 0 for null arguments, an empty find or a replacement longer
/// than find.
uint32_t OverwriteNoCase(char *text, const char *find, const char *replacement);

/// Copies min(capacity - 1, n) bytes of source, each unprintable byte
/// written as "+", and terminates; returns out.  Returns the text "VNULL"
/// (writing nothing) for a null out or source or a capacity of 0.
const char *CopyMasked(char *out, size_t capacity, const char *source, size_t n);
/// The same, copying double-byte characters and white space unchanged and
/// writing fill for other unprintable bytes.
const char *CopyMaskedMbcs(char *out, size_t capacity, const char *source, size_t n, char fill);

/// Copies text writing BEL, BS, HT, LF, VT, FF, CR as "\a", "\b", "\t",
/// "\n", "\v", "\f", "\r" and, with replaceSpace, a space as fill; stops
/// when fewer than three bytes of room remain.  Returns out, or null for a
/// null out or text or a capacity below 2.
char *EscapeControls(char *out, size_t capacity, const char *text, int replaceSpace, char fill);
/// Puts a backslash before double quote, single quote and backslash;
/// double-byte characters are copied unchanged; stops when fewer than three
/// bytes of room remain.  Returns out, or null for bad arguments.
char *EscapeQuotes(char *out, size_t capacity, const char *text);
/// HT, LF, CR written as "\t", "\n", "\r".  Returns out, or null when
/// fewer than three bytes of room remain before the text is finished (out
/// then holds the terminated part) or for bad arguments.
char *EscapeTabsAndBreaks(char *out, size_t capacity, const char *text);

/// Removes trailing spaces; returns text (null: null).
char *TrimTrailingSpaces(char *text);
/// Removes one final CR LF pair: 1 when removed, else 0.
int RemoveTrailingCrLf(char *text);
/// Bounded copy (BoundedCopy), then RemoveTrailingCrLf.  Returns out, or
/// null when out or text is null or capacity 0.
char *CopyLine(char *out, size_t capacity, const char *text);
/// The first byte that is not a space; null for null.
const char *SkipSpaces(const char *text);
/// Cuts bytes of set from the end; returns text (null: null).
char *TrimTrailingCharsOf(char *text, const char *set);
/// 1 for null or "".
int IsNullOrEmpty(const char *text);

#endif  // COMMON_PLAIN_TEXT_H
