// bex_synthetic_test.cpp - the synthetic generator, the layout walker and the broken family.
#include "tools/bex_synthetic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using bexgen::BexLayout;
using bexgen::BrokenKind;
using bexgen::SyntheticParams;

namespace {

uint32_t U32At(const std::vector<uint8_t> &b, size_t at) {
  return uint32_t{b.at(at)} | uint32_t{b.at(at + 1)} << 8 | uint32_t{b.at(at + 2)} << 16 |
         uint32_t{b.at(at + 3)} << 24;
}

int16_t I16At(const std::vector<uint8_t> &b, size_t at) {
  return static_cast<int16_t>(b.at(at) | b.at(at + 1) << 8);
}

SyntheticParams Small(uint64_t seed) {
  SyntheticParams p;
  p.seed = seed;
  p.targetBytes = 200000;
  p.nodes = 50;
  p.calls = 300;
  return p;
}

std::vector<uint8_t> Demo() { return bexgen::WriteBex(bexgen::DemoSpec()); }

}  // namespace

TEST(SplitMix64, KnownSequenceAndBounds) {
  // The published first outputs of splitmix64 seeded with 0.
  bexgen::SplitMix64 zero(0);
  EXPECT_EQ(zero.Next(), 0xE220A8397B1DCDAFull);
  EXPECT_EQ(zero.Next(), 0x6E789E6AA1B965F4ull);
  bexgen::SplitMix64 rng(5);
  std::set<uint64_t> seen;
  for (int i = 0; i < 2000; ++i) seen.insert(rng.Between(3, 7));
  EXPECT_EQ(seen, (std::set<uint64_t>{3, 4, 5, 6, 7}));
  EXPECT_EQ(rng.Between(9, 2), 9u);
  EXPECT_EQ(rng.Below(0), 0u);
}

TEST(SyntheticSpec, HitsTheTargetSizeExactlyAndFollowsTheSeed) {
  EXPECT_EQ(bexgen::WriteBex(bexgen::SyntheticSpec(Small(11))), bexgen::WriteBex(bexgen::SyntheticSpec(Small(11))));
  EXPECT_NE(bexgen::WriteBex(bexgen::SyntheticSpec(Small(11))), bexgen::WriteBex(bexgen::SyntheticSpec(Small(12))));
  struct Case {
    uint64_t target;
    uint32_t nodes, calls;
    bool leading;
  } cases[] = {{1u << 20, 1024, 4096, true}, {300000, 10, 0, true}, {65536, 3, 7, false},
               {16u << 20, 32768, 32768, true}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.target);
    SyntheticParams p;
    p.targetBytes = c.target;
    p.nodes = c.nodes;
    p.calls = c.calls;
    p.leadingStream = c.leading;
    ASSERT_EQ(bexgen::CheckSyntheticParams(p), "");
    const bexgen::BexSpec spec = bexgen::SyntheticSpec(p);
    const std::vector<uint8_t> image = bexgen::WriteBex(spec);
    EXPECT_EQ(image.size(), c.target);
    EXPECT_EQ(bexgen::SpecFileSize(spec), image.size());
    const auto layout = bexgen::LocateLayout(image);
    ASSERT_TRUE(layout.has_value());
    EXPECT_EQ(layout->end, image.size());
    EXPECT_EQ(layout->nodes.size(), c.nodes);
    EXPECT_EQ(layout->calls.size(), c.calls);
    EXPECT_EQ(layout->leadingStream.has_value(), c.leading);
  }
}

TEST(SyntheticSpec, EveryCallBelongsToExactlyOneNode) {
  for (uint32_t nodes : {1u, 7u, 300u, 32768u}) {
    SCOPED_TRACE(nodes);
    SyntheticParams p = Small(3);
    p.targetBytes = 0;
    p.nodes = nodes;
    p.calls = 1000;
    p.mix = {0, 0, 0};
    const bexgen::BexSpec spec = bexgen::SyntheticSpec(p);
    std::vector<int> owners(p.calls, 0);
    for (const bexgen::NodeSpec &n : spec.nodes)
      for (int i = n.firstTra; i <= n.lastTra; ++i) ++owners.at(static_cast<size_t>(i));
    for (uint32_t i = 0; i < p.calls; ++i) ASSERT_EQ(owners[i], 1) << "call " << i;
  }
}

