// exports_test.cpp - walk order, cursors and the copies into caller buffers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "reader/presenter.h"
#include "reader_fixture.h"

using bexgen::BexSpec;
using bexgen::NamePool;
using bexgen::NodeSpec;

using Exports = ReaderTest;

namespace {
NodeSpec Users(std::vector<int32_t> names, std::vector<uint32_t> values, int16_t first = 0,
               int16_t last = -1) {
  NodeSpec n;
  n.names = std::move(names);
  n.values = std::move(values);
  n.firstTra = first;
  n.lastTra = last;
  return n;
}

BexSpec NodesWithCounts(const std::vector<int> &counts) {
  BexSpec spec;
  NamePool pool;
  for (size_t n = 0; n < counts.size(); ++n) {
    NodeSpec node;
    for (int p = 0; p < counts[n]; ++p) {
      node.names.push_back(pool.Add("g" + std::to_string(n) + "." + std::to_string(p)));
      node.values.push_back(static_cast<uint32_t>(n * 100 + p));
    }
    spec.nodes.push_back(node);
  }
  spec.pool = pool.Bytes();
  return spec;
}

std::vector<std::pair<int, int>> Positions(const std::vector<WalkedGroup> &groups) {
  std::vector<std::pair<int, int>> out;
  for (const WalkedGroup &g : groups) out.emplace_back(g.node, g.position);
  return out;
}

int32_t Next(uint16_t *node, uint16_t *position) {
  return GetNextUserGroup(nullptr, 0, nullptr, node, position, nullptr, nullptr, nullptr, nullptr);
}
}  // namespace

TEST_F(Exports, WalkPassesOverNodesWithoutUsers) {
  struct Case {
    std::vector<int> counts;
    std::vector<std::pair<int, int>> expected;
  } cases[] = {
      {{0, 2}, {{1, 0}, {1, 1}}},
      {{0, 0, 1}, {{2, 0}}},
      {{2, 0, 0, 1, 0}, {{0, 0}, {0, 1}, {3, 0}}},
      {{1, 0}, {{0, 0}}},
      {{0, 0}, {}},
      {{3}, {{0, 0}, {0, 1}, {0, 2}}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.counts));
    const BexSpec spec = NodesWithCounts(c.counts);
    ASSERT_EQ(Read(spec), 1) << Error();
    const auto groups = WalkGroups();
    EXPECT_EQ(Positions(groups), c.expected);
    EXPECT_EQ(groups, ExpectedGroups(spec));
  }
}

TEST_F(Exports, WalkStaysEndedUntilRestarted) {
  ASSERT_EQ(Read(NodesWithCounts({1, 1})), 1);
  EXPECT_EQ(WalkGroups().size(), 2u);
  uint16_t node = 999;
  uint16_t position = 999;
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Next(&node, &position), 0);
  EXPECT_EQ(node, 999) << "nothing is written when nothing is delivered";
  EXPECT_EQ(WalkGroups().size(), 2u);
}

TEST_F(Exports, NextWithoutFirstStartsAtPositionOne) {
  uint16_t node = 0;
  uint16_t position = 0;
  ASSERT_EQ(Read(NodesWithCounts({3, 1})), 1);
  ASSERT_EQ(Next(&node, &position), 1);
  EXPECT_EQ(node, 0);
  EXPECT_EQ(position, 1);
  ASSERT_EQ(Read(NodesWithCounts({1, 2})), 1);
  ASSERT_EQ(Next(&node, &position), 1);
  EXPECT_EQ(node, 1);
  EXPECT_EQ(position, 0);
}

TEST_F(Exports, NodeCursorDoesNotWrapAfterTheLastIndex) {
  std::vector<int> counts(32768, 1);
  BexSpec spec = NodesWithCounts(counts);
  ASSERT_EQ(Read(spec), 1) << Error();
  const auto groups = WalkGroups(40000);
  ASSERT_EQ(groups.size(), 32768u);
  EXPECT_EQ(groups.back().node, 32767);
  EXPECT_EQ(groups.back().name, "g32767.0");
  uint16_t node = 0;
  uint16_t position = 0;
  EXPECT_EQ(Next(&node, &position), 0);
  EXPECT_EQ(Next(&node, &position), 0);
  char name[16];
  ASSERT_EQ(GetUserGroupName(32767, 0, name, sizeof name), 1);
  EXPECT_STREQ(name, "g32767.0");
}

TEST_F(Exports, AllOutParametersMayBeNull) {
  ASSERT_EQ(Read(bexgen::DemoSpec()), 1);
  EXPECT_EQ(GetFirstUserGroup(nullptr, 100, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr),
            1);
  EXPECT_EQ(GetNextUserGroup(nullptr, 100, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr),
            1);
  EXPECT_EQ(GetFirstTraCall(0, nullptr, 100, nullptr), 1);
  EXPECT_EQ(GetNextTraCall(0, nullptr, 100, nullptr), 1);
  EXPECT_EQ(GetUserGroupName(0, 0, nullptr, 100), 1);
  GetBenchmarkName(nullptr, 100);
  EXPECT_EQ(GetBexInfo(nullptr, nullptr), 1);
  EXPECT_EQ(GetGlobalBexInfo(nullptr, nullptr, nullptr), 1);
  EXPECT_EQ(GetGlobalBexInfoEx(nullptr, nullptr, nullptr, nullptr, nullptr), 1);
}

