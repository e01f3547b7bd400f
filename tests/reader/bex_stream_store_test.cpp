// bex_stream_store_test.cpp - chunked storage of the nodes' byte streams.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "base/mem.h"
#include "reader/bex_stream_store.h"

TEST(BexStreamStore, StreamsAreZeroedAlignedDisjointAndShareChunks) {
  const int64_t baseline = SalMemLiveBlocks();
  BexStreamStore store{};
  // Sizes around the alignment and the large-stream limit, many times over,
  // so that several shared chunks and several own chunks are in use.
  std::vector<std::pair<uint8_t *, uint32_t>> pieces;
  for (int round = 0; round < 40; ++round) {
    for (uint32_t n : {1u, 5u, 8u, 9u, 17u, 4095u, 16384u, 16385u, 70000u}) {
      auto *p = static_cast<uint8_t *>(StoreStream(store, n));
      ASSERT_NE(p, nullptr);
      EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 8, 0u) << n;
      EXPECT_EQ(std::vector<uint8_t>(p, p + n), std::vector<uint8_t>(n, 0)) << n;
      std::memset(p, static_cast<int>(pieces.size() & 0xFF) | 1, n);
      pieces.emplace_back(p, n);
    }
  }
  // Writing every piece in full left every other piece intact.
  for (size_t i = 0; i < pieces.size(); ++i) {
    const auto fill = static_cast<uint8_t>((i & 0xFF) | 1);
    ASSERT_EQ(std::vector<uint8_t>(pieces[i].first, pieces[i].first + pieces[i].second),
              std::vector<uint8_t>(pieces[i].second, fill))
        << i;
  }
  ReleaseStreams(store);
  EXPECT_EQ(SalMemLiveBlocks(), baseline);
  EXPECT_EQ(store.chunks, nullptr);
  ReleaseStreams(store);  // releasing an empty store is harmless
  // 65,536 streams of 24 bytes each fit in a few dozen chunks.
  for (int i = 0; i < 65536; ++i) ASSERT_NE(StoreStream(store, 17), nullptr);
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
