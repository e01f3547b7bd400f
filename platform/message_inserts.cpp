// message_inserts.cpp - message-text escapes and inserts without the system's
// message formatter.
#include "platform/message_inserts.h"

#include <cstring>

namespace {
// Appends n bytes to out at *length; false when the terminator no longer fits.
bool Put(char *out, size_t capacity, size_t *length, const char *bytes, size_t n) {
  const size_t room = capacity - 1 - *length;
  const size_t take = n < room ? n : room;
  std::memcpy(out + *length, bytes, take);
  *length += take;
  out[*length] = '\0';
  return take == n;
}
}  // namespace

int SalExpandMessageInserts(const char *text, const char *const *strings, uint16_t count,
                            bool ignoreInserts, char *out, size_t capacity) {
  if (text == nullptr || out == nullptr || capacity == 0) return -1;
  size_t length = 0;
  out[0] = '\0';
  const char *p = text;
  while (*p != '\0') {
    // Copy the run up to the next escape in one piece.
    const char *percent = std::strchr(p, '%');
    const size_t run = percent != nullptr ? static_cast<size_t>(percent - p) : std::strlen(p);
    if (!Put(out, capacity, &length, p, run)) return -1;
    if (percent == nullptr) break;
    p = percent + 1;
    const char c = *p;
    if (c == '\0') {  // a lone "%" at the end
      if (!Put(out, capacity, &length, "%", 1)) return -1;
      break;
    }
    if (c == '0') break;
    if (c == 'n') {
      if (!Put(out, capacity, &length, "\r\n", 2)) return -1;
      ++p;
      continue;
    }
    if (ignoreInserts) {
      if (!Put(out, capacity, &length, "%", 1)) return -1;
      continue;  // the character behind the "%" is copied with the next run
    }
    if (c >= '1' && c <= '9') {
      unsigned index = static_cast<unsigned>(c - '0');
      ++p;
      if (*p >= '0' && *p <= '9') index = index * 10 + static_cast<unsigned>(*p++ - '0');
      if (*p == '!') {  // a printf format for the insert: the string is used as it is
        const char *close = std::strchr(p + 1, '!');
        if (close != nullptr) p = close + 1;
      }
      const char *insert = (strings != nullptr && index <= count) ? strings[index - 1] : nullptr;
      if (insert != nullptr && !Put(out, capacity, &length, insert, std::strlen(insert))) return -1;
      continue;
    }
    const char *replacement = c == 'r' ? "\r" : c == 't' ? "\t" : p;
    if (!Put(out, capacity, &length, replacement, 1)) return -1;
    ++p;
  }
  return static_cast<int>(length);
}
