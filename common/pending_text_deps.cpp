// pending_text_deps.cpp - the stand-ins of pending_text_deps.h.
#include "common/pending_text_deps.h"

namespace text_deps {

int IsLegalUtf8(const uint8_t *sequence, size_t length) {
  if (sequence == nullptr || length < 1 || length > 4) return 0;
  const uint8_t b = sequence[0];
  const size_t expected = b < 0x80 ? 1 : b < 0xC2 ? 0 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : b < 0xF5 ? 4 : 0;
  if (expected != length) return 0;
  for (size_t i = 1; i < length; ++i)
    if ((sequence[i] & 0xC0) != 0x80) return 0;
  if (length >= 2) {
    const uint8_t second = sequence[1];
    if (b == 0xE0 && second < 0xA0) return 0;
    if (b == 0xED && second > 0x9F) return 0;
    if (b == 0xF0 && second < 0x90) return 0;
    if (b == 0xF4 && second > 0x8F) return 0;
  }
  return 1;
}

uint32_t AnsiToWide(const char *source, uint32_t n, char16_t *target, uint32_t capacity) {
  if (source == nullptr || n == 0) return 0;
  for (uint32_t i = 0; i < n; ++i)
    if (static_cast<unsigned char>(source[i]) >= 0x80) return 0;
  if (capacity == 0) return n;
  if (target == nullptr || capacity < n) return 0;
  for (uint32_t i = 0; i < n; ++i) target[i] = static_cast<char16_t>(static_cast<unsigned char>(source[i]));
  return n;
}

uint32_t WideToAnsi(const char16_t *source, uint32_t n, char *target, uint32_t capacity) {
  if (source == nullptr || n == 0) return 0;
  for (uint32_t i = 0; i < n; ++i)
    if (source[i] >= 0x80) return 0;
  if (capacity == 0) return n;
  if (target == nullptr || capacity < n) return 0;
  for (uint32_t i = 0; i < n; ++i) target[i] = static_cast<char>(source[i]);
  return n;
}

}  // namespace text_deps
