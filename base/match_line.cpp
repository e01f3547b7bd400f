// match_line.cpp - MatchLine over zero-terminated 8-bit text.
#include "base/match_line.h"

size_t MatchLine(const char *&position, TextSpan *line) {
  if (position == nullptr) return 0;
  const char *p = position;  // private copy: the caller's position moves only on success
  while (*p != '\0' && *p != '\r' && *p != '\n') ++p;
  if (*p == '\r') ++p;
  if (*p == '\n') ++p;
  return text_match::Commit(position, p, line);
}
