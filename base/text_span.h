// text_span.h - TextSpan, a view of bytes that it does not own.
#ifndef COMMON_TEXT_SPAN_H
#define COMMON_TEXT_SPAN_H

#include <cstddef>

/// A view of text: start and length in bytes.  An empty span has a null
/// start and length 0.
struct TextSpan {
  const char *start = nullptr;
  size_t length = 0;
};

#endif  // COMMON_TEXT_SPAN_H