TEST(SyntheticSpec, UsersStayInsideTheSixteenBitCount) {
  SyntheticParams p = Small(4);
  p.targetBytes = 0;
  p.usersPerNode = 4095;
  p.nodes = 20;
  ASSERT_EQ(bexgen::CheckSyntheticParams(p), "");
  bool someLarge = false;
  for (const bexgen::NodeSpec &n : bexgen::SyntheticSpec(p).nodes) {
    ASSERT_EQ(n.names.size(), n.values.size());
    ASSERT_LE(n.values.size() * 4, 32767u);
    someLarge = someLarge || n.values.size() > 4095;
  }
  EXPECT_TRUE(someLarge);
  p.usersPerNode = 4096;
  EXPECT_NE(bexgen::CheckSyntheticParams(p), "");
  p.varyUsers = false;
  p.usersPerNode = 8191;
  EXPECT_EQ(bexgen::CheckSyntheticParams(p), "");
  p.usersPerNode = 8192;
  EXPECT_NE(bexgen::CheckSyntheticParams(p), "");
}

TEST(SyntheticSpec, MixDecidesTheSkippedStreamSizes) {
  SyntheticParams p = Small(6);
  p.targetBytes = 0;  // sizes as drawn
  p.mix = {0, 0, 1};
  for (const bexgen::TraCallSpec &c : bexgen::SyntheticSpec(p).calls) {
    ASSERT_GE(c.skipped.size(), 4097u);
    ASSERT_LE(c.skipped.size(), 65536u);
  }
  p.mix = {1, 0, 0};
  for (const bexgen::TraCallSpec &c : bexgen::SyntheticSpec(p).calls) ASSERT_LE(c.skipped.size(), 64u);
}

TEST(SyntheticSpec, SharedNamePoolHoldsTheAskedNumberOfNames) {
  SyntheticParams p = Small(8);
  p.poolNames = 10;
  const bexgen::BexSpec spec = bexgen::SyntheticSpec(p);
  const size_t zeros = static_cast<size_t>(std::count(spec.pool.begin(), spec.pool.end(), 0));
  EXPECT_EQ(zeros, 11u);  // ten names and the benchmark name
  std::set<int32_t> used;
  for (const auto &c : spec.calls) used.insert(c.nameOffset);
  for (const auto &n : spec.nodes) used.insert(n.names.begin(), n.names.end());
  EXPECT_LE(used.size(), 10u);
}

TEST(SyntheticParams, LimitsOfTheFormatAreEnforced) {
  SyntheticParams p;
  p.nodes = 32769;
  EXPECT_NE(bexgen::CheckSyntheticParams(p), "");
  p.nodes = 32768;
  p.calls = 32769;
  EXPECT_NE(bexgen::CheckSyntheticParams(p), "");
  p.calls = 32768;
  EXPECT_EQ(bexgen::CheckSyntheticParams(p), "");
  for (uint32_t version : {891696615u, 891696610u, 891696920u}) {
    p.version = version;
    EXPECT_NE(bexgen::CheckSyntheticParams(p), "") << version;
  }
}

TEST(LocateLayout, RejectsEveryTruncationOfTheDemo) {
  const auto demo = Demo();
  ASSERT_TRUE(bexgen::LocateLayout(demo).has_value());
  for (size_t cut = 0; cut < demo.size(); ++cut) {
    const std::vector<uint8_t> part(demo.begin(), demo.begin() + static_cast<std::ptrdiff_t>(cut));
    ASSERT_FALSE(bexgen::LocateLayout(part).has_value()) << "cut at " << cut;
  }
}

TEST(LocateLayout, FindsTheDemoStructures) {
  const auto demo = Demo();
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
}

TEST(MakeBroken, EveryKindAppliesToTheDemoAndChangesIt) {
  const auto demo = Demo();
  for (const bexgen::BrokenKindInfo &info : bexgen::BrokenKinds()) {
    SCOPED_TRACE(info.name);
    const auto bad = bexgen::MakeBroken(demo, info.kind);
    ASSERT_TRUE(bad.has_value());
    EXPECT_NE(*bad, demo);
    EXPECT_EQ(bexgen::BrokenKindFromName(info.name), info.kind);
  }
  EXPECT_FALSE(bexgen::BrokenKindFromName("no-such-kind").has_value());
}

