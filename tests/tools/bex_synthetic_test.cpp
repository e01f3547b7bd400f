// bex_synthetic_test.cpp - the synthetic generator, the layout walker and the broken family.
#include "tools/bex_synthetic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <set>

using bexgen::BrokenKind;
using bexgen::SyntheticParams;

namespace {
uint32_t U32At(const std::vector<uint8_t> &b, size_t at) {
  return uint32_t{b.at(at)} | uint32_t{b.at(at + 1)} << 8 | uint32_t{b.at(at + 2)} << 16 | uint32_t{b.at(at + 3)} << 24;
}
int16_t I16At(const std::vector<uint8_t> &b, size_t at) { return static_cast<int16_t>(b.at(at) | b.at(at + 1) << 8); }

SyntheticParams Params(uint64_t seed, uint64_t target, uint32_t nodes, uint32_t calls) {
  SyntheticParams p;
  p.seed = seed;
  p.targetBytes = target;
  p.nodes = nodes;
  p.calls = calls;
  return p;
}
}  // namespace

TEST(SplitMix64, KnownSequenceAndBounds) {
  // The published first outputs of splitmix64 seeded with 0.
  bexgen::SplitMix64 zero(0);
  EXPECT_EQ(zero.Next(), 0xE220A8397B1DCDAFull);
  EXPECT_EQ(zero.Next(), 0x6E789E6AA1B965F4ull);
  std::set<uint64_t> seen;
  for (int i = 0; i < 2000; ++i) seen.insert(zero.Between(3, 7));
  EXPECT_EQ(seen, (std::set<uint64_t>{3, 4, 5, 6, 7}));
  EXPECT_EQ(zero.Between(9, 2), 9u);
  EXPECT_EQ(zero.Below(0), 0u);
}

TEST(SyntheticSpec, SizeSeedOwnershipAndLimits) {
  EXPECT_EQ(bexgen::WriteBex(bexgen::SyntheticSpec(Params(11, 200000, 50, 300))),
            bexgen::WriteBex(bexgen::SyntheticSpec(Params(11, 200000, 50, 300))));
  EXPECT_NE(bexgen::WriteBex(bexgen::SyntheticSpec(Params(11, 200000, 50, 300))),
            bexgen::WriteBex(bexgen::SyntheticSpec(Params(12, 200000, 50, 300))));
  for (SyntheticParams p : {Params(0, 1u << 20, 1024, 4096), Params(0, 300000, 10, 0), Params(0, 65536, 3, 7),
                            Params(0, 16u << 20, 32768, 32768), Params(3, 0, 7, 1000)}) {
    SCOPED_TRACE(p.targetBytes);
    p.leadingStream = p.nodes != 3;
    ASSERT_EQ(bexgen::CheckSyntheticParams(p), "");
    const bexgen::BexSpec plan = bexgen::SyntheticSpec(p);
    const std::vector<uint8_t> image = bexgen::WriteBex(plan);
    EXPECT_EQ(image.size(), p.targetBytes != 0 ? p.targetBytes : image.size());
    EXPECT_EQ(bexgen::SpecFileSize(plan), image.size());
    const auto layout = bexgen::LocateLayout(image);
    ASSERT_TRUE(layout.has_value());
    EXPECT_EQ(layout->end, image.size());
    EXPECT_EQ(layout->nodes.size(), p.nodes);
    EXPECT_EQ(layout->calls.size(), p.calls);
    EXPECT_EQ(layout->leadingStream.has_value(), p.leadingStream);
    // Every call belongs to exactly one node.
    std::vector<int> owners(p.calls, 0);
    for (const bexgen::NodeSpec &n : plan.nodes)
      for (int i = n.firstTra; i <= n.lastTra; ++i) ++owners.at(static_cast<size_t>(i));
    EXPECT_EQ(std::count(owners.begin(), owners.end(), 1), static_cast<long>(p.calls));
  }
  SyntheticParams p = Params(4, 0, 20, 300);
  p.usersPerNode = 4095;
  size_t largest = 0;
  for (const bexgen::NodeSpec &n : bexgen::SyntheticSpec(p).nodes) {
    ASSERT_EQ(n.names.size(), n.values.size());
    largest = std::max(largest, n.values.size());
  }
  EXPECT_GT(largest, 4095u);
  EXPECT_LE(largest * 4, 32767u) << "users stay inside the sixteen-bit count";
  for (auto [vary, users, ok] : {std::tuple<bool, uint32_t, bool>{true, 4096, false}, {false, 8191, true},
                                 {false, 8192, false}}) {
    p.varyUsers = vary;
    p.usersPerNode = users;
    EXPECT_EQ(bexgen::CheckSyntheticParams(p) == "", ok) << users;
  }
  for (auto [nodes, calls, version, ok] :
       {std::tuple<uint32_t, uint32_t, uint32_t, bool>{32769, 1, bexgen::kVersionCurrent, false},
        {32768, 32769, bexgen::kVersionCurrent, false}, {32768, 32768, bexgen::kVersionCurrent, true},
        {1, 1, 891696615u, false}, {1, 1, 891696610u, false}, {1, 1, 891696920u, false}}) {
    SyntheticParams q;
    q.nodes = nodes;
    q.calls = calls;
    q.version = version;
    EXPECT_EQ(bexgen::CheckSyntheticParams(q) == "", ok) << nodes << "/" << calls << "/" << version;
  }
}

