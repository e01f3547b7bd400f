// match_line.h - MatchLine, the line recogniser of the text matchers.
#ifndef COMMON_MATCH_LINE_H
#define COMMON_MATCH_LINE_H

#include <cstddef>

#include "base/text_span.h"

namespace text_match {

/// The last step of every matcher: stores the span [position, to) in *out
/// (when given), moves position to to and returns the span's length; 0
/// without a change when it is empty.
inline size_t Commit(const char *&position, const char *to, TextSpan *out) {
  const size_t consumed = static_cast<size_t>(to - position);
  if (consumed == 0) return 0;
  if (out != nullptr) {
    out->start = position;
    out->length = consumed;
  }
  position = to;
  return consumed;
}

}  // namespace text_match

/// Consumes the rest of the line at position: every byte up to, not
/// including, the next CR, LF or zero byte, then one CR if present, then one
/// LF if present (so CR, LF and CRLF each end one line).  On success stores
/// the line with its line end in *line (when given), moves position past it
/// and returns the bytes consumed.  At the zero byte nothing is consumed:
/// returns 0 and leaves position and *line untouched.  A null position
/// pointer answers 0.
size_t MatchLine(const char *&position, TextSpan *line);

#endif  // COMMON_MATCH_LINE_H
