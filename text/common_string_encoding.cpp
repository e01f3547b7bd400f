// common_string_encoding.cpp - CCommonString's base64 and percent-encoding
// forms.  Each converts the contents into scratch storage and takes it over
// only when the conversion succeeded.
#include <cstring>

#include "base/common_string.h"
#include "base/common_string_chars.h"
#include "text/base64.h"
#include "text/percent_encoding.h"

using common_string::NoStorage;

namespace {
// Scratch storage of size bytes (size < 2^32 - 1), or null with the
// last-error value set.
char *Scratch(CCommonString &scratch, uint64_t size) {
  if (size >= 0xFFFFFFFFu) {
    NoStorage();
    return nullptr;
  }
  return scratch.GetBuffer(static_cast<uint32_t>(size));
}
}  // namespace

int CCommonString::Base64Encode() {
  if (length_ == 0) return 1;
  CCommonString scratch;
  char *out = Scratch(scratch, static_cast<uint64_t>(length_) * 4 / 3 + 10);
  if (out == nullptr) return 0;
  uint32_t n = 0;
  if (!::Base64Encode(out, scratch.GetCapacity(), buffer_, length_, &n, 0)) return 0;
  scratch.ReleaseBuffer(n);
  Swap(scratch);
  return 1;
}

int CCommonString::Base64Decode() {
  if (length_ == 0) return 1;
  CCommonString scratch;
  char *out = Scratch(scratch, static_cast<uint64_t>(length_) * 3 / 4 + 10);
  if (out == nullptr) return 0;
  uint32_t n = scratch.GetCapacity();
  if (!::Base64Decode(out, &n, buffer_)) return 0;
  scratch.ReleaseBuffer(n);
  Swap(scratch);
  return 1;
}

namespace {
template <int (*Encoder)(char *, uint32_t *, const char *)>
int EncodeInto(CCommonString &string, uint32_t length) {
  if (length == 0) return 1;
  CCommonString scratch;
  char *out = Scratch(scratch, static_cast<uint64_t>(length) * 3 + 10);
  if (out == nullptr) return 0;
  uint32_t n = scratch.GetCapacity();
  if (!Encoder(out, &n, string.CStr())) return 0;
  scratch.ReleaseBuffer(n);
  string.Swap(scratch);
  return 1;
}

template <int (*Decoder)(char *)>
int DecodeInto(CCommonString &string, uint32_t length) {
  if (length == 0) return 1;
  CCommonString scratch(string);
  if (scratch.GetLength() != length) return 0;  // the copy was not obtained
  char *text = scratch.GetBuffer(0);
  if (!Decoder(text)) return 0;
  scratch.ReleaseBuffer(static_cast<uint32_t>(std::strlen(text)));
  string.Swap(scratch);
  return 1;
}
}  // namespace

int CCommonString::FormUrlEncode() { return EncodeInto<::FormUrlEncode>(*this, length_); }

int CCommonString::PercentEncode() { return EncodeInto<::PercentEncode>(*this, length_); }

int CCommonString::FormUrlDecode() { return DecodeInto<::FormUrlDecode>(*this, length_); }

int CCommonString::PercentDecode() { return DecodeInto<::PercentDecode>(*this, length_); }
