// bex_stream_store_test.cpp - chunked storage of the nodes' byte streams.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "base/mem.h"
#include "reader/bex_stream_store.h"

namespace {
bool AllZero(const void *p, size_t n) {
  const auto *b = static_cast<const uint8_t *>(p);
  for (size_t i = 0; i < n; ++i)
    if (b[i] != 0) return false;
  return true;
}
}  // namespace

TEST(BexStreamStore, StreamsAreZeroedAlignedAndDisjoint) {
  const int64_t baseline = SalMemLiveBlocks();
  BexStreamStore store{};
  // Sizes around the alignment and the large-stream limit, many times over,
  // so that several shared chunks and several own chunks are in use.
  const uint32_t sizes[] = {1, 5, 8, 9, 17, 4095, 16384, 16385, 70000};
  struct Piece {
    uint8_t *p;
    uint32_t n;
  };
  std::vector<Piece> pieces;
  for (int round = 0; round < 40; ++round) {
    for (uint32_t n : sizes) {
      auto *p = static_cast<uint8_t *>(StoreStream(store, n));
      ASSERT_NE(p, nullptr);
      EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 8, 0u) << n;
      EXPECT_TRUE(AllZero(p, n)) << n;
      std::memset(p, static_cast<int>(pieces.size() & 0xFF) | 1, n);
      pieces.push_back({p, n});
    }
  }
  // Writing every piece in full left every other piece intact.
  for (size_t i = 0; i < pieces.size(); ++i) {
    const uint8_t fill = static_cast<uint8_t>((i & 0xFF) | 1);
    for (uint32_t k = 0; k < pieces[i].n; ++k) ASSERT_EQ(pieces[i].p[k], fill) << i;
  }
  EXPECT_GT(SalMemLiveBlocks(), baseline);
  ReleaseStreams(store);
  EXPECT_EQ(SalMemLiveBlocks(), baseline);
  EXPECT_EQ(store.chunks, nullptr);
  ReleaseStreams(store);  // releasing an empty store is harmless
  EXPECT_EQ(SalMemLiveBlocks(), baseline);
}

TEST(BexStreamStore, SmallStreamsShareChunks) {
  const int64_t baseline = SalMemLiveBlocks();
  BexStreamStore store{};
  for (int i = 0; i < 65536; ++i) ASSERT_NE(StoreStream(store, 17), nullptr);
  // 65,536 streams of 24 bytes each fit in a few dozen chunks.
  EXPECT_LT(SalMemLiveBlocks() - baseline, 64);
  ReleaseStreams(store);
  EXPECT_EQ(SalMemLiveBlocks(), baseline);
}

TEST(BexStreamStore, FailedChunkGivesNullAndKeepsWhatWasStored) {
  const int64_t baseline = SalMemLiveBlocks();
  BexStreamStore store{};
  auto *kept = static_cast<uint8_t *>(StoreStream(store, 100));
  ASSERT_NE(kept, nullptr);
  std::memset(kept, 0x5A, 100);
  SalMemFailAfter(1, true);
  EXPECT_EQ(StoreStream(store, 20000), nullptr);  // an own chunk
  EXPECT_EQ(StoreStream(store, 65536), nullptr);
  SalMemFailAfter(0);
  EXPECT_EQ(kept[99], 0x5A);
  EXPECT_EQ(StoreStream(store, 0), nullptr);  // nothing to store
  ReleaseStreams(store);
  EXPECT_EQ(SalMemLiveBlocks(), baseline);
}
