// percent_fuzz.cpp - libFuzzer target for the percent decoders (in place,
// on the input as text) and the encoders (round trips, and the length
// protocol with buffers that are too small).
#include <cstdint>
#include <cstring>
#include <string>

#include "base/common_string.h"
#include "fuzz_support.h"
#include "text/percent_encoding.h"

namespace {
const char kTarget[] = "percent_fuzz";

void Check(bool ok, const char *what) {
  if (!ok) fuzz::Fail(kTarget, what);
}

void Decode(int (*decoder)(char *), const fuzz::Block &input) {
  fuzz::Block text = fuzz::Block::Text(input.Data(), input.Size());
  const size_t before = std::strlen(text.Data());
  decoder(text.Data());
  Check(std::strlen(text.Data()) <= before, "decoding grew the text");
}

// Encodes text with a buffer of every interesting size; returns the full
// encoding.
std::string Encode(int (*encoder)(char *, uint32_t *, const char *), const char *text, uint32_t shortBy) {
  uint32_t length = 0;
  Check(encoder(nullptr, &length, text) == 0, "null output accepted");
  fuzz::Block out(length + 1);
  uint32_t n = length + 1;
  Check(encoder(out.Data(), &n, text) == 1 && n == length, "exact buffer refused");
  Check(out.Data()[n] == '\0' && std::strlen(out.Data()) == n, "encoding not terminated");
  const uint32_t small = length + 1 > shortBy + 1 ? length - shortBy : 0;
  fuzz::Block cut(small);
  uint32_t m = small;
  Check(encoder(cut.Data(), &m, text) == 0 && m == length, "short buffer accepted or length lost");
  if (small > 0) Check(cut.Data()[0] == '\0', "short buffer not emptied");
  return std::string(out.Data(), n);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const fuzz::Block input(data, size);
  Decode(FormUrlDecode, input);
  Decode(PercentDecode, input);

  const fuzz::Block text = fuzz::Block::Text(data, size);
  const uint32_t shortBy = size > 0 ? data[0] % 16 : 0;
  std::string form = Encode(FormUrlEncode, text.Data(), shortBy);
  Check(FormUrlDecode(&form[0]) == 1 && std::strcmp(form.c_str(), text.Data()) == 0, "form round trip");
  std::string minimal = Encode(PercentEncode, text.Data(), shortBy);
  Check(PercentDecode(&minimal[0]) == 1, "minimal round trip failed");
  std::string plain(text.Data());
  std::string expected;
  for (char c : plain)
    if (c != '\r' && c != '\n') expected += c;  // literal line breaks are dropped
  Check(minimal.c_str() == expected, "minimal round trip");

  CCommonString s(reinterpret_cast<const char *>(data), static_cast<uint32_t>(size));
  if (s.FormUrlEncode() == 1 && s.FormUrlDecode() == 1)
    Check(std::strcmp(s.CStr(), text.Data()) == 0, "string form round trip");
  CCommonString raw(reinterpret_cast<const char *>(data), static_cast<uint32_t>(size));
  if (raw.PercentDecode() == 1) {
    Check(raw.GetLength() == std::strlen(raw.CStr()), "decoded string length");
  } else {
    Check(raw.GetLength() == size && (size == 0 || std::memcmp(raw.CStr(), data, size) == 0), "failed decode changed the string");
  }
  return 0;
}
