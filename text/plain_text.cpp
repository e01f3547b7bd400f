// plain_text.cpp - free functions on zero-terminated 8-bit texts.
#include "text/plain_text.h"
#include "text/printable.h"

#include <cctype>
#include <cstring>

#include "base/code_page.h"
#include "base/text.h"

namespace {
const char kMaskedNull[] = "VNULL";

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }
char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// Whether the character at p (len bytes) occurs in set as a character.
bool InSet(const uint8_t *leads, const char *set, const char *p, size_t len) {
  for (const char *s = set; *s != '\0'; s += SalCharLength(leads, s)) {
    const size_t n = SalCharLength(leads, s);
    if (n == len && std::memcmp(s, p, n) == 0) return true;
  }
  return false;
}

template <typename Convert>
char *ConvertSingleBytes(char *text, Convert convert) {
  if (text == nullptr) return nullptr;
  const uint8_t *leads = SalLeadByteTable();
  for (char *p = text; *p != '\0';) {
    const size_t n = SalCharLength(leads, p);
    if (n == 1) *p = convert(*p);
    p += n;
  }
  return text;
}

// Whether find occurs at p ignoring case (bytes compared after toupper).
bool MatchesNoCase(const char *p, const char *find, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (p[i] == '\0' || Upper(p[i]) != Upper(find[i])) return false;
  return true;
}
}  // namespace

char *UpperText(char *text) { return ConvertSingleBytes(text, Upper); }
char *LowerText(char *text) { return ConvertSingleBytes(text, Lower); }

char *UpperLatin1(char *text) {
  if (text == nullptr) return nullptr;
  for (char *p = text; *p != '\0'; ++p) {
    const unsigned char b = static_cast<unsigned char>(*p);
    *p = (b >= 224 && b <= 253 && b != 247) ? static_cast<char>(b - 32) : Upper(*p);
  }
  return text;
}

char *LowerLatin1(char *text) {
  if (text == nullptr) return nullptr;
  for (char *p = text; *p != '\0'; ++p) {
    const unsigned char b = static_cast<unsigned char>(*p);
    *p = (b >= 192 && b <= 221 && b != 215) ? static_cast<char>(b + 32) : Lower(*p);
  }
  return text;
}

char UpperAscii(char byte) { return byte >= 'a' && byte <= 'z' ? static_cast<char>(byte - 'a' + 'A') : byte; }

int ReverseText(char *text) {
  if (text == nullptr || *text == '\0') return 0;
  const uint8_t *leads = SalLeadByteTable();
  // Swap the bytes of every double-byte character first, so that reversing
  // all bytes puts them back in order.
  size_t length = 0;
  while (text[length] != '\0') {
    const size_t n = SalCharLength(leads, text + length);
    if (n == 2) {
      const char lead = text[length];
      text[length] = text[length + 1];
      text[length + 1] = lead;
    }
    length += n;
  }
  for (size_t i = 0, j = length - 1; i < j; ++i, --j) {
    const char c = text[i];
    text[i] = text[j];
    text[j] = c;
  }
  return 1;
}

const char *TextOrEmpty(const char *text) { return text != nullptr ? text : ""; }
const char *TextOrNull(const char *text) { return text != nullptr ? text : "NULL"; }

int SetEmptyText(char *text) {
  if (text == nullptr) return 0;
  *text = '\0';
  return 1;
}

int ZeroText(char *buffer, size_t n) {
  if (buffer == nullptr) return 0;
  std::memset(buffer, 0, n);
  return 1;
}

char *CutAt(char *text, const char *part) {
  if (text == nullptr || part == nullptr || *part == '\0') return text;
  char *hit = std::strstr(text, part);
  if (hit != nullptr) *hit = '\0';
  return text;
}

uint32_t ReplaceCharIn(char *text, char from, char to) {
  if (text == nullptr || from == '\0') return 0;
  const uint8_t *leads = SalLeadByteTable();
  uint32_t count = 0;
  for (char *p = text; *p != '\0';) {
    const size_t n = SalCharLength(leads, p);
    if (n == 1 && *p == from) {
      *p = to;
      ++count;
    }
    p += n;
  }
  return count;
}

namespace {
// Rewrites text with every character that occurs in set replaced by the
// byte *to, or removed when to is null.  Returns the number of them.
uint32_t RewriteCharsOf(char *text, const char *set, const char *to) {
  if (text == nullptr || set == nullptr) return 0;
  const uint8_t *leads = SalLeadByteTable();
  uint32_t count = 0;
  char *w = text;
  for (const char *r = text; *r != '\0';) {
    const size_t n = SalCharLength(leads, r);
    if (InSet(leads, set, r, n)) {
      if (to != nullptr) *w++ = *to;
      ++count;
    } else {
      std::memmove(w, r, n);
      w += n;
    }
    r += n;
  }
  *w = '\0';
  return count;
}
}  // namespace

uint32_t ReplaceCharsOf(char *text, const char *set, char to) { return RewriteCharsOf(text, set, &to); }

uint32_t RemoveCharsOf(char *text, const char *set) { return RewriteCharsOf(text, set, nullptr); }

