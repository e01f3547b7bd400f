// mem_test.cpp - zero-filled allocation, overflow checks and failure injection.
#include "base/mem.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

TEST(MemAlloc, ZeroCountsSucceedAndStorageIsZeroFilled) {
  for (int64_t count : {int64_t{0}, int64_t{8}}) {
    void *p = reinterpret_cast<void *>(1);
    EXPECT_EQ(MemAlloc(&p, count, count == 0 ? 8 : 0, "t"), 1);
    EXPECT_EQ(p, nullptr);
  }
  const int64_t before = SalMemLiveBlocks();
  uint32_t *p = nullptr;
  ASSERT_EQ(MemAllocT(&p, 1000, "t"), 1);
  EXPECT_EQ(SalMemLiveBlocks(), before + 1);
  uint32_t sum = 0;
  for (int i = 0; i < 1000; ++i) sum |= p[i];
  EXPECT_EQ(sum, 0u);
  MemFree(p);
  MemFree(nullptr);
  EXPECT_EQ(SalMemLiveBlocks(), before);
  EXPECT_EQ(MemAlloc(nullptr, 1, 1, "t"), 0);
  EXPECT_EQ(MemRealloc(nullptr, 1), 0);
}

TEST(MemAlloc, ImpossibleRequestsFailCleanly) {
  // Negative counts, products beyond size_t, and a size that size_t holds
  // but no allocator can satisfy.
  const int64_t before = SalMemLiveBlocks();
  for (auto [count, size] : {std::pair<int64_t, size_t>{-1, 1}, {-2, 32}, {INT64_MIN, 1}, {INT64_MAX, 16},
                             {static_cast<int64_t>(SIZE_MAX / 4 + 1), 8}, {static_cast<int64_t>(SIZE_MAX / 16), 8}}) {
    SCOPED_TRACE(count);
    SalMemFailAfter(0);  // forgets the last failed tag
    void *p = reinterpret_cast<void *>(1);
    EXPECT_EQ(MemAlloc(&p, count, size, "impossible"), 0);
    EXPECT_EQ(p, nullptr);
    EXPECT_STREQ(SalMemLastFailedTag(), "impossible");
    EXPECT_EQ(SalMemLiveBlocks(), before);
  }
}

TEST(MemAlloc, InjectedFailureHitsTheNthCallOnceOrForever) {
  void *blocks[4] = {};
  SalMemFailAfter(3);
  EXPECT_EQ(MemAlloc(&blocks[0], 1, 1, "a"), 1);
  EXPECT_EQ(MemAlloc(&blocks[1], 1, 1, "b"), 1);
  EXPECT_EQ(MemAlloc(&blocks[2], 1, 1, "c"), 0);
  EXPECT_STREQ(SalMemLastFailedTag(), "c");
  EXPECT_EQ(MemAlloc(&blocks[3], 1, 1, "d"), 1) << "one failure only";
  for (void *b : blocks) MemFree(b);

  SalMemFailAfter(1, true);
  void *p = nullptr;
  EXPECT_EQ(MemAlloc(&p, 1, 1, "x"), 0);
  EXPECT_EQ(MemAlloc(&p, 1, 1, "y"), 0) << "failing forever";
  SalMemFailAfter(0);
  EXPECT_EQ(SalMemLastFailedTag(), nullptr);
  EXPECT_EQ(MemAlloc(&p, 1, 1, "z"), 1);
  MemFree(p);
}

TEST(MemRealloc, ResizesKeepsContentsAndHonoursTheHook) {
  const int64_t before = SalMemLiveBlocks();
  void *p = nullptr;
  ASSERT_EQ(MemRealloc(&p, 4), 1);
  EXPECT_EQ(SalMemLiveBlocks(), before + 1);
  std::memcpy(p, "abc", 4);
  SalMemFailAfter(1);
  void *kept = p;
  EXPECT_EQ(MemRealloc(&p, 1 << 20), 0);
  EXPECT_EQ(p, kept) << "a failed resize leaves the block";
  ASSERT_EQ(MemRealloc(&p, 1 << 20), 1);
  EXPECT_STREQ(static_cast<char *>(p), "abc");
  EXPECT_EQ(SalMemLiveBlocks(), before + 1);
  ASSERT_EQ(MemRealloc(&p, 0), 1);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(SalMemLiveBlocks(), before);

  void *adopted = std::malloc(8);
  MemAdopt(adopted);
  MemAdopt(nullptr);
  EXPECT_EQ(SalMemLiveBlocks(), before + 1);
  MemFree(adopted);
  EXPECT_EQ(SalMemLiveBlocks(), before);
}
