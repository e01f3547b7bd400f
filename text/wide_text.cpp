// wide_text.cpp - free functions on zero-terminated 16-bit texts.
#include "text/wide_text.h"

#include <cwctype>

#include "base/text.h"

namespace {
bool IsSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

template <typename Convert>
char16_t ConvertUnit(char16_t unit, Convert convert) {
  if (unit < 0x80) return unit;  // the ASCII letters below, without the runtime
  if (IsSurrogate(unit)) return unit;
  const wint_t converted = convert(static_cast<wint_t>(unit));
  return converted <= 0xFFFF && !IsSurrogate(static_cast<char16_t>(converted)) ? static_cast<char16_t>(converted)
                                                                               : unit;
}

bool InSet(const char16_t *set, char16_t unit) {
  for (; *set != 0; ++set)
    if (*set == unit) return true;
  return false;
}
}  // namespace

char16_t WideUpper(char16_t unit) {
  if (unit >= u'a' && unit <= u'z') return static_cast<char16_t>(unit - 32);
  return ConvertUnit(unit, [](wint_t c) { return std::towupper(c); });
}

char16_t WideLower(char16_t unit) {
  if (unit >= u'A' && unit <= u'Z') return static_cast<char16_t>(unit + 32);
  return ConvertUnit(unit, [](wint_t c) { return std::towlower(c); });
}

char16_t *UpperText(char16_t *text) {
  if (text == nullptr) return nullptr;
  for (char16_t *p = text; *p != 0; ++p) *p = WideUpper(*p);
  return text;
}

char16_t *LowerText(char16_t *text) {
  if (text == nullptr) return nullptr;
  for (char16_t *p = text; *p != 0; ++p) *p = WideLower(*p);
  return text;
}

int ReverseText(char16_t *text) {
  if (text == nullptr || *text == 0) return 0;
  size_t j = WideLength(text) - 1;
  for (size_t i = 0; i < j; ++i, --j) {
    const char16_t c = text[i];
    text[i] = text[j];
    text[j] = c;
  }
  return 1;
}

const char16_t *TextOrEmpty(const char16_t *text) { return text != nullptr ? text : u""; }
const char16_t *TextOrNull(const char16_t *text) { return text != nullptr ? text : u"NULL"; }

int SetEmptyText(char16_t *text) {
  if (text == nullptr) return 0;
  *text = 0;
  return 1;
}

int ZeroText(char16_t *buffer, size_t n) {
  if (buffer == nullptr) return 0;
  for (size_t i = 0; i < n; ++i) buffer[i] = 0;
  return 1;
}

char16_t *CutAt(char16_t *text, const char16_t *part) {
  if (text == nullptr || part == nullptr || *part == 0) return text;
  const char16_t *hit = WideFind(text, WideLength(text), part, WideLength(part));
  if (hit != nullptr) text[hit - text] = 0;
  return text;
}

uint32_t ReplaceCharIn(char16_t *text, char16_t from, char16_t to) {
  if (text == nullptr || from == 0) return 0;
  uint32_t count = 0;
  for (char16_t *p = text; *p != 0; ++p) {
    if (*p == from) {
      *p = to;
      ++count;
    }
  }
  return count;
}

uint32_t ReplaceCharsOf(char16_t *text, const char16_t *set, char16_t to) {
  if (text == nullptr || set == nullptr) return 0;
  uint32_t count = 0;
  for (char16_t *p = text; *p != 0; ++p) {
    if (InSet(set, *p)) {
      *p = to;
      ++count;
    }
  }
  return count;
}

uint32_t RemoveCharsOf(char16_t *text, const char16_t *set) {
  if (text == nullptr || set == nullptr) return 0;
  uint32_t count = 0;
  char16_t *w = text;
  for (const char16_t *r = text; *r != 0; ++r) {
    if (InSet(set, *r)) {
      ++count;
    } else {
      *w++ = *r;
    }
  }
  *w = 0;
  return count;
}

size_t WideLength(const char16_t *text) { return SafeWcsLen(text); }

const char16_t *WideFind(const char16_t *text, size_t length, const char16_t *pattern, size_t n) {
  if (text == nullptr || pattern == nullptr) return nullptr;
  if (n == 0) return text;
  if (n > length) return nullptr;
  const char16_t first = pattern[0];
  for (size_t i = 0; i + n <= length; ++i) {
    if (text[i] != first || text[i + n - 1] != pattern[n - 1]) continue;
    size_t k = 1;
    while (k < n && text[i + k] == pattern[k]) ++k;
    if (k >= n) return text + i;
  }
  return nullptr;
}