uint32_t OverwriteNoCase(char *text, const char *find, const char *replacement) {
  if (text == nullptr || find == nullptr || replacement == nullptr || *find == '\0') return 0;
  const size_t n = std::strlen(find);
  const size_t m = std::strlen(replacement);
  if (m > n) return 0;
  const bool survives = MatchesNoCase(replacement, find, m);
  uint32_t count = 0;
  size_t from = 0;
  for (;;) {
    // Every occurrence before from is gone: an overwrite at i can only make
    // new ones that overlap the bytes it wrote, so they start after i - n.
    char *hit = nullptr;
    for (char *p = text + from; *p != '\0'; ++p) {
      if (MatchesNoCase(p, find, n)) {
        hit = p;
        break;
      }
    }
    if (hit == nullptr) return count;
    std::memcpy(hit, replacement, m);
    ++count;
    const size_t at = static_cast<size_t>(hit - text);
    from = survives ? at + 1 : (at + 1 > n ? at + 1 - n : 0);
  }
}

const char *CopyMasked(char *out, size_t capacity, const char *source, size_t n) {
  if (out == nullptr || source == nullptr || capacity == 0) return kMaskedNull;
  const size_t count = n < capacity - 1 ? n : capacity - 1;
  for (size_t i = 0; i < count; ++i)
    out[i] = IsPrintableChar(static_cast<unsigned char>(source[i])) ? source[i] : '+';
  out[count] = '\0';
  return out;
}

const char *CopyMaskedMbcs(char *out, size_t capacity, const char *source, size_t n, char fill) {
  if (out == nullptr || source == nullptr || capacity == 0) return kMaskedNull;
  const uint8_t *leads = SalLeadByteTable();
  const size_t count = n < capacity - 1 ? n : capacity - 1;
  size_t i = 0;
  while (i < count) {
    const unsigned char b = static_cast<unsigned char>(source[i]);
    if (leads[b] != 0 && i + 1 < count) {
      out[i] = source[i];
      out[i + 1] = source[i + 1];
      i += 2;
      continue;
    }
    out[i] = IsPrintableChar(b) || IsSpaceChar(b) ? source[i] : fill;
    ++i;
  }
  out[count] = '\0';
  return out;
}

namespace {
char ControlLetter(char c) {
  switch (c) {
    case '\a': return 'a';
    case '\b': return 'b';
    case '\t': return 't';
    case '\n': return 'n';
    case '\v': return 'v';
    case '\f': return 'f';
    case '\r': return 'r';
    default: return 0;
  }
}
}  // namespace

char *EscapeControls(char *out, size_t capacity, const char *text, int replaceSpace, char fill) {
  if (out == nullptr || text == nullptr || capacity < 2) return nullptr;
  size_t w = 0;
  for (const char *p = text; *p != '\0' && capacity - w >= 3; ++p) {
    const char letter = ControlLetter(*p);
    if (letter != 0) {
      out[w++] = '\\';
      out[w++] = letter;
    } else {
      out[w++] = replaceSpace != 0 && *p == ' ' ? fill : *p;
    }
  }
  out[w] = '\0';
  return out;
}

char *EscapeQuotes(char *out, size_t capacity, const char *text) {
  if (out == nullptr || text == nullptr || capacity < 2) return nullptr;
  const uint8_t *leads = SalLeadByteTable();
  size_t w = 0;
  for (const char *p = text; *p != '\0' && capacity - w >= 3;) {
    const size_t n = SalCharLength(leads, p);
    if (n == 2) {
      out[w++] = p[0];
      out[w++] = p[1];
    } else {
      if (*p == '"' || *p == '\'' || *p == '\\') out[w++] = '\\';
      out[w++] = *p;
    }
    p += n;
  }
  out[w] = '\0';
  return out;
}

char *EscapeTabsAndBreaks(char *out, size_t capacity, const char *text) {
  if (out == nullptr || text == nullptr || capacity < 2) return nullptr;
  size_t w = 0;
  for (const char *p = text; *p != '\0'; ++p) {
    if (capacity - w < 3) {
      out[w] = '\0';
      return nullptr;
    }
    const char letter = *p == '\t' ? 't' : *p == '\n' ? 'n' : *p == '\r' ? 'r' : 0;
    if (letter != 0) {
      out[w++] = '\\';
      out[w++] = letter;
    } else {
      out[w++] = *p;
    }
  }
  out[w] = '\0';
  return out;
}

char *TrimTrailingSpaces(char *text) {
  if (text == nullptr) return nullptr;
  size_t n = std::strlen(text);
  while (n > 0 && text[n - 1] == ' ') --n;
  text[n] = '\0';
  return text;
}

int RemoveTrailingCrLf(char *text) {
  if (text == nullptr) return 0;
  const size_t n = std::strlen(text);
  if (n < 2 || text[n - 2] != '\r' || text[n - 1] != '\n') return 0;
  text[n - 2] = '\0';
  return 1;
}

char *CopyLine(char *out, size_t capacity, const char *text) {
  if (out == nullptr || text == nullptr || capacity == 0) return nullptr;
  BoundedCopy(out, capacity, text);
  RemoveTrailingCrLf(out);
  return out;
}

const char *SkipSpaces(const char *text) {
  if (text == nullptr) return nullptr;
  while (*text == ' ') ++text;
  return text;
}

char *TrimTrailingCharsOf(char *text, const char *set) {
  if (text == nullptr || set == nullptr) return text;
  size_t n = std::strlen(text);
  while (n > 0 && std::strchr(set, text[n - 1]) != nullptr) --n;
  text[n] = '\0';
  return text;
}

int IsNullOrEmpty(const char *text) { return text == nullptr || *text == '\0' ? 1 : 0; }
