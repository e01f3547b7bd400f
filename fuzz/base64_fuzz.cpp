// base64_fuzz.cpp - libFuzzer target for the base64 decoder and encoder:
// the input as text to decode into buffers of every size the input picks,
// and as bytes that must survive an encode-decode round trip; both string
// forms too.
#include <cstdint>
#include <cstring>

#include "base/common_string.h"
#include "fuzz_support.h"
#include "text/base64.h"

namespace {
const char kTarget[] = "base64_fuzz";

void Check(bool ok, const char *what) {
  if (!ok) fuzz::Fail(kTarget, what);
}

// Decodes text into a block of capacity bytes and checks the protocol.
void DecodeInto(const char *text, uint32_t capacity, const char *expected, uint32_t expectedLength) {
  fuzz::Block out(capacity);
  uint32_t n = capacity;
  const int result = Base64Decode(out.Data(), &n, text);
  if (capacity == 0) {
    Check(result == 0 && n == 0, "capacity 0 accepted");
    return;
  }
  Check(n < capacity && out.Data()[n] == '\0', "decoded bytes not terminated inside the capacity");
  if (expected != nullptr) {
    // A smaller buffer yields a prefix of the full decoding.
    Check(n <= expectedLength && std::memcmp(out.Data(), expected, n) == 0, "decoding depends on the capacity");
    if (result == 1) Check(n == expectedLength, "a short buffer reported success");
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzz::Reader reader(data, size);
  const uint32_t groupsPerLine = reader.Byte() % 5;
  const uint32_t shortBy = reader.Byte();
  const fuzz::Block text = fuzz::Block::Text(reader.Rest(), reader.RestSize());
  const size_t textLength = std::strlen(text.Data());

  // Decoding: the full decoding first, then smaller buffers.
  const uint32_t room = static_cast<uint32_t>(textLength) + 1;
  fuzz::Block full(room);
  uint32_t n = room;
  const int result = Base64Decode(full.Data(), &n, text.Data());
  Check(n < room && full.Data()[n] == '\0', "decoding overflows a buffer of the text's size");
  Check(n <= textLength / 4 * 3, "more bytes than the text can hold");
  DecodeInto(text.Data(), room > shortBy ? room - shortBy : 0, full.Data(), n);
  DecodeInto(text.Data(), shortBy % 8, full.Data(), n);

  CCommonString decoded;
  Check(Base64DecodeString(decoded, text.Data()) == result, "string form disagrees");
  Check(decoded.GetLength() == n && std::memcmp(decoded.CStr(), full.Data(), n) == 0, "string form decodes otherwise");
  CCommonString member(text.Data());
  const int memberResult = member.Base64Decode();
  if (textLength == 0) {
    Check(memberResult == 1, "empty string not decoded");
  } else if (memberResult == 1) {
    Check(result == 1 && member.GetLength() == n && std::memcmp(member.CStr(), full.Data(), n) == 0,
          "member form decodes otherwise");
  } else {
    Check(result == 0 && std::strcmp(member.CStr(), text.Data()) == 0, "failed member decode changed the string");
  }

  // Encoding the input bytes, then decoding them back.
  const uint8_t *bytes = reader.Rest();
  const uint32_t count = static_cast<uint32_t>(reader.RestSize());
  const uint64_t length = Base64EncodedLength(count, groupsPerLine);
  fuzz::Block encoded(static_cast<size_t>(length) + 1);
  uint32_t written = 0;
  Check(Base64Encode(encoded.Data(), static_cast<uint32_t>(length) + 1, bytes, count, &written, groupsPerLine) == 1,
        "encoding refused an exact buffer");
  Check(written == length && encoded.Data()[written] == '\0', "encoded length differs");
  fuzz::Block back(count + 4);
  uint32_t backLength = count + 4;
  Check(Base64Decode(back.Data(), &backLength, encoded.Data()) == 1, "own encoding not decodable");
  Check(backLength == count && std::memcmp(back.Data(), bytes, count) == 0, "round trip changed the bytes");
  const uint32_t small = static_cast<uint32_t>(length + 1 > shortBy ? length + 1 - shortBy : 0);
  fuzz::Block cut(small);
  uint32_t cutLength = 0;
  const int cutResult = Base64Encode(cut.Data(), small, bytes, count, &cutLength, groupsPerLine);
  if (small > 0) {
    Check(cutResult == (shortBy == 0 ? 1 : 0), "short buffer result");
    const size_t got = std::strlen(cut.Data());
    Check(got < small && std::memcmp(cut.Data(), encoded.Data(), got) == 0, "short encoding is no prefix");
  }

  CCommonString source(reinterpret_cast<const char *>(bytes), count);
  CCommonString viaString;
  Check(Base64EncodeString(viaString, source, groupsPerLine) == 1, "string encoding failed");
  Check(std::strcmp(viaString.CStr(), encoded.Data()) == 0, "string encoding differs");
  return 0;
}
