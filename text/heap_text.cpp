// heap_text.cpp - texts on the heap.
#include "base/last_error.h"
#include "text/heap_text.h"

#include <cstdint>
#include <cstring>

#include "base/mem.h"
#include "base/sal_errors.h"
#include "base/text.h"

namespace {
int Fail(uint32_t code) {
  SalRecordLastError(code);
  return 0;
}

template <typename Char>
size_t Length(const Char *text) {
  size_t n = 0;
  while (text[n] != 0) ++n;
  return n;
}

template <typename Char>
int Alloc(Char **out, uint64_t units) {
  if (out == nullptr) return Fail(kCommonErrNullText);
  void *p = nullptr;
  if (MemAlloc(&p, static_cast<int64_t>(units), sizeof(Char), "heap text") == 0 || p == nullptr)
    return Fail(kCommonErrNoStorage);
  *out = static_cast<Char *>(p);
  return 1;
}

// Resizes *inout to units; new storage when *inout is null.
template <typename Char>
int Resize(Char **inout, uint64_t units) {
  if (units > 0xFFFFFFFFull / sizeof(Char)) return Fail(kCommonErrNoStorage);
  void *block = *inout;
  if (MemRealloc(&block, static_cast<size_t>(units * sizeof(Char))) == 0) return Fail(kCommonErrNoStorage);
  *inout = static_cast<Char *>(block);
  return 1;
}

template <typename Char>
int AppendText(Char **inout, const Char *text) {
  if (inout == nullptr) return Fail(kCommonErrNullText);
  if (text == nullptr) return 1;
  const size_t old = *inout != nullptr ? Length(*inout) : 0;
  const size_t add = Length(text);
  // text may lie inside *inout: remember where, as the storage may move.
  const uintptr_t at = reinterpret_cast<uintptr_t>(text);
  const uintptr_t base = reinterpret_cast<uintptr_t>(*inout);
  const bool inside = *inout != nullptr && at >= base && at <= base + old * sizeof(Char);
  const size_t offset = inside ? static_cast<size_t>(text - *inout) : 0;
  if (Resize(inout, static_cast<uint64_t>(old) + add + 2) == 0) return 0;
  const Char *source = inside ? *inout + offset : text;
  std::memmove(*inout + old, source, add * sizeof(Char));
  (*inout)[old + add] = 0;
  return 1;
}

template <typename Char>
int AppendUnits(Char **inout, uint32_t oldLength, const Char *units, uint32_t n) {
  if (inout == nullptr || units == nullptr) return Fail(kCommonErrNullText);
  if (Resize(inout, static_cast<uint64_t>(oldLength) + n + 2) == 0) return 0;
  std::memcpy(*inout + oldLength, units, (static_cast<size_t>(n) + 1) * sizeof(Char));
  return 1;
}
}  // namespace

int AllocText(char **out, uint32_t n) { return Alloc(out, static_cast<uint64_t>(n) + 2); }

int AllocWideText(char16_t **out, uint32_t n) { return Alloc(out, static_cast<uint64_t>(n) + 2); }

int DupText(char **out, const char *text) {
  if (out == nullptr || text == nullptr) return Fail(kCommonErrNullText);
  const size_t n = std::strlen(text);
  char *copy = nullptr;
  if (Alloc(&copy, static_cast<uint64_t>(n) + 2) == 0) return 0;
  BoundedCopy(copy, n + 2, text);
  *out = copy;
  return 1;
}

int DupWideText(char16_t **out, const char16_t *text) {
  if (out == nullptr || text == nullptr) return Fail(kCommonErrNullText);
  const size_t n = Length(text);
  char16_t *copy = nullptr;
  if (Alloc(&copy, static_cast<uint64_t>(n) + 2) == 0) return 0;
  BoundedCopyW(copy, n + 2, text);
  *out = copy;
  return 1;
}

int AppendAllocText(char **inout, const char *text) { return AppendText(inout, text); }

int AppendAllocWideText(char16_t **inout, const char16_t *text) { return AppendText(inout, text); }

int AppendAllocBytes(char **inout, uint32_t oldLength, const char *bytes, uint32_t n) {
  return AppendUnits(inout, oldLength, bytes, n);
}

int AppendAllocWideUnits(char16_t **inout, uint32_t oldLength, const char16_t *units, uint32_t n) {
  return AppendUnits(inout, oldLength, units, n);
}
