// pending_text_deps.h - stand-ins for the UTF-8 sequence check and the
// ANSI <-> UTF-16 conversion that the wide-string and text-check functions
// call.
//
// Every caller goes through these names only, so that each stand-in is
// replaced in this one place by the library's own function once that is
// part of the build.  Internal: not installed.
#ifndef COMMON_PENDING_TEXT_DEPS_H
#define COMMON_PENDING_TEXT_DEPS_H

#include <cstddef>
#include <cstdint>

namespace text_deps {

/// 1 when length is 1 to 4 and the bytes form exactly one well-formed UTF-8
/// sequence (no overlong form, no surrogate, nothing above U+10FFFF).
int IsLegalUtf8(const uint8_t *sequence, size_t length);

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
