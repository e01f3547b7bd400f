// escape.cpp - C-style escaping and unescaping as passes of a transform
// stream, and the in-place escapes of CCommonString (C-style and HTML).
#include "text/escape.h"

#include <cstring>

#include "base/common_string.h"
#include "text/char_class.h"
#include "text/text_matchers.h"
#include "text/transform_stream.h"

namespace {

constexpr uint32_t kZeroTerminated = 0xFFFFFFFFu;
constexpr char kHexUpper[] = "0123456789ABCDEF";

// The bytes to work on, or an empty span for null data or length 0.
TextSpan Source(const void *data, uint32_t length) {
  TextSpan span;
  if (data == nullptr || length == 0) return span;
  const char *bytes = static_cast<const char *>(data);
  const size_t n = length == kZeroTerminated ? std::strlen(bytes) : length;
  if (n != 0) {
    span.start = bytes;
    span.length = n;
  }
  return span;
}

}  // namespace

CCommonString *EscapeCText(const void *data, uint32_t length) {
  const TextSpan source = Source(data, length);
  if (source.start == nullptr) return nullptr;
  CCommonTransformStream stream(source);
  const auto plain = Before(stream.End(), Both(InClass(kCharPlainText), Not(IsByte('\\'))));
  bool afterHex = false;  // the last item written was a \xHH escape
  while (stream.Remaining() > 0) {
    const unsigned char c = static_cast<unsigned char>(*stream.Current());
    if (!(afterHex && IsCharClass(c, kCharHexDigit))) {
      const char *p = stream.Current();
      const size_t run = MatchMany(p, plain);
      if (run != 0) {
        stream.Copy(run);
        afterHex = false;
        continue;
      }
    }
    if (c == '\\') {
      stream.Replace(1, "\\\\", 2);
      afterHex = false;
    } else {
      const char escape[4] = {'\\', 'x', kHexUpper[c >> 4], kHexUpper[c & 15]};
      stream.Replace(1, escape, sizeof escape);
      afterHex = true;
    }
  }
  return stream.TakeResult(1);
}

CCommonString *UnescapeCText(const void *data, uint32_t length) {
  const TextSpan source = Source(data, length);
  if (source.start == nullptr) return nullptr;
  CCommonTransformStream stream(source);
  const char *end = stream.End();
  const auto plain = Before(end, Not(IsByte('\\')));
  while (stream.Remaining() > 0) {
    const char *p = stream.Current();
    const size_t run = MatchMany(p, plain);
    if (run != 0) {
      stream.Copy(run);
      continue;
    }
    if (*stream.Current() != '\\' || stream.Remaining() == 1) {
      stream.Copy(1);  // a zero byte, or a backslash at the very end
      continue;
    }
    stream.Drop(1);
    const char *q = stream.Current();
    uint8_t byte = 0;
    if (*q == 'x' && (++q, MatchNumber(q, &byte, 0, 255, 16, end) == 2)) {
      stream.Replace(3, reinterpret_cast<const char *>(&byte), 1);
    } else {
      stream.Copy(1);
    }
  }
  return stream.TakeResult(1);
}

namespace {
// Takes over the contents of a result of EscapeCText / UnescapeCText.
int TakeOver(CCommonString &string, CCommonString *result) {
  if (result == nullptr) return 0;
  string.Swap(*result);
  delete result;
  return 1;
}
}  // namespace

int CCommonString::EscapeC() {
  return length_ == 0 ? 0 : TakeOver(*this, EscapeCText(buffer_, length_));
}

int CCommonString::UnescapeC() {
  return length_ == 0 ? 0 : TakeOver(*this, UnescapeCText(buffer_, length_));
}

int CCommonString::EscapeHtml() {
  static const struct {
    const char *find;
    const char *replacement;
  } kSteps[] = {{"&", "&amp;"}, {"<", "&lt;"},   {">", "&gt;"}, {"\"", "&quot;"},
                {"\r\n", "<br>"}, {"\n", "<br>"}, {"\r", "<br>"}};
  if (length_ == 0 || std::strpbrk(buffer_, "&<>\"\r\n") == nullptr) return 1;
  // The steps run on a copy, so that a storage failure half-way leaves the
  // string as it was rather than half escaped.
  CCommonString work(*this);
  if (work.length_ != length_) return 0;
  for (const auto &step : kSteps) {
    const uint32_t n = static_cast<uint32_t>(std::strlen(step.find));
    const uint32_t m = static_cast<uint32_t>(std::strlen(step.replacement));
    // ReplaceChars answers 0 both for "none found" and for a storage failure.
    if (work.FindNthChars(step.find, n, 1, 1) != 0 &&
        work.ReplaceChars(step.find, n, step.replacement, m, 1, kAll) == 0)
      return 0;
  }
  Swap(work);
  return 1;
}
