// tokenizer.cpp - in-place tokenisers.
#include "text/tokenizer.h"

#include <cstring>

namespace {
bool IsWordBreak(char c) { return c == ' ' || c == '\r' || c == '\n'; }

// Bytes of the text from *state on, with *state checked against nothing but
// null: the caller keeps it inside the text.
template <typename Char>
Char *At(size_t *state, Char *text) {
  return state == nullptr || text == nullptr ? nullptr : text + *state;
}
}  // namespace

const char *NextMultiString(size_t *state, const char *list) {
  const char *p = At(state, list);
  if (p == nullptr || *p == '\0') return nullptr;
  *state += std::strlen(p) + 1;
  return p;
}

const char *SkipChar(size_t *state, const char *text, char c) {
  const char *p = At(state, text);
  if (p == nullptr) return nullptr;
  if (c != '\0')
    while (*p == c) ++p;
  *state = static_cast<size_t>(p - text);
  return *p == '\0' ? nullptr : p;
}

char *NextToken(size_t *state, char *text, const char *delimiters) {
  char *p = At(state, text);
  if (p == nullptr || *p == '\0') return nullptr;
  if (delimiters == nullptr) delimiters = "";
  char *end = p + std::strcspn(p, delimiters);
  char *next = end;
  while (*next != '\0' && std::strchr(delimiters, *next) != nullptr) *next++ = '\0';
  *state = static_cast<size_t>(next - text);
  return p;
}

char *NextLine(size_t *state, char *text) { return NextToken(state, text, "\r\n"); }

char *NextPiece(size_t *state, char *text, const char *separator) {
  char *p = At(state, text);
  if (p == nullptr || *p == '\0') return nullptr;
  char *hit = separator != nullptr && *separator != '\0' ? std::strstr(p, separator) : nullptr;
  if (hit == nullptr) {
    *state += std::strlen(p);
  } else {
    const size_t n = std::strlen(separator);
    *hit = '\0';
    *state = static_cast<size_t>(hit - text) + n;
  }
  return p;
}

int NextWordCopy(size_t *state, const char *text, char *out, size_t capacity) {
  if (out == nullptr || capacity == 0) return 0;
  out[0] = '\0';
  const char *p = At(state, text);
  if (p == nullptr) return 0;
  while (IsWordBreak(*p)) ++p;
  if (*p == '\0') {
    *state = static_cast<size_t>(p - text);
    return 0;
  }
  size_t n = 0;
  while (*p != '\0' && !IsWordBreak(*p)) {
    if (n + 1 < capacity) out[n++] = *p;
    ++p;
  }
  out[n] = '\0';
  if (*p != '\0') ++p;
  *state = static_cast<size_t>(p - text);
  return 1;
}

char *NextWord(size_t *state, char *text) {
  char *p = At(state, text);
  if (p == nullptr) return nullptr;
  while (IsWordBreak(*p)) ++p;
  if (*p == '\0') {
    *state = static_cast<size_t>(p - text);
    return nullptr;
  }
  char *word = p;
  while (*p != '\0' && !IsWordBreak(*p)) ++p;
  if (*p != '\0') *p++ = '\0';
  *state = static_cast<size_t>(p - text);
  return word;
}
