// pending_text_deps.h - stand-ins for the character classes, printable tests,
// the UTF-8 matcher, the error history and the ANSI <-> UTF-16 conversion
// that the plain-text, wide-string and value-text functions call.
//
// Every caller goes through these names only, so that each stand-in is
// replaced in this one place by the library's own function once that is
// part of the build.  Internal: not installed.
#ifndef COMMON_PENDING_TEXT_DEPS_H
#define COMMON_PENDING_TEXT_DEPS_H

#include <cstddef>
#include <cstdint>

namespace text_deps {

/// 32-126 and 160-254.
inline bool IsPrintableChar(unsigned char c) { return (c >= 32 && c <= 126) || (c >= 160 && c <= 254); }
/// HT, LF, VT, FF, CR and space.
inline bool IsSpaceChar(unsigned char c) { return (c >= 9 && c <= 13) || c == ' '; }
inline bool IsSpaceCharW(char16_t c) { return (c >= 9 && c <= 13) || c == u' '; }
/// A-Z, a-z, "_", "$": the identifier start class.
inline bool IsIdentStart(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '$';
}
/// The identifier start class or 0-9.
inline bool IsIdentPart(unsigned char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }

/// One UTF-8 encoded character at position, ending at or before end: the
/// first byte gives 0 to 3 continuation bytes (0xxxxxxx, 110xxxxx,
/// 1110xxxx, 11110xxx), each of the form 10xxxxxx.  Overlong forms and
/// encoded surrogates pass.  Moves position past it and returns its bytes;
/// 0 and no move when there is none.
size_t MatchUtf8Char(const char *&position, const char *end);

/// 1 when length is 1 to 4 and the bytes form exactly one well-formed UTF-8
/// sequence (no overlong form, no surrogate, nothing above U+10FFFF).
int IsLegalUtf8(const uint8_t *sequence, size_t length);

/// Sets the thread's last-error value for a failure worth the error
/// history; returns code.
uint32_t RecordLastError(uint32_t code);

/// Converts n bytes of ANSI text to UTF-16 into target (capacity units).
/// Returns the units written, or with capacity 0 the units needed; 0 for a
/// failure (also for n 0).  Until the code-page converters join the
/// library only 7-bit text converts; any other byte fails the conversion.
uint32_t AnsiToWide(const char *source, uint32_t n, char16_t *target, uint32_t capacity);
/// Converts n UTF-16 units to ANSI text into target (capacity bytes), the
/// same way round.
uint32_t WideToAnsi(const char16_t *source, uint32_t n, char *target, uint32_t capacity);

}  // namespace text_deps

#endif  // COMMON_PENDING_TEXT_DEPS_H