TEST_F(Exports, NamesAreCutToTheCapacity) {
  NamePool pool;
  const int32_t longName = pool.Add("ABCDEFGHIJKLMNOPQRST");  // 20 characters
  BexSpec spec;
  spec.pool = pool.Bytes();
  spec.benchmarkOffset = longName;
  spec.nodes = {Users({longName}, {1}, 0, 0)};
  spec.calls = {{longName, 2, 0, {}}};
  ASSERT_EQ(Read(spec), 1);
  struct Case {
    uint32_t capacity;
    const char *expected;
  } cases[] = {{10, "ABCDEFGHI"}, {1, ""}, {21, "ABCDEFGHIJKLMNOPQRST"}, {2, "A"}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.capacity);
    char buffer[32];
    std::memset(buffer, '#', sizeof buffer);
    ASSERT_EQ(GetFirstUserGroup(buffer, c.capacity, nullptr, nullptr, nullptr, nullptr, nullptr,
                                nullptr, nullptr),
              1);
    EXPECT_STREQ(buffer, c.expected);
    EXPECT_EQ(buffer[c.capacity], '#') << "nothing written past the capacity";
    std::memset(buffer, '#', sizeof buffer);
    ASSERT_EQ(GetFirstTraCall(0, buffer, c.capacity, nullptr), 1);
    EXPECT_STREQ(buffer, c.expected);
    std::memset(buffer, '#', sizeof buffer);
    GetBenchmarkName(buffer, c.capacity);
    EXPECT_STREQ(buffer, c.expected);
    std::memset(buffer, '#', sizeof buffer);
    ASSERT_EQ(GetUserGroupName(0, 0, buffer, c.capacity), 1);
    EXPECT_STREQ(buffer, c.expected);
  }
  char untouched[4] = {'x', 'y', 'z', 0};
  GetBenchmarkName(untouched, 0);
  EXPECT_STREQ(untouched, "xyz") << "capacity 0 writes nothing";
}

TEST_F(Exports, UserGroupNameChecksItsPair) {
  ASSERT_EQ(Read(NodesWithCounts({2, 0, 1})), 1);
  struct Case {
    int16_t node, position;
    int32_t result;
  } cases[] = {{0, 0, 1}, {0, 1, 1}, {0, 2, 0}, {1, 0, 0}, {2, 0, 1},
               {3, 0, 0}, {-1, 0, 0}, {0, -1, 0}, {32767, 0, 0}, {-32768, 0, 0}};
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << c.node << "/" << c.position);
    EXPECT_EQ(GetUserGroupName(c.node, c.position, nullptr, 0), c.result);
  }
}

TEST_F(Exports, TransactionRangesAndTheSharedCursor) {
  NamePool pool;
  std::vector<bexgen::TraCallSpec> calls;
  for (int i = 0; i < 6; ++i) calls.push_back({pool.Add("t" + std::to_string(i)), 10u + i, 0, {}});
  BexSpec spec;
  spec.pool = pool.Bytes();
  spec.calls = calls;
  spec.nodes = {Users({}, {1}, 0, 2),  Users({}, {1}, 5, 4),  Users({}, {1}, 3, 9),
                Users({}, {1}, -3, 1), Users({}, {1}, 1, 4)};
  ASSERT_EQ(Read(spec), 1);
  using Calls = std::vector<std::pair<std::string, uint32_t>>;
  EXPECT_EQ(WalkCalls(0), (Calls{{"t0", 10}, {"t1", 11}, {"t2", 12}}));
  EXPECT_EQ(WalkCalls(1), Calls{}) << "first 5, last 4";
  EXPECT_EQ(WalkCalls(2), (Calls{{"t3", 13}, {"t4", 14}, {"t5", 15}})) << "ends with the table";
  EXPECT_EQ(WalkCalls(3), Calls{}) << "a negative first index ends at once";
  EXPECT_EQ(WalkCalls(-1), Calls{});
  EXPECT_EQ(WalkCalls(5), Calls{});

  // The cursor is one for all nodes: node 0's walk leaves it at 0, and node
  // 4 continues from there inside its own range.
  uint32_t value = 0;
  ASSERT_EQ(GetFirstTraCall(0, nullptr, 0, &value), 1);
  EXPECT_EQ(value, 10u);
  ASSERT_EQ(GetNextTraCall(4, nullptr, 0, &value), 1);
  EXPECT_EQ(value, 11u);
  ASSERT_EQ(GetNextTraCall(0, nullptr, 0, &value), 1);
  EXPECT_EQ(value, 12u);
  EXPECT_EQ(GetNextTraCall(0, nullptr, 0, &value), 0) << "cursor 3 is beyond node 0";
  ASSERT_EQ(GetNextTraCall(4, nullptr, 0, &value), 1);
  EXPECT_EQ(value, 14u) << "cursor moved to 4 even though the previous call failed";
}

