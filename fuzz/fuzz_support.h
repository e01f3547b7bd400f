// fuzz_support.h - helpers of the text fuzz target: the failure report,
// exact-size heap blocks and a reader of the input's bytes.
#ifndef FUZZ_FUZZ_SUPPORT_H
#define FUZZ_FUZZ_SUPPORT_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

// Ends the run with a message when a promise of the function under test is
// broken: libFuzzer keeps the input as a crash.
#define FUZZ_CHECK(condition)                                                              \
  do {                                                                                     \
    if (!(condition)) {                                                                    \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                        \
    }                                                                                      \
  } while (0)

namespace fuzz {

/// A heap block of exactly the requested size, so that AddressSanitizer
/// sees every access behind it.
class Block {
 public:
  explicit Block(size_t size) : bytes_(new char[size > 0 ? size : 1]), size_(size) {}
  Block(const void *data, size_t size) : Block(size) {
    if (size > 0) std::memcpy(bytes_.get(), data, size);
  }
  /// The data followed by a zero byte.
  static Block Text(const void *data, size_t size) {
    Block b(size + 1);
    if (size > 0) std::memcpy(b.Data(), data, size);
    b.Data()[size] = '\0';
    return b;
  }
  char *Data() { return bytes_.get(); }
  const char *Data() const { return bytes_.get(); }
  size_t Size() const { return size_; }

 private:
  std::unique_ptr<char[]> bytes_;
  size_t size_;
};

/// Takes the input's bytes one after another; 0 once they are used up.
class Reader {
 public:
  Reader(const uint8_t *data, size_t size) : data_(data), size_(size) {}
  uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  uint32_t Word() {
    uint32_t v = 0;
    for (int k = 0; k < 4; ++k) v = (v << 8) | Byte();
    return v;
  }
  const uint8_t *Rest() const { return data_ + at_; }
  size_t RestSize() const { return size_ - at_; }

 private:
  const uint8_t *data_;
  size_t size_;
  size_t at_ = 0;
};

}  // namespace fuzz

#endif  // FUZZ_FUZZ_SUPPORT_H
