// number_layout_fuzz.cpp - libFuzzer target: DecodeNumber over any bytes,
// and EncodeNumber of any double into buffers of any size.  Checks that the
// encoder writes inside its buffer and that what it encodes decodes back.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz_check.h"
#include "text/number_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  double decoded = 0;
  const int result = DecodeNumber(data, static_cast<uint32_t>(size), &decoded);
  FUZZ_CHECK(result == 0 || result == 1);
  if (size < 10) return 0;
  double value;
  std::memcpy(&value, data, sizeof value);
  const uint32_t room = data[8] % 24;
  const uint32_t flags = data[9] & 3;
  std::vector<uint8_t> buffer(room + 4, 0xA5);
  uint32_t length = room;
  const int encoded = EncodeNumber(value, buffer.data(), &length, flags);
  FUZZ_CHECK(length <= room);
  for (uint32_t i = room; i < room + 4; ++i) FUZZ_CHECK(buffer[i] == 0xA5);
  const uint32_t skip = (flags & kNumberVarnum) != 0 ? 1 : 0;
  if (encoded == kNumberExact && length > skip) {
    if (skip == 1) FUZZ_CHECK(buffer[0] == length - 1);
    double back = 0;
    FUZZ_CHECK(DecodeNumber(buffer.data() + skip, length - skip, &back) == 0);
    const double magnitude = std::fabs(value);
    if (magnitude > 1e-120 && magnitude < 1e120) FUZZ_CHECK(std::fabs(back - value) <= 1e-13 * magnitude);
  }
  return 0;
}
