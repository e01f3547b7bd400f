// fuzz_support.h - helpers shared by the text-library fuzz targets.
#ifndef FUZZ_FUZZ_SUPPORT_H
#define FUZZ_FUZZ_SUPPORT_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace fuzz {

[[noreturn]] inline void Fail(const char *target, const char *what) {
  std::fprintf(stderr, "%s: %s\n", target, what);
  std::abort();
}

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
