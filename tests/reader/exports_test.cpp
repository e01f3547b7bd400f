// exports_test.cpp - walk order, cursors and the copies into caller buffers.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "reader/presenter.h"
#include "reader_fixture.h"

using bexgen::BexSpec;
using bexgen::NamePool;
using bexgen::NodeSpec;
using Exports = ReaderTest;

namespace {
NodeSpec Users(std::vector<int32_t> names, std::vector<uint32_t> values, int16_t first = 0, int16_t last = -1) {
  NodeSpec n;
  n.names = std::move(names);
  n.values = std::move(values);
  n.firstTra = first;
  n.lastTra = last;
  return n;
}

// Nodes with counts[n] users each, named "g<node>.<position>".
BexSpec NodesWithCounts(const std::vector<int> &counts) {
  BexSpec plan;
  NamePool pool;
  for (size_t n = 0; n < counts.size(); ++n) {
    NodeSpec node;
    for (int p = 0; p < counts[n]; ++p) {
      node.names.push_back(pool.Add("g" + std::to_string(n) + "." + std::to_string(p)));
      node.values.push_back(static_cast<uint32_t>(n * 100 + p));
    }
    plan.nodes.push_back(node);
  }
  plan.pool = pool.Bytes();
  return plan;
}

int32_t Next(uint16_t *node = nullptr, uint16_t *position = nullptr) {
  return GetNextUserGroup(nullptr, 0, nullptr, node, position, nullptr, nullptr, nullptr, nullptr);
}
}  // namespace

TEST_F(Exports, WalkPassesOverEmptyNodesAndCursorsNeverWrap) {
  for (const std::vector<int> &counts : {std::vector<int>{0, 2}, {0, 0, 1}, {2, 0, 0, 1, 0}, {1, 0}, {0, 0}, {3}}) {
    SCOPED_TRACE(testing::PrintToString(counts));
    const BexSpec plan = NodesWithCounts(counts);
    ASSERT_EQ(Read(plan), 1) << Error();
    EXPECT_EQ(WalkGroups(), ExpectedGroups(plan));
    // An ended walk stays ended until it is started again; nothing is
    // written when nothing is delivered.
    uint16_t node = 999;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Next(&node), 0);
    EXPECT_EQ(node, 999);
  }
  // A walk begun with Next starts at position one of the first node.
  uint16_t node = 0, position = 0;
  ASSERT_EQ(Read(NodesWithCounts({3, 1})), 1);
  ASSERT_EQ(Next(&node, &position), 1);
  EXPECT_EQ(node * 10 + position, 1);
  ASSERT_EQ(Read(NodesWithCounts({1, 2})), 1);
  ASSERT_EQ(Next(&node, &position), 1);
  EXPECT_EQ(node * 10 + position, 10);
  // 32768 nodes: the node cursor goes past index 32767 without wrapping.
  ASSERT_EQ(Read(NodesWithCounts(std::vector<int>(32768, 1))), 1) << Error();
  const auto groups = WalkGroups(40000);
  ASSERT_EQ(groups.size(), 32768u);
  EXPECT_EQ(groups.back().name, "g32767.0");
  EXPECT_EQ(Next(), 0);
  EXPECT_EQ(Next(), 0);
}

