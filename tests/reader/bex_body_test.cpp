// bex_body_test.cpp - name pool, user-group and transaction-call tables, and
// the input primitives under them.
#include <gtest/gtest.h>

#include <cstring>

#include "reader/bex_body.h"
#include "reader/bex_error.h"
#include "reader/bex_input.h"
#include "reader/bex_state.h"
#include "reader/name_list.h"
#include "reader_fixture.h"
#include "text/common_file.h"

using bexgen::BexSpec;
using bexgen::ByteWriter;
using bexgen::NodeSpec;
using BexBody = ReaderTest;

TEST_F(BexBody, UserCountFollowsTheSixteenBitRule) {
  for (auto [length, count] : {std::pair<uint32_t, int16_t>{0, 0}, {3, 0}, {4, 1}, {6, 1}, {32767, 8191},
                               {32768, -8192}, {40000, -6384}, {65535, 0}, {65540, 1}, {0xFFFFFFFF, 0}})
    EXPECT_EQ(UserCountFromLength(length), count) << length;
}

TEST_F(BexBody, OddStreamsGiveWhatTheyHold) {
  bexgen::NamePool pool;
  const int32_t a = pool.Add("alpha");
  BexSpec plan;
  plan.pool = pool.Bytes();
  NodeSpec node;
  node.names = {a};
  node.valueStream = std::vector<uint8_t>{9, 0, 0, 0, 0xFF, 0xFF};  // six bytes: one user
  plan.nodes = {node};
  ASSERT_EQ(Read(plan), 1) << Error();
  EXPECT_EQ(WalkGroups(), (std::vector<WalkedGroup>{{"alpha", 9, 0, 0, {}}}));
  // A shorter name stream (with a stray trailing byte) leaves the last
  // positions without names.
  node.valueStream.reset();
  node.values = {1, 2, 3};
  node.nameStream = bexgen::WordsToBytes({static_cast<uint32_t>(a)});
  node.nameStream->push_back(0x7F);
  plan.nodes = {node};
  ASSERT_EQ(Read(plan), 1) << Error();
  EXPECT_EQ(WalkGroups(), ExpectedGroups(plan));
  char name[16];
  ASSERT_EQ(GetUserGroupName(0, 2, name, sizeof name), 1);
  EXPECT_STREQ(name, "XUNDEF");
  // 32768 bytes of values: the 16-bit count is negative, the node is empty.
  NodeSpec big, small;
  big.values.assign(8192, 5);
  small.values = {6};
  plan.nodes = {big, small};
  ASSERT_EQ(Read(plan), 1) << Error();
  EXPECT_EQ(WalkGroups(), (std::vector<WalkedGroup>{{"XUNDEF", 6, 1, 0, {}}}));
  EXPECT_EQ(GetUserGroupName(0, 0, nullptr, 0), 0);
  // Without a pool every name is a placeholder.
  plan = BexSpec();
  plan.nodes = {NodeSpec()};
  plan.nodes[0].names = {0, 4};
  plan.nodes[0].values = {1, 2};
  ASSERT_EQ(Read(plan), 1) << Error();
  EXPECT_STREQ(GetNameFromNamelist(0), "XUNDEF");
  EXPECT_EQ(WalkGroups().at(1).name, "$4");
}

TEST_F(BexBody, TablesOfMinusOneAreEmptyBelowAreErrorsEntriesAreKept) {
  BexSpec plan = bexgen::DemoSpec();
  plan.maxTra = -1;
  plan.calls.clear();
  ASSERT_EQ(Read(plan), 1) << Error();
  for (int16_t n = 0; n < 3; ++n) EXPECT_TRUE(WalkCalls(n).empty());
  EXPECT_FALSE(WalkGroups().empty());
  plan = bexgen::DemoSpec();
  plan.maxUsrGrp = -1;
  plan.nodes.clear();
  ASSERT_EQ(Read(plan), 1) << Error();
  EXPECT_TRUE(WalkGroups().empty());
  EXPECT_TRUE(WalkCalls(0).empty());
  const struct {
    int16_t maxUsrGrp, maxTra;
    const char *error;
  } cases[] = {{-2, -1, "(38)"}, {-32768, -1, "(38)"}, {-1, -2, "(40)"}, {-1, -32768, "(40)"}};
  for (const auto &c : cases) {
    BexSpec bad;
    bad.maxUsrGrp = c.maxUsrGrp;
    bad.maxTra = c.maxTra;
    EXPECT_EQ(Read(bad), 0);
    EXPECT_NE(Error().find(c.error), std::string::npos) << Error();
  }
  // Transaction entries are kept with word twenty cleared.
  plan = bexgen::DemoSpec();
  ASSERT_EQ(Read(plan), 1) << Error();
  const BexReaderState &s = BexState();
  ASSERT_EQ(s.maxTra, static_cast<int16_t>(plan.calls.size() - 1));
  for (size_t i = 0; i < plan.calls.size(); ++i) {
    EXPECT_EQ(s.traCall[i].nameOffset, plan.calls[i].nameOffset) << i;
    EXPECT_EQ(s.traCall[i].value, plan.calls[i].value) << i;
    EXPECT_EQ(s.traCall[i].cleared20, 0u) << i;
    EXPECT_EQ(s.traCall[i].unused4, 0xCCCCCCCCu) << i;
  }
  EXPECT_EQ(s.usrGrp[0].reserved, plan.nodes[0].reserved);
  EXPECT_EQ(s.nameList->header, plan.namelistWord);
}

