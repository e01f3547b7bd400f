// bex_input.cpp - ReadExact, stream reads and skips.
#include "reader/bex_input.h"

#include <cstring>

#include "common/common_file.h"
#include "platform/file.h"
#include "platform/mem.h"
#include "reader/bex_error.h"

BexInput::BexInput(CCommonFile &file) : file_(file) {
  const int64_t length = file.GetLength();
  size_ = length > 0 ? static_cast<uint64_t>(length) : 0;
}

void BexInput::ReadExact(void *dest, uint32_t count, const char *tag) {
  uint32_t got = 0;
  const int ok = file_.Read(dest, count, &got);
  position_ += got;
  if (!ok || got != count) RaiseBexError(tag, kBexErrRead);
}

void BexInput::Skip(uint32_t count) {
  // The result is not checked: a seek that fails, or one past the end, shows
  // as a short read at the next record.
  (void)file_.Seek(static_cast<int64_t>(count), SAL_SEEK_CUR);
  position_ += count;
}

void SkipByteStream(BexInput &in) {
  uint32_t n = 0;
  in.ReadExact(&n, sizeof n, "SkipByteStream");
  if (n != 0) in.Skip(n);
}

void *BeginByteStream(BexInput &in, uint32_t *length) {
  uint32_t n = 0;
  in.ReadExact(&n, sizeof n, "pLenByteStream");
  *length = n;
  if (n == 0) return nullptr;
  // n is what the file claims; the bytes left in the file are the fact.
  if (n > in.BytesLeft()) RaiseBexError("ppByteStream", kBexErrRead);
  void *p = nullptr;
  // One zero byte more than the stream, so that any text inside ends.
  if (!MemAlloc(&p, static_cast<int64_t>(n) + 1, 1, "ReadByteStreamFromBex"))
    RaiseBexError("", kBexErrByteStream);
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
