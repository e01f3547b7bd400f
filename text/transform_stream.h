// transform_stream.h - CCommonTransformStream, a one-pass rewriter of a piece
// of text that copies nothing until the first change.
#ifndef COMMON_TRANSFORM_STREAM_H
#define COMMON_TRANSFORM_STREAM_H

#include <cstdint>

#include "base/text_span.h"

class CCommonString;

/// Rewrites a source text in one forward pass.  The caller walks the source
/// region by region and keeps (Copy), removes (Drop) or replaces (Replace)
/// it, or puts new text in (Insert).  While nothing has changed there is no
/// output and no byte is copied; the first change creates the output with
/// room for 9/8 of the source and copies the kept prefix into it, so most
/// passes grow it at most once; beyond that it grows geometrically
/// (AppendPiece).  The source bytes must stay alive and unchanged while the
/// stream is used.
///
/// The stream reports no errors of its own.  When storage for the output
/// cannot be obtained it stops rewriting: Failed() answers true from then
/// on, TakeResult gives null and the thread's last-error value is
/// 0xE00303EB.
class CCommonTransformStream {
 public:
  explicit CCommonTransformStream(TextSpan source);
  CCommonTransformStream(const CCommonTransformStream &) = delete;
  CCommonTransformStream &operator=(const CCommonTransformStream &) = delete;
  /// Deletes an output that was not taken.
  virtual ~CCommonTransformStream();

  /// Keeps the next min(n, remaining) source bytes.
  void Copy(size_t n);
  /// Removes the next n source bytes (at most the remaining ones).
  void Drop(size_t n);
  /// Puts length bytes of data in at the current place; nothing for null
  /// data or length 0.
  void Insert(const char *data, size_t length);
  void Insert(const CCommonString &text);
  /// Drop(n), then Insert(data, length).
  void Replace(size_t n, const char *data, size_t length);
  /// With flush nonzero first keeps the rest of the source.  Hands the
  /// output to the caller, who deletes it, and forgets it.  Null when no
  /// change was ever made (or after a storage failure).
  CCommonString *TakeResult(int flush);

  /// The next source byte not yet dealt with.
  const char *Current() const { return current_; }
  /// Source bytes from Current() to the end.
  size_t Remaining() const { return remaining_; }
  /// One past the last source byte.
  const char *End() const { return current_ + remaining_; }
  /// Whether storage for the output could not be obtained.
  bool Failed() const { return failed_; }

 private:
  // Creates the output and copies the kept prefix into it; false after a
  // storage failure.
  bool EnsureOutput();
  void Fail();

  TextSpan source_;                  // the text being rewritten (not owned)
  const char *current_;              // next source byte not yet dealt with
  CCommonString *output_ = nullptr;  // owned; null until the first change
  size_t remaining_;                 // bytes from current_ to the source's end
  bool failed_ = false;              // storage for the output was not obtained
};

#endif  // COMMON_TRANSFORM_STREAM_H
