// last_error_test.cpp - the thread's last-error value and the history of
// recorded codes.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <thread>
#include <vector>

#include "base/last_error.h"

namespace {
std::vector<uint32_t> History() {
  uint32_t codes[kSalLastErrorHistorySize + 4] = {};
  uint32_t count = kSalLastErrorHistorySize + 4;
  EXPECT_EQ(SalGetLastErrorHistory(codes, &count), 1);
  return std::vector<uint32_t>(codes, codes + std::min<uint32_t>(count, kSalLastErrorHistorySize + 4));
}

// Records codes until the eleven newest are all from base, so that each test
// starts from a history it knows whatever ran before it.
void Fill(uint32_t base) {
  for (uint32_t i = 1; i <= kSalLastErrorHistorySize; ++i) SalRecordLastError(base + i);
}
}  // namespace

TEST(SalLastError, HistoryKeepsTheNewestElevenNewestFirst) {
  Fill(0xA0000000u);
  for (uint32_t i = 1; i <= 12; ++i) SalRecordLastError(0xE0280000u + i);
  std::vector<uint32_t> expected;
  for (uint32_t i = 12; i >= 2; --i) expected.push_back(0xE0280000u + i);
  EXPECT_EQ(History(), expected);
  EXPECT_EQ(SalGetLastError(), 0xE028000Cu);

  // Zero, a repeat of the thread's value and a plain set change the value only.
  SalRecordLastError(SalGetLastError());
  SalRecordLastError(0);
  EXPECT_EQ(SalGetLastError(), 0u);
  EXPECT_EQ(SalSetLastError(0xE0050005u), 0xE0050005u);
  SalRecordLastError(0xE0050005u);
  EXPECT_EQ(History(), expected);
  SalRecordLastError(0xE0050007u);
  EXPECT_EQ(History().front(), 0xE0050007u);
}

TEST(SalLastError, HistoryCopiesWhatFitsValueIsPerThread) {
  Fill(0xC0000000u);
  uint32_t codes[3] = {};
  uint32_t count = 3;
  EXPECT_EQ(SalGetLastErrorHistory(codes, &count), 0);
  EXPECT_EQ(std::vector<uint32_t>({count, codes[0], codes[2]}),
            std::vector<uint32_t>({kSalLastErrorHistorySize, 0xC000000Bu, 0xC0000009u}));
  count = 0;
  EXPECT_EQ(SalGetLastErrorHistory(nullptr, &count), 1) << "null codes only asks for the size";
  EXPECT_EQ(count, kSalLastErrorHistorySize);
  EXPECT_EQ(SalGetLastErrorHistory(codes, nullptr), 0) << "a null count holds no code";
  // The value is the thread's, the history the process's.
  SalSetLastError(0x11u);
  uint32_t seen = 1;
  std::thread([&] {
    seen = SalGetLastError();
    SalRecordLastError(0xE0020002u);
  }).join();
  EXPECT_EQ(seen, 0u) << "a new thread starts without a value";
  EXPECT_EQ(SalGetLastError(), 0x11u);
  EXPECT_EQ(History().front(), 0xE0020002u);
}

TEST(SalLastError, ConcurrentRecordsKeepElevenDistinctCodes) {
  // Eight threads record their own codes at once; afterwards the history
  // holds exactly eleven codes, none twice, every thread's newest first.
  constexpr uint32_t kThreads = 8, kPerThread = 5000;
  std::vector<std::thread> threads;
  for (uint32_t t = 0; t < kThreads; ++t)
    threads.emplace_back([t] {
      for (uint32_t i = 1; i <= kPerThread; ++i) SalRecordLastError(((t + 1) << 24) | i);
    });
  for (std::thread &t : threads) t.join();
  const std::vector<uint32_t> history = History();
  ASSERT_EQ(history.size(), kSalLastErrorHistorySize);
  EXPECT_EQ(std::set<uint32_t>(history.begin(), history.end()).size(), history.size());
  for (size_t i = 0; i < history.size(); ++i) {
    ASSERT_GE(history[i] >> 24, 1u);
    ASSERT_LE(history[i] >> 24, kThreads);
    for (size_t j = i + 1; j < history.size(); ++j)
      EXPECT_TRUE((history[j] >> 24) != (history[i] >> 24) || history[i] > history[j]) << "newest first";
  }
  EXPECT_EQ(history.front() & 0xFFFFFFu, kPerThread) << "the newest is a thread's last code";
}