TEST(SyntheticSpec, MixAndPoolDecideSkippedSizesAndNames) {
  SyntheticParams p = Params(6, 0, 50, 300);
  p.mix = {0, 0, 1};
  for (const bexgen::TraCallSpec &c : bexgen::SyntheticSpec(p).calls)
    ASSERT_TRUE(c.skipped.size() >= 4097 && c.skipped.size() <= 65536) << c.skipped.size();
  p.targetBytes = 200000;
  p.poolNames = 10;
  const bexgen::BexSpec plan = bexgen::SyntheticSpec(p);
  EXPECT_EQ(std::count(plan.pool.begin(), plan.pool.end(), 0), 11) << "ten names and the benchmark name";
}

TEST(LocateLayout, FindsTheDemoStructuresAndRejectsEveryTruncation) {
  const auto demo = bexgen::WriteBex(bexgen::DemoSpec());
  const auto layout = bexgen::LocateLayout(demo);
  ASSERT_TRUE(layout.has_value());
  ASSERT_TRUE(layout->leadingStream.has_value());
  EXPECT_EQ(*layout->leadingStream, 348u);
  EXPECT_EQ(U32At(demo, *layout->leadingStream), 7u);  // "skip me"
  EXPECT_EQ(layout->namelist, 348u + 4 + 7);
  EXPECT_EQ(U32At(demo, layout->namelist), 0x4E4D4C53u);
  EXPECT_EQ(I16At(demo, layout->maxUsrGrp), 2);
  ASSERT_EQ(layout->nodes.size(), 3u);
  EXPECT_EQ(U32At(demo, layout->nodes[0].valueStream + 4), 60u);
  EXPECT_EQ(U32At(demo, layout->nodes[2].valueStream + 4), 5u);
  ASSERT_EQ(layout->calls.size(), 4u);
  EXPECT_EQ(U32At(demo, layout->calls[1].record + 8), 250u);
  EXPECT_EQ(layout->end, demo.size());
  for (size_t cut = 0; cut < demo.size(); ++cut)
    ASSERT_FALSE(bexgen::LocateLayout({demo.begin(), demo.begin() + static_cast<std::ptrdiff_t>(cut)})) << cut;
}