TEST(MakeBroken, NeedsAWellFormedImage) {
  auto demo = Demo();
  demo.pop_back();
  EXPECT_FALSE(bexgen::MakeBroken(demo, BrokenKind::kMaxUsrGrpMinus2).has_value());
  EXPECT_FALSE(bexgen::MakeBroken(Demo(), BrokenKind::kTruncated, Demo().size()).has_value());
}

TEST(MakeBroken, CountsAreChangedWhereTheyLie) {
  const auto demo = Demo();
  const auto layout = *bexgen::LocateLayout(demo);
  const auto minus2 = *bexgen::MakeBroken(demo, BrokenKind::kMaxUsrGrpMinus2);
  EXPECT_EQ(I16At(minus2, layout.maxUsrGrp), -2);
  const auto tra = *bexgen::MakeBroken(demo, BrokenKind::kMaxTraMinus2);
  EXPECT_EQ(I16At(tra, layout.maxTra), -2);
  // Nothing else moved.
  EXPECT_EQ(minus2.size(), demo.size());
  EXPECT_TRUE(std::equal(demo.begin(), demo.begin() + static_cast<std::ptrdiff_t>(layout.maxUsrGrp),
                         minus2.begin()));
  const auto cut = *bexgen::MakeBroken(demo, BrokenKind::kTruncated, 123);
  EXPECT_EQ(cut, std::vector<uint8_t>(demo.begin(), demo.begin() + 123));
}

TEST(MakeBroken, LengthsPastTheEndExceedTheFile) {
  const auto demo = Demo();
  const auto layout = *bexgen::LocateLayout(demo);
  const struct {
    BrokenKind kind;
    size_t at;
  } cases[] = {{BrokenKind::kPoolPastEnd, layout.poolLength},
               {BrokenKind::kLeadingPastEnd, *layout.leadingStream},
               {BrokenKind::kNameStreamPastEnd, layout.nodes[0].nameStream},
               {BrokenKind::kValueStreamPastEnd, layout.nodes[0].valueStream},
               {BrokenKind::kSkippedPastEnd, layout.calls.back().skipped}};
  for (const auto &c : cases) {
    const auto bad = *bexgen::MakeBroken(demo, c.kind);
    EXPECT_GT(U32At(bad, c.at), bad.size() - c.at - 4);
  }
}

TEST(MakeBroken, SplicedStreamsKeepTheRestOfTheFileIntact) {
  const auto demo = Demo();
  const auto good = *bexgen::LocateLayout(demo);
  const std::vector<uint8_t> tail(demo.begin() + static_cast<std::ptrdiff_t>(good.nodes[1].record),
                                  demo.end());
  struct Case {
    BrokenKind kind;
    uint32_t nameLength, valueLength;
  } cases[] = {{BrokenKind::kValueStreamSix, 8, 6},
               {BrokenKind::kNameShorterThanValue, 4, 8},
               {BrokenKind::kNameStreamEmpty, 0, 8},
               {BrokenKind::kValueStreamWraps, 32776, 32776}};
  for (const Case &c : cases) {
    SCOPED_TRACE(static_cast<int>(c.kind));
    const auto bad = *bexgen::MakeBroken(demo, c.kind);
    const auto layout = bexgen::LocateLayout(bad);
    ASSERT_TRUE(layout.has_value());
    EXPECT_EQ(U32At(bad, layout->nodes[0].nameStream), c.nameLength);
    EXPECT_EQ(U32At(bad, layout->nodes[0].valueStream), c.valueLength);
    // The first value survives the change of length.
    EXPECT_EQ(U32At(bad, layout->nodes[0].valueStream + 4), 60u);
    const std::vector<uint8_t> badTail(bad.begin() + static_cast<std::ptrdiff_t>(layout->nodes[1].record),
                                       bad.end());
    EXPECT_EQ(badTail, tail);
  }
}

TEST(MakeBroken, NameOffsetsPointOutsideThePool) {
  const auto demo = Demo();
  const auto layout = *bexgen::LocateLayout(demo);
  const auto bad = *bexgen::MakeBroken(demo, BrokenKind::kNameOffsetsOutside);
  const uint32_t poolLength = U32At(demo, layout.poolLength);
  EXPECT_EQ(U32At(bad, 264), 0x80000000u);
  for (const BexLayout::Call &call : layout.calls) {
    const auto offset = static_cast<int32_t>(U32At(bad, call.record));
    EXPECT_TRUE(offset < 0 || offset >= static_cast<int32_t>(poolLength)) << offset;
  }
}
