// text.cpp - bounded copies and the null-safe text helpers.
#include "base/text.h"

#include <cstdio>
#include <cstring>

#include "base/code_page.h"

namespace {
// Copies whole characters of source to dest while they fit in room bytes and
// at most maxChars characters; returns bytes copied and whether source (or
// the character limit) was exhausted.
size_t CopyWhole(char *dest, size_t room, const char *source, size_t maxChars, bool *complete) {
  const uint8_t *leads = SalLeadByteTable();
  size_t n = 0;
  size_t chars = 0;
  while (source[n] != '\0' && chars < maxChars) {
    const size_t len = SalCharLength(leads, source + n);
    if (n + len > room) {
      *complete = false;
      return n;
    }
    std::memcpy(dest + n, source + n, len);
    n += len;
    ++chars;
  }
  *complete = true;
  return n;
}

unsigned CharCode(const uint8_t *leads, const char *p, size_t *len) {
  *len = SalCharLength(leads, p);
  const unsigned lead = static_cast<unsigned char>(p[0]);
  return *len == 2 ? lead * 256 + static_cast<unsigned char>(p[1]) : lead;
}

inline int FoldAscii(int c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }
}  // namespace

int BoundedFormatV(char *dest, size_t capacity, const char *format, va_list args) {
  if (dest == nullptr || format == nullptr || capacity == 0) return -1;
  const int n = std::vsnprintf(dest, capacity, format, args);
  if (n < 0) {
    dest[0] = '\0';
    return -1;
  }
  if (static_cast<size_t>(n) >= capacity) {
    dest[capacity - 1] = '\0';
    return -1;
  }
  return n;
}

int BoundedFormat(char *dest, size_t capacity, const char *format, ...) {
  SAL_RETURN_VA_CALL(args, format, BoundedFormatV(dest, capacity, format, args));
}

int BoundedFormatString(char *dest, size_t capacity, const char *text) {
  if (dest == nullptr || text == nullptr || capacity == 0) return -1;
  // strnlen stops at capacity, so a long text is not measured to its end.
  const size_t length = strnlen(text, capacity);
  if (length >= capacity) {
    std::memcpy(dest, text, capacity - 1);
    dest[capacity - 1] = '\0';
    return -1;
  }
  std::memcpy(dest, text, length + 1);
  return static_cast<int>(length);
}

int BoundedCopyN(char *dest, size_t capacity, const char *source, size_t maxChars,
                 size_t *copied) {
  if (dest == nullptr || source == nullptr || capacity == 0) return 0;
  bool complete = false;
  const size_t n = CopyWhole(dest, capacity - 1, source, maxChars, &complete);
  dest[n] = '\0';
  if (copied != nullptr) *copied = n;
  return complete ? 1 : 0;
}

int BoundedCopy(char *dest, size_t capacity, const char *source, size_t *copied) {
  return BoundedCopyN(dest, capacity, source, SIZE_MAX, copied);
}

int BoundedCopyW(char16_t *dest, size_t capacity, const char16_t *source, size_t *copied) {
  if (dest == nullptr || source == nullptr || capacity == 0) return 0;
  size_t n = 0;
  while (source[n] != 0 && n < capacity - 1) {
    dest[n] = source[n];
    ++n;
  }
  dest[n] = 0;
  if (copied != nullptr) *copied = n;
  return source[n] == 0 ? 1 : 0;
}

int BoundedAppend(char *dest, size_t capacity, const char *source, size_t *appended) {
  if (appended != nullptr) *appended = 0;
  if (dest == nullptr || source == nullptr || capacity == 0) return 0;
  const void *end = std::memchr(dest, '\0', capacity);
  if (end == nullptr) return 0;  // the text already fills the buffer
  const size_t used = static_cast<size_t>(static_cast<const char *>(end) - dest);
  bool complete = false;
  const size_t n = CopyWhole(dest + used, capacity - 1 - used, source, SIZE_MAX, &complete);
  dest[used + n] = '\0';
  if (appended != nullptr) *appended = n;
  return complete ? 1 : 0;
}

int BoundedAppendChar(char *dest, size_t capacity, char ch) {
  if (dest == nullptr || capacity == 0) return 0;
  const void *end = std::memchr(dest, '\0', capacity);
  if (end == nullptr) return 0;
  const size_t used = static_cast<size_t>(static_cast<const char *>(end) - dest);
  if (used + 2 > capacity) return 0;
  dest[used] = ch;
  dest[used + 1] = '\0';
  return 1;
}

size_t SafeStrLen(const char *text) { return text == nullptr ? 0 : std::strlen(text); }

size_t SafeWcsLen(const char16_t *text) {
  if (text == nullptr) return 0;
  size_t n = 0;
  while (text[n] != 0) ++n;
  return n;
}

const char *SafeStrChr(const char *text, unsigned ch) {
  if (text == nullptr) return nullptr;
  const uint8_t *leads = SalLeadByteTable();
  for (const char *p = text;;) {
    if (*p == '\0') return ch == 0 ? p : nullptr;
    size_t len = 0;
    if (CharCode(leads, p, &len) == ch) return p;
    p += len;
  }
}

const char *SafeStrRChr(const char *text, unsigned ch) {
  if (text == nullptr) return nullptr;
  const uint8_t *leads = SalLeadByteTable();
  const char *found = nullptr;
  const char *p = text;
  for (; *p != '\0';) {
    size_t len = 0;
    if (CharCode(leads, p, &len) == ch) found = p;
    p += len;
  }
  return ch == 0 ? p : found;
}

const char *SafeStrStr(const char *text, const char *pattern) {
  if (text == nullptr || pattern == nullptr) return nullptr;
  const size_t plen = std::strlen(pattern);
  const uint8_t *leads = SalLeadByteTable();
  for (const char *p = text;; p += SalCharLength(leads, p)) {
    if (std::strncmp(p, pattern, plen) == 0) return p;
    if (*p == '\0') return nullptr;
  }
}

int SafeStrCmp(const char *a, const char *b) {
  if (a == nullptr || b == nullptr) return (a == nullptr) - (b == nullptr);
  return std::strcmp(a, b);
}

int SafeStrICmp(const char *a, const char *b) {
  if (a == nullptr || b == nullptr) return (a == nullptr) - (b == nullptr);
  for (;; ++a, ++b) {
    const int ca = FoldAscii(static_cast<unsigned char>(*a));
    const int cb = FoldAscii(static_cast<unsigned char>(*b));
    if (ca != cb || ca == 0) return ca - cb;
  }
}

bool SalNextConversion(const char *&format, SalConversion *conversion) {
  while ((format = std::strchr(format, '%')) != nullptr) {
    ++format;
    if (*format == '%') {
      ++format;
      continue;
    }
    conversion->spec = format;
    format += std::strspn(format, "-+ #0123456789.*hlLqjzt'");
    conversion->specLength = static_cast<size_t>(format - conversion->spec);
    conversion->letter = *format;
    if (*format != '\0') ++format;
    return true;
  }
  return false;
}

bool SalSameConversions(const char *format, const char *reference) {
  if (format == nullptr || reference == nullptr) return false;
  SalConversion a{};
  SalConversion b{};
  for (;;) {
    const bool hasA = SalNextConversion(format, &a);
    const bool hasB = SalNextConversion(reference, &b);
    if (hasA != hasB) return false;
    if (!hasA) return true;
    if (a.letter != b.letter || a.specLength != b.specLength ||
        std::memcmp(a.spec, b.spec, a.specLength) != 0)
      return false;
  }
}