TEST_F(Exports, TransactionCursorWrapsAsSixteenBits) {
  NamePool pool;
  BexSpec spec;
  spec.calls = {{pool.Add("x"), 1, 0, {}}};
  spec.pool = pool.Bytes();
  // First index -32768: the start cursor wraps to 32767, the first step back
  // to -32768, which lies outside the table.
  spec.nodes = {Users({}, {1}, -32768, 32767)};
  ASSERT_EQ(Read(spec), 1);
  EXPECT_EQ(GetFirstTraCall(0, nullptr, 0, nullptr), 0);
}

TEST_F(Exports, StateAfterFreeBex) {
  const BexSpec spec = bexgen::DemoSpec();
  ASSERT_EQ(Read(spec), 1);
  FreeBex();
  FreeBex();
  uint32_t version = 0;
  uint32_t flags = 0;
  GetBexInfo(&version, &flags);
  EXPECT_EQ(version, spec.version);
  EXPECT_EQ(flags, spec.flags);
  EXPECT_TRUE(WalkGroups().empty());
  EXPECT_TRUE(WalkCalls(0).empty());
  EXPECT_EQ(GetUserGroupName(0, 0, nullptr, 0), 0);
  // No name list: answers as an empty one.
  char name[32];
  GetBenchmarkName(name, sizeof name);
  EXPECT_EQ(std::string(name), "$" + std::to_string(spec.benchmarkOffset));
  EXPECT_STREQ(GetNameFromNamelist(-7), "XUNDEF");
  EXPECT_STREQ(GetNameFromNamelist(3), "$3");
}

TEST_F(Exports, GlobalInfoReportsTheMaskGroups) {
  BexSpec spec;
  spec.flags = 0xFFFFFFFF;
  ASSERT_EQ(Read(spec), 1);
  uint32_t v = 0, p1 = 0, p2 = 0, p3 = 0, p4 = 0;
  GetGlobalBexInfoEx(&v, &p1, &p2, &p3, &p4);
  EXPECT_EQ(v, bexgen::kVersionCurrent);
  EXPECT_EQ(p1, 0x7F000u);
  EXPECT_EQ(p2, 0x42u);
  EXPECT_EQ(p3, 0x4u);
  EXPECT_EQ(p4, 0x8u);
  p1 = p2 = 0;
  GetGlobalBexInfo(&v, &p1, &p2);
  EXPECT_EQ(p1, 0x7F000u);
  EXPECT_EQ(p2, 0x42u);
  uint32_t flags = 0;
  GetBexInfo(nullptr, &flags);
  EXPECT_EQ(flags, 0xFFFFFFFFu);
}

TEST_F(Exports, ReadingAgainReleasesTheHeldModel) {
  const BexSpec spec = bexgen::DemoSpec();
  ASSERT_EQ(Read(spec), 1);
  const int64_t held = SalMemLiveBlocks();
  for (int i = 0; i < 5; ++i) ASSERT_EQ(Read(spec), 1);
  EXPECT_EQ(SalMemLiveBlocks(), held);
  EXPECT_EQ(Read(std::vector<uint8_t>{1, 2}), 0);
  EXPECT_EQ(SalMemLiveBlocks(), baseline_ + 1) << "only the new, empty name list";
}

TEST_F(Exports, LastErrorIsEmptiedBySuccess) {
  EXPECT_EQ(ReadBex(dir_.File("missing.bex").c_str()), 0);
  EXPECT_NE(Error(), "");
  FreeBex();
  EXPECT_NE(Error(), "") << "FreeBex keeps the text";
  ASSERT_EQ(Read(bexgen::DemoSpec()), 1);
  EXPECT_EQ(Error(), "");
  EXPECT_EQ(LastRBexErr(), LastRBexErr());
}

namespace {
std::vector<std::string> g_shown;
void Capture(const char *caption, const char *text) {
  g_shown.push_back(std::string(caption) + "|" + text);
}
}  // namespace

TEST_F(Exports, SelfTestShowsEveryPairAndReleases) {
  const BexSpec spec = bexgen::DemoSpec();
  const std::string path = Write(bexgen::WriteBex(spec));
  std::vector<std::string> expected;
  for (const WalkedGroup &g : ExpectedGroups(spec)) {
    const bexgen::NodeSpec &node = spec.nodes[g.node];
    for (int i = node.firstTra; i <= node.lastTra; ++i) {
      expected.push_back("Test|usergroup: " + g.name + "(" + std::to_string(g.value) +
                         ") transaction: " + PoolText(spec.pool, spec.calls[i].nameOffset) + "(" +
                         std::to_string(spec.calls[i].value) + ")");
    }
  }
  g_shown.clear();
  SetBexPresenter(&Capture);
  TestVortRBex(path.c_str());
  SetBexPresenter(nullptr);
  EXPECT_EQ(g_shown, expected);
  EXPECT_EQ(SalMemLiveBlocks(), baseline_) << "the self-test releases its model";
}
