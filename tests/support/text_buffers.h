// text_buffers.h - helpers of the text tests: the bytes of a string, a span
// over a string, and an output buffer with guard bytes behind its capacity.
#ifndef VBS_TESTS_TEXT_BUFFERS_H
#define VBS_TESTS_TEXT_BUFFERS_H

#include <string>
#include <vector>

#include "base/common_string.h"
#include "base/text_span.h"

/// Every byte of s, zero bytes included.
inline std::string Bytes(const CCommonString &s) {
  return s.HasStorage() ? std::string(s.CStr(), s.GetLength()) : std::string();
}

/// A span over the bytes of s (which must outlive it).
inline TextSpan Span(const std::string &s) {
  TextSpan span;
  span.start = s.data();
  span.length = s.size();
  return span;
}

/// An output buffer of capacity bytes followed by eight guard bytes; Intact
/// says whether a call wrote past the capacity.
struct Guarded {
  explicit Guarded(size_t capacity) : capacity(capacity), bytes(capacity + 8, '#') {}
  char *Out() { return bytes.data(); }
  bool Intact() const { return std::string(bytes.data() + capacity, 8) == "########"; }
  size_t capacity;
  std::vector<char> bytes;
};

#endif  // VBS_TESTS_TEXT_BUFFERS_H
