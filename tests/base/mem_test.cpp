// mem_test.cpp - zero-filled allocation, overflow checks and failure injection.
#include "base/mem.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

TEST(MemAlloc, ZeroCountsGiveNullAndSuccess) {
  void *p = reinterpret_cast<void *>(1);
  EXPECT_EQ(MemAlloc(&p, 0, 8, "t"), 1);
  EXPECT_EQ(p, nullptr);
  p = reinterpret_cast<void *>(1);
  EXPECT_EQ(MemAlloc(&p, 8, 0, "t"), 1);
  EXPECT_EQ(p, nullptr);
  MemFree(nullptr);
}

TEST(MemAlloc, StorageIsZeroFilled) {
  const int64_t before = SalMemLiveBlocks();
  uint32_t *p = nullptr;
  ASSERT_EQ(MemAllocT(&p, 1000, "t"), 1);
  EXPECT_EQ(SalMemLiveBlocks(), before + 1);
  uint32_t sum = 0;
  for (int i = 0; i < 1000; ++i) sum |= p[i];
  EXPECT_EQ(sum, 0u);
  MemFree(p);
  EXPECT_EQ(SalMemLiveBlocks(), before);
}

TEST(MemAlloc, ImpossibleRequestsFail) {
  struct Case {
    int64_t count;
    size_t size;
  } cases[] = {{-1, 1}, {-2, 32}, {INT64_MIN, 1}, {INT64_MAX, 16},
               {static_cast<int64_t>(SIZE_MAX / 4 + 1), 8}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.count);
    void *p = reinterpret_cast<void *>(1);
    EXPECT_EQ(MemAlloc(&p, c.count, c.size, "impossible"), 0);
    EXPECT_EQ(p, nullptr);
    EXPECT_STREQ(SalMemLastFailedTag(), "impossible");
  }
}

TEST(MemAlloc, InjectedFailureHitsTheNthCall) {
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
  EXPECT_EQ(SalMemLiveBlocks(), before + 1);
  MemFree(adopted);
  EXPECT_EQ(SalMemLiveBlocks(), before);
}
