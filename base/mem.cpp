// mem.cpp - MemAlloc / MemRealloc / MemFree over the runtime allocator, with
// failure injection for tests.
#include "base/mem.h"

#include <atomic>
#include <cstdlib>

namespace {
std::atomic<uint32_t> g_failCountdown{0};
std::atomic<bool> g_failForever{false};
std::atomic<int64_t> g_liveBlocks{0};
std::atomic<const char *> g_lastFailedTag{nullptr};
std::atomic<uint64_t> g_reallocBytes{0};

// Counts the call down and tells whether it is the one to fail.
bool InjectedFailure() {
  uint32_t n = g_failCountdown.load(std::memory_order_relaxed);
  if (n == 0) return false;
  if (n == 1) {
    if (!g_failForever.load(std::memory_order_relaxed)) g_failCountdown.store(0);
    return true;
  }
  g_failCountdown.store(n - 1, std::memory_order_relaxed);
  return false;
}
}  // namespace

int MemAlloc(void **out, int64_t count, size_t size, const char *tag) {
  if (out == nullptr) return 0;
  *out = nullptr;
  if (count == 0 || size == 0) return 1;
  if (count < 0 || static_cast<uint64_t>(count) > SIZE_MAX / size ||
      InjectedFailure()) {
    g_lastFailedTag.store(tag, std::memory_order_relaxed);
    return 0;
  }
  void *p = std::calloc(static_cast<size_t>(count), size);
  if (p == nullptr) {
    g_lastFailedTag.store(tag, std::memory_order_relaxed);
    return 0;
  }
  g_liveBlocks.fetch_add(1, std::memory_order_relaxed);
  *out = p;
  return 1;
}

void MemFree(void *p) {
  if (p == nullptr) return;
  g_liveBlocks.fetch_sub(1, std::memory_order_relaxed);
  std::free(p);
}

int MemRealloc(void **block, size_t size) {
  if (block == nullptr) return 0;
  if (size == 0) {
    MemFree(*block);
    *block = nullptr;
    return 1;
  }
  if (InjectedFailure()) return 0;
  void *p = std::realloc(*block, size);
  if (p == nullptr) return 0;
  if (*block == nullptr) {
    g_liveBlocks.fetch_add(1, std::memory_order_relaxed);
  } else {
    g_reallocBytes.fetch_add(size, std::memory_order_relaxed);
  }
  *block = p;
  return 1;
}

void MemAdopt(void *p) {
  if (p != nullptr) g_liveBlocks.fetch_add(1, std::memory_order_relaxed);
}

void SalMemFailAfter(uint32_t n, bool forever) {
  g_failForever.store(forever, std::memory_order_relaxed);
  g_failCountdown.store(n, std::memory_order_relaxed);
  g_lastFailedTag.store(nullptr, std::memory_order_relaxed);
}

int64_t SalMemLiveBlocks() { return g_liveBlocks.load(std::memory_order_relaxed); }

const char *SalMemLastFailedTag() { return g_lastFailedTag.load(std::memory_order_relaxed); }

uint64_t SalMemReallocBytes() { return g_reallocBytes.load(std::memory_order_relaxed); }