TEST_F(BexBody, SkipsPastTheEndShowAtTheNextRead) {
  // A leading stream of 1 MiB or 2 GiB; 2 GiB must not turn into a backward
  // seek that re-reads earlier bytes as records.
  for (uint8_t high : {0x00, 0x80}) {
    std::vector<uint8_t> file = bexgen::WriteBex(bexgen::DemoSpec());
    file[348] = file[349] = 0;
    file[350] = high == 0 ? 0x10 : 0;
    file[351] = high;
    EXPECT_EQ(Read(file), 0);
    EXPECT_EQ(Error(), ReadFailureText("namelist"));
  }
}

// ---- primitives the body read does not use -----------------------------

class BexPrimitives : public ReaderTest {
 protected:
  // Runs body over an input on bytes; returns the severe error, 0 if none.
  template <typename Body>
  int16_t Run(const std::vector<uint8_t> &bytes, Body body, uint64_t *position = nullptr) {
    CCommonFile file;
    EXPECT_EQ(file.OpenPath(Write(bytes, "prim.bin").c_str(), 1, 2, 1), 1);
    BexInput in(file);
    int16_t error = 0;
    try {
      body(in);
    } catch (const BexSevereError &e) {
      error = e.number;
    }
    if (position != nullptr) *position = in.Position();
    return error;
  }
};

TEST_F(BexPrimitives, ByteStreamsToBuffersAndSkips) {
  ByteWriter w;
  w.Stream({1, 2, 3, 4, 5});
  w.Stream(std::vector<uint8_t>(5000, 1));
  w.U32(0xCAFEF00D);
  const std::vector<uint8_t> bytes = w.Take();
  uint8_t buffer[8] = {}, small[4] = {};
  uint32_t length = 0, after = 0;
  EXPECT_EQ(Run(bytes,
                [&](BexInput &in) {
                  ReadByteStreamToBuffer(in, buffer, 8, &length);
                  SkipByteStream(in);
                  in.ReadExact(&after, 4, "after");
                }),
            0);
  EXPECT_EQ(length, 5u);
  EXPECT_EQ(buffer[4], 5);
  EXPECT_EQ(after, 0xCAFEF00Du) << "the skip seeks past the stream";
  EXPECT_EQ(Run(bytes, [&](BexInput &in) { ReadByteStreamToBuffer(in, small, 4, &length); }), 170);
  EXPECT_EQ(small[0], 0) << "nothing is written into a buffer too small";
  uint64_t position = 0;
  EXPECT_EQ(Run(bytes, [&](BexInput &in) { ReadByteStreamToBuffer(in, nullptr, 0, &length); }, &position), 0);
  EXPECT_EQ(position, 4u) << "without a buffer only the length is read";
}

TEST_F(BexPrimitives, SkipDynListFollowsLinksAndNestedLists) {
  // Three 12-byte elements; the second carries a nested list of two 8-byte
  // children; then a marker byte that must be the next byte read.
  ByteWriter w;
  for (auto [next, nested, size] : {std::tuple<uint32_t, uint32_t, size_t>{1, 0, 12}, {1, 1, 12}, {1, 0, 8},
                                    {0, 0, 8}, {0, 0, 12}}) {
    w.U32(next);
    w.U32(nested);
    w.Fill(0x5E, size - 8);
  }
  w.U8(0xAB);
  const std::vector<uint8_t> bytes = w.Take();
  uint64_t position = 0;
  EXPECT_EQ(Run(bytes, [](BexInput &in) { SkipDynList(in, 1, 12, 8); }, &position), 0);
  EXPECT_EQ(position, bytes.size() - 1);
  EXPECT_EQ(Run(bytes, [](BexInput &in) { SkipDynList(in, 0, 12, 8); }, &position), 0);
  EXPECT_EQ(position, 0u);
  EXPECT_EQ(Run({bytes.begin(), bytes.begin() + 30}, [](BexInput &in) { SkipDynList(in, 1, 12, 8); }), 170);
  EXPECT_EQ(Error(), ReadFailureText("SkipDynList"));
  SalMemFailAfter(1);
  EXPECT_EQ(Run(bytes, [](BexInput &in) { SkipDynList(in, 1, 12, 8); }), 32);
}

// The input reads the file in 64 KiB blocks.  Records of 4 and 36 bytes
// after a lead of every shorter length meet the first block's end with every
// count of their bytes still in the block, down to one (a 4-byte record at
// offset 65535 after a lead of 3); later records mix with skips inside and
// across blocks.  Every record must hold the file's bytes at the position
// the input reports.
TEST_F(BexPrimitives, RecordsAcrossBlockEdgesArriveWhole) {
  std::vector<uint8_t> bytes(3 * 65536 + 100);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i ^ (i >> 8) ^ (i >> 16));
  for (uint32_t size : {4u, 36u}) {
    for (uint32_t lead = 0; lead < size; ++lead) {
      SCOPED_TRACE(testing::Message() << size << "-byte records after " << lead);
      size_t records = 0, wrong = 0;
      bool edge = false;  // a record began at 65535
      EXPECT_EQ(Run(bytes,
                    [&](BexInput &in) {
                      uint8_t record[36];
                      in.ReadExact(record, lead, "lead");
                      while (in.BytesLeft() >= size) {
                        const uint64_t at = in.Position();
                        if (at > 65536 && ++records % 7 == 0) {
                          in.Skip(at % 2 == 0 ? 5 : 40000);
                          continue;
                        }
                        edge = edge || at == 65535;
                        in.ReadExact(record, size, "record");
                        wrong += std::memcmp(record, &bytes[at], size) != 0 ? 1 : 0;
                      }
                    }),
                0);
      EXPECT_EQ(wrong, 0u);
      EXPECT_EQ(edge, 65535 % size == lead % size);
    }
  }
}