TEST_F(Exports, AllOutParametersMayBeNull) {
  ASSERT_EQ(Read(bexgen::DemoSpec()), 1);
  EXPECT_EQ(GetFirstUserGroup(nullptr, 100, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 1);
  EXPECT_EQ(GetNextUserGroup(nullptr, 100, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 1);
  EXPECT_EQ(GetFirstTraCall(0, nullptr, 100, nullptr), 1);
  EXPECT_EQ(GetNextTraCall(0, nullptr, 100, nullptr), 1);
  EXPECT_EQ(GetUserGroupName(0, 0, nullptr, 100), 1);
  GetBenchmarkName(nullptr, 100);
  EXPECT_EQ(GetBexInfo(nullptr, nullptr), 1);
  EXPECT_EQ(GetGlobalBexInfo(nullptr, nullptr, nullptr), 1);
  EXPECT_EQ(GetGlobalBexInfoEx(nullptr, nullptr, nullptr, nullptr, nullptr), 1);
}

// The four name exports, each at every capacity of interest: the copy is cut
// to the capacity and nothing is written past it (capacity 0: nothing at all).
TEST_F(Exports, NamesAreCutToTheCapacity) {
  NamePool pool;
  const int32_t longName = pool.Add("ABCDEFGHIJKLMNOPQRST");  // 20 characters
  BexSpec plan;
  plan.pool = pool.Bytes();
  plan.benchmarkOffset = longName;
  plan.nodes = {Users({longName}, {1}, 0, 0)};
  plan.calls = {{longName, 2, 0, {}}};
  ASSERT_EQ(Read(plan), 1);
  const std::pair<const char *, std::function<void(char *, uint32_t)>> exports[] = {
      {"GetFirstUserGroup",
       [](char *b, uint32_t n) {
         EXPECT_EQ(GetFirstUserGroup(b, n, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 1);
       }},
      {"GetFirstTraCall", [](char *b, uint32_t n) { EXPECT_EQ(GetFirstTraCall(0, b, n, nullptr), 1); }},
      {"GetUserGroupName", [](char *b, uint32_t n) { EXPECT_EQ(GetUserGroupName(0, 0, b, n), 1); }},
      {"GetBenchmarkName", [](char *b, uint32_t n) { GetBenchmarkName(b, n); }}};
  for (const auto &[name, call] : exports) {
    for (uint32_t capacity : {0u, 1u, 2u, 10u, 20u, 21u, 30u}) {
      SCOPED_TRACE(testing::Message() << name << " " << capacity);
      char buffer[32];
      std::memset(buffer, '#', sizeof buffer);
      call(buffer, capacity);
      const std::string expected =
          capacity == 0 ? "#" : std::string("ABCDEFGHIJKLMNOPQRST").substr(0, capacity - 1) + '\0';
      EXPECT_EQ(std::string(buffer, expected.size()), expected);
      EXPECT_EQ(std::string(buffer + expected.size(), 32 - expected.size()), std::string(32 - expected.size(), '#'));
    }
  }
}

TEST_F(Exports, UserGroupNameChecksItsPair) {
  ASSERT_EQ(Read(NodesWithCounts({2, 0, 1})), 1);
  const struct {
    int16_t node, position;
    int32_t result;
  } cases[] = {{0, 1, 1}, {0, 2, 0}, {1, 0, 0}, {2, 0, 1}, {3, 0, 0}, {-1, 0, 0}, {0, -1, 0}, {-32768, 0, 0}};
  for (const auto &c : cases)
    EXPECT_EQ(GetUserGroupName(c.node, c.position, nullptr, 0), c.result) << c.node << "/" << c.position;
}

TEST_F(Exports, TransactionRangesAndTheSharedCursor) {
  NamePool pool;
  BexSpec plan;
  for (int i = 0; i < 6; ++i) plan.calls.push_back({pool.Add("t" + std::to_string(i)), 10u + i, 0, {}});
  plan.pool = pool.Bytes();
  plan.nodes = {Users({}, {1}, 0, 2), Users({}, {1}, 5, 4), Users({}, {1}, 3, 9), Users({}, {1}, -3, 1),
                Users({}, {1}, 1, 4)};
  ASSERT_EQ(Read(plan), 1);
  using Calls = std::vector<std::pair<std::string, uint32_t>>;
  EXPECT_EQ(WalkCalls(0), (Calls{{"t0", 10}, {"t1", 11}, {"t2", 12}}));
  EXPECT_EQ(WalkCalls(1), Calls{}) << "first 5, last 4";
  EXPECT_EQ(WalkCalls(2), (Calls{{"t3", 13}, {"t4", 14}, {"t5", 15}})) << "ends with the table";
  EXPECT_EQ(WalkCalls(3), Calls{}) << "a negative first index ends at once";
  EXPECT_EQ(WalkCalls(-1), Calls{});
  EXPECT_EQ(WalkCalls(5), Calls{});
  // No node 5, whatever the cursor (without the node check the call reads
  // past the table, which the sanitizer build reports).
  EXPECT_EQ(GetNextTraCall(5, nullptr, 0, nullptr), 0);
  // The cursor is one for all nodes: node 0's walk leaves it at 0, and node
  // 4 continues from there inside its own range.
  std::vector<uint32_t> values;
  uint32_t value = 0;
  for (int16_t node : {0, 4, 0, 0, 4})
    values.push_back((values.empty() ? GetFirstTraCall(node, nullptr, 0, &value)
                                     : GetNextTraCall(node, nullptr, 0, &value)) != 0 ? value : 0);
  EXPECT_EQ(values, (std::vector<uint32_t>{10, 11, 12, 0, 14})) << "cursor 3 is beyond node 0 but moves on";
  // First index -32768: the start cursor wraps to 32767, the first step back
  // to -32768, which lies outside the table.
  plan.nodes = {Users({}, {1}, -32768, 32767)};
  ASSERT_EQ(Read(plan), 1);
  EXPECT_EQ(GetFirstTraCall(0, nullptr, 0, nullptr), 0);
}

TEST_F(Exports, NothingIsWalkedAfterFreeBexOrOfAHeaderOnlyFile) {
  const BexSpec plan = bexgen::DemoSpec();
  ASSERT_EQ(Read(plan), 1);
  ASSERT_EQ(Next(), 1);
  FreeBex();
  FreeBex();
  uint32_t version = 0, flags = 0;
  GetBexInfo(&version, &flags);
  EXPECT_EQ(version, plan.version);
  EXPECT_EQ(flags, plan.flags);
  EXPECT_EQ(Next(), 0) << "GetNextUserGroup after FreeBex";
  EXPECT_TRUE(WalkGroups().empty());
  EXPECT_TRUE(WalkCalls(0).empty());
  EXPECT_EQ(GetUserGroupName(0, 0, nullptr, 0), 0);
  // No name list: answers as an empty one.
  char name[32];
  GetBenchmarkName(name, sizeof name);
  EXPECT_EQ(std::string(name), "$" + std::to_string(plan.benchmarkOffset));
  EXPECT_STREQ(GetNameFromNamelist(-7), "XUNDEF");
  EXPECT_STREQ(GetNameFromNamelist(3), "$3");
  // A valid header and no user groups, read over a model with some.
  ASSERT_EQ(Read(plan), 1);
  ASSERT_EQ(Read(bexgen::WriteBHeader(1, 1)), 1) << Error();
  EXPECT_EQ(Next(), 0) << "GetNextUserGroup on a header-only file";
  EXPECT_EQ(GetFirstUserGroup(nullptr, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(GetFirstTraCall(0, nullptr, 0, nullptr), 0);
}

TEST_F(Exports, InfoReadingAgainAndTheLastError) {
  BexSpec plan;
  plan.flags = 0xFFFFFFFF;
  ASSERT_EQ(Read(plan), 1);
  uint32_t v = 0, p1 = 0, p2 = 0, p4 = 0;
  GetGlobalBexInfo(&v, &p1, &p2);
  GetGlobalBexInfoEx(nullptr, nullptr, nullptr, nullptr, &p4);
  EXPECT_EQ(std::vector<uint32_t>({v, p1, p2, p4}), std::vector<uint32_t>({bexgen::kVersionCurrent, 0x7F000, 0x42, 8}));
  // Reading again releases the model held; a failed read leaves only an
  // empty name list.
  const BexSpec demo = bexgen::DemoSpec();
  ASSERT_EQ(Read(demo), 1);
  const int64_t held = SalMemLiveBlocks();
  for (int i = 0; i < 3; ++i) ASSERT_EQ(Read(demo), 1);
  EXPECT_EQ(SalMemLiveBlocks(), held);
  EXPECT_EQ(Read(std::vector<uint8_t>{1, 2}), 0);
  EXPECT_EQ(SalMemLiveBlocks(), baseline_ + 1);
  FreeBex();
  EXPECT_NE(Error(), "") << "FreeBex keeps the text";
  ASSERT_EQ(Read(demo), 1);
  EXPECT_EQ(Error(), "") << "success empties it";
}

namespace {
std::vector<std::string> g_shown;
void Capture(const char *caption, const char *text) { g_shown.push_back(std::string(caption) + "|" + text); }
}  // namespace

TEST_F(Exports, SelfTestShowsEveryPairAndReleases) {
  const BexSpec plan = bexgen::DemoSpec();
  std::vector<std::string> expected;
  for (const WalkedGroup &g : ExpectedGroups(plan)) {
    const NodeSpec &node = plan.nodes[g.node];
    for (int i = node.firstTra; i <= node.lastTra; ++i)
      expected.push_back("Test|usergroup: " + g.name + "(" + std::to_string(g.value) + ") transaction: " +
                         PoolText(plan.pool, plan.calls[i].nameOffset) + "(" + std::to_string(plan.calls[i].value) +
                         ")");
  }
  g_shown.clear();
  SetBexPresenter(&Capture);
  TestVortRBex(Write(bexgen::WriteBex(plan)).c_str());
  SetBexPresenter(nullptr);
  EXPECT_EQ(g_shown, expected);
  EXPECT_EQ(SalMemLiveBlocks(), baseline_) << "the self-test releases its model";
}
