// mem.h - zero-filled tagged allocation, resizing, and release.
#ifndef SAL_MEM_H
#define SAL_MEM_H

#include <cstddef>
#include <cstdint>

/// Allocates count x size bytes, zero-filled, and stores the address in *out.
/// A count or size of 0 stores null and succeeds.  Fails (returns 0, stores
/// null) for a negative count, for a product that overflows, or when the
/// storage cannot be obtained.  tag names the caller for diagnostics.
[[nodiscard]] int MemAlloc(void **out, int64_t count, size_t size,
                           const char *tag);

/// Typed convenience over MemAlloc.
template <typename T>
[[nodiscard]] int MemAllocT(T **out, int64_t count, const char *tag) {
  void *p = nullptr;
  const int ok = MemAlloc(&p, count, sizeof(T), tag);
  *out = static_cast<T *>(p);
  return ok;
}

/// Releases storage from MemAlloc, MemRealloc or MemAdopt; null is allowed.
void MemFree(void *p);

/// Resizes the storage at *block (from MemAlloc or MemRealloc; null asks for
/// new storage) to size bytes, keeping the contents up to the smaller of the
/// two sizes; bytes beyond them are not initialised.  Size 0 releases the
/// storage and stores null.  The storage stays compatible with the runtime
/// library's realloc and free.  Counts towards the failure injection of
/// SalMemFailAfter like MemAlloc (SalMemLastFailedTag keeps naming MemAlloc
/// calls only).  On failure returns 0 and leaves *block and its storage as
/// they were.
[[nodiscard]] int MemRealloc(void **block, size_t size);

/// Takes storage that the caller obtained from the runtime library's
/// malloc, calloc or realloc into the account of MemFree and
/// SalMemLiveBlocks.  Null is ignored.
void MemAdopt(void *p);

// ---- test support: allocation-failure injection and accounting ----------

/// Makes the n-th MemAlloc call from now fail (n = 1: the next one).  With
/// forever set, that call and every later one fails.  n = 0 disarms.
void SalMemFailAfter(uint32_t n, bool forever = false);

/// Number of MemAlloc blocks not yet released (process-wide).
int64_t SalMemLiveBlocks();

/// Tag of the last MemAlloc call that failed, or null.
const char *SalMemLastFailedTag();

/// Bytes that MemRealloc calls resizing an existing block may have moved
/// (process-wide, from the start): every successful resize of a block to a
/// new size counts that size, the most an allocator that cannot resize in
/// place copies.  Obtaining new storage and releasing storage count
/// nothing.  A difference of two readings bounds the copying a piece of
/// code caused, whatever the allocator did.
uint64_t SalMemReallocBytes();

#endif  // SAL_MEM_H