TEST(MakeBroken, EveryKindChangesTheDemoWhereItShould) {
  const auto demo = bexgen::WriteBex(bexgen::DemoSpec());
  const auto good = *bexgen::LocateLayout(demo);
  for (const bexgen::BrokenKindInfo &info : bexgen::BrokenKinds()) {
    SCOPED_TRACE(info.name);
    const auto bad = bexgen::MakeBroken(demo, info.kind);
    ASSERT_TRUE(bad.has_value());
    EXPECT_NE(*bad, demo);
    EXPECT_EQ(bexgen::BrokenKindFromName(info.name), info.kind);
  }
  EXPECT_FALSE(bexgen::BrokenKindFromName("no-such-kind").has_value());
  EXPECT_FALSE(bexgen::MakeBroken({demo.begin(), demo.end() - 1}, BrokenKind::kMaxUsrGrpMinus2).has_value());
  EXPECT_FALSE(bexgen::MakeBroken(demo, BrokenKind::kTruncated, demo.size()).has_value());
  EXPECT_EQ(*bexgen::MakeBroken(demo, BrokenKind::kTruncated, 123), std::vector<uint8_t>(demo.begin(), demo.begin() + 123));
  // Counts change where they lie, and nothing else moves.
  const auto minus2 = *bexgen::MakeBroken(demo, BrokenKind::kMaxUsrGrpMinus2);
  EXPECT_EQ(I16At(minus2, good.maxUsrGrp), -2);
  EXPECT_EQ(I16At(*bexgen::MakeBroken(demo, BrokenKind::kMaxTraMinus2), good.maxTra), -2);
  EXPECT_EQ(minus2.size(), demo.size());
  EXPECT_TRUE(std::equal(demo.begin(), demo.begin() + static_cast<std::ptrdiff_t>(good.maxUsrGrp), minus2.begin()));
  // Lengths past the end exceed the file.
  for (auto [kind, at] : {std::pair<BrokenKind, size_t>{BrokenKind::kPoolPastEnd, good.poolLength},
                          {BrokenKind::kLeadingPastEnd, *good.leadingStream},
                          {BrokenKind::kNameStreamPastEnd, good.nodes[0].nameStream},
                          {BrokenKind::kValueStreamPastEnd, good.nodes[0].valueStream},
                          {BrokenKind::kSkippedPastEnd, good.calls.back().skipped}}) {
    const auto bad = *bexgen::MakeBroken(demo, kind);
    EXPECT_GT(U32At(bad, at), bad.size() - at - 4);
  }
  // Spliced streams keep their first value and the rest of the file intact.
  const std::vector<uint8_t> tail(demo.begin() + static_cast<std::ptrdiff_t>(good.nodes[1].record), demo.end());
  for (auto [kind, nameLength, valueLength] :
       {std::tuple<BrokenKind, uint32_t, uint32_t>{BrokenKind::kValueStreamSix, 8, 6},
        {BrokenKind::kNameShorterThanValue, 4, 8}, {BrokenKind::kNameStreamEmpty, 0, 8},
        {BrokenKind::kValueStreamWraps, 32776, 32776}}) {
    SCOPED_TRACE(static_cast<int>(kind));
    const auto bad = *bexgen::MakeBroken(demo, kind);
    const auto layout = bexgen::LocateLayout(bad);
    ASSERT_TRUE(layout.has_value());
    EXPECT_EQ(U32At(bad, layout->nodes[0].nameStream), nameLength);
    EXPECT_EQ(U32At(bad, layout->nodes[0].valueStream), valueLength);
    EXPECT_EQ(U32At(bad, layout->nodes[0].valueStream + 4), 60u);
    EXPECT_EQ(std::vector<uint8_t>(bad.begin() + static_cast<std::ptrdiff_t>(layout->nodes[1].record), bad.end()), tail);
  }
  // Name offsets point outside the pool.
  const auto outside = *bexgen::MakeBroken(demo, BrokenKind::kNameOffsetsOutside);
  EXPECT_EQ(U32At(outside, 264), 0x80000000u);
  for (const auto &call : good.calls) {
    const auto offset = static_cast<int32_t>(U32At(outside, call.record));
    EXPECT_TRUE(offset < 0 || offset >= static_cast<int32_t>(U32At(demo, good.poolLength))) << offset;
  }
}
