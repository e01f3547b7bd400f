// bex_input.cpp - ReadExact, stream reads and skips.
#include "reader/bex_input.h"

#include <cstring>
#include <new>

#include "base/mem.h"
#include "platform/file.h"
#include "reader/bex_error.h"
#include "reader/bex_stream_store.h"
#include "text/common_file.h"

BexInput::BexInput(CCommonFile &file)
    : file_(file), block_(new (std::nothrow) uint8_t[kBlockSize]) {
  const int64_t length = file.GetLength();
  size_ = length > 0 ? static_cast<uint64_t>(length) : 0;
}

BexInput::~BexInput() { delete[] block_; }

void BexInput::ReadExact(void *dest, uint32_t count, const char *tag) {
  auto *out = static_cast<uint8_t *>(dest);
  const uint32_t buffered = end_ - next_;
  if (count <= buffered) {
    std::memcpy(out, block_ + next_, count);
    next_ += count;
    position_ += count;
    return;
  }
  // Take what the block holds, then the rest from the file.
  if (buffered != 0) std::memcpy(out, block_ + next_, buffered);
  next_ = end_ = 0;
  position_ += buffered;
  const uint32_t rest = count - buffered;
  uint32_t got = 0;
  if (block_ == nullptr || rest >= kBlockSize / 2) {
    (void)file_.Read(out + buffered, rest, &got);
  } else {
    // A short block is the end of the file, not an error in itself.
    (void)file_.Read(block_, kBlockSize, &end_);
    got = rest < end_ ? rest : end_;
    std::memcpy(out + buffered, block_, got);
    next_ = got;
  }
  position_ += got;
  if (got != rest) RaiseBexError(tag, kBexErrRead);
}

void BexInput::Skip(uint32_t count) {
  const uint32_t buffered = end_ - next_;
  position_ += count;
  if (count <= buffered) {
    next_ += count;
    return;
  }
  next_ = end_ = 0;
  // The result is not checked: a seek that fails, or one past the end, shows
  // as a short read at the next record.
  (void)file_.Seek(static_cast<int64_t>(count - buffered), SAL_SEEK_CUR);
}

void SkipByteStream(BexInput &in) {
  uint32_t n = 0;
  in.ReadExact(&n, sizeof n, "SkipByteStream");
  if (n != 0) in.Skip(n);
}

void *BeginByteStream(BexInput &in, uint32_t *length, BexStreamStore *store) {
  uint32_t n = 0;
  in.ReadExact(&n, sizeof n, "pLenByteStream");
  *length = n;
  if (n == 0) return nullptr;
  // n is what the file claims; the bytes left in the file are the fact.
  if (n > in.BytesLeft()) RaiseBexError("ppByteStream", kBexErrRead);
  // One zero byte more than the stream, so that any text inside ends.  The
  // check above keeps n + 1 within the file's size.
  void *p = nullptr;
  if (store != nullptr) {
    p = StoreStream(*store, n + 1);
  } else if (!MemAlloc(&p, static_cast<int64_t>(n) + 1, 1, "ReadByteStreamFromBex")) {
    p = nullptr;
  }
  if (p == nullptr) RaiseBexError("", kBexErrByteStream);
  return p;
}

void ReadByteStreamToBuffer(BexInput &in, void *buffer, uint32_t capacity, uint32_t *length) {
  uint32_t n = 0;
  in.ReadExact(&n, sizeof n, "pLenByteStream");
  if (length != nullptr) *length = n;
  if (buffer == nullptr || n == 0) return;
  if (n > capacity || n > in.BytesLeft()) RaiseBexError("ppByteStream", kBexErrRead);
  in.ReadExact(buffer, n, "ppByteStream");
}

namespace {
struct ScopedMem {
  void *p = nullptr;
  ~ScopedMem() { MemFree(p); }
};

void SkipList(BexInput &in, uint32_t presence, uint16_t elementSize, uint16_t childSize,
              void *buffer) {
  if (presence == 0) return;
  uint32_t more = 0;
  do {
    in.ReadExact(buffer, elementSize, "SkipDynList");
    uint32_t words[2] = {0, 0};
    std::memcpy(words, buffer, elementSize < sizeof words ? elementSize : sizeof words);
    more = words[0];
    // Nested lists have no children of their own, so the recursion is one
    // level deep whatever the file says.
    if (childSize != 0) SkipDynList(in, words[1], childSize, 0);
  } while (more != 0);
}
}  // namespace

void SkipDynList(BexInput &in, uint32_t presence, uint16_t elementSize, uint16_t childSize) {
  if (presence == 0) return;
  ScopedMem buffer;
  // Room for the two link words even when an element is declared shorter.
  const uint32_t room = elementSize < 8 ? 8 : elementSize;
  if (!MemAlloc(&buffer.p, room, 1, "SkipDynList")) RaiseBexError("", kBexErrDynList);
  SkipList(in, presence, elementSize, childSize, buffer.p);
}
