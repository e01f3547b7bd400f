// bex_header_test.cpp - the version word, the four header variants and the SIMNODE record.
#include <gtest/gtest.h>

#include "reader/bex_error.h"
#include "reader/bex_header.h"
#include "reader/bex_input.h"
#include "reader_fixture.h"
#include "text/common_file.h"

using bexgen::ByteWriter;
using BexHeader = ReaderTest;

namespace {
std::vector<uint8_t> Cut(std::vector<uint8_t> file, size_t size) {
  file.resize(size);
  return file;
}
// A current-version header claiming length, with 400 zero bytes behind it.
std::vector<uint8_t> Claiming(uint32_t length) {
  ByteWriter w;
  w.U32(bexgen::kVersionCurrent);
  w.U32(length);
  w.Fill(0, 400);
  return w.Take();
}
}  // namespace

// B and V headers have no flags word: their switches set whole groups of the
// mask.  Early numbered headers take the flags word when their length holds it.
TEST_F(BexHeader, FlagsOfEveryVariantAndTheMasksFromThem) {
  const uint32_t early = 891696600;
  const struct {
    std::vector<uint8_t> file;
    uint32_t version, flags;
  } cases[] = {{bexgen::WriteBHeader(1, 0), bexgen::kVersionB, 0x7F000},
               {bexgen::WriteBHeader(0, 1), bexgen::kVersionB, 0x42},
               {bexgen::WriteBHeader(0xFFFFFFFF, 7), bexgen::kVersionB, 0x7F042},
               {bexgen::WriteBHeader(0, 0), bexgen::kVersionB, 0},
               {bexgen::WriteVHeader(0, 5, 1), bexgen::kVersionV, 0x46},
               {bexgen::WriteVHeader(2, 0, 0), bexgen::kVersionV, 0x7F000},
               {bexgen::WriteEarlyHeader(early, 364, 0x4F), early, 0x4F},
               {bexgen::WriteEarlyHeader(early, 356, 0x1F), early, 0x1F},
               {bexgen::WriteEarlyHeader(early, 352, 0x4F), early, 0x4F},
               {bexgen::WriteEarlyHeader(early, 348, 0x4F), early, 0},
               {bexgen::WriteEarlyHeader(early, 8, 0x4F), early, 0},
               {bexgen::WriteEarlyHeader(early, 5000, 0x4F), early, 0x4F}};  // longer than the record
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << c.version << "/" << c.flags);
    ASSERT_EQ(Read(c.file), 1) << Error();
    uint32_t m[5] = {};
    EXPECT_EQ(GetGlobalBexInfoEx(&m[0], &m[1], &m[2], &m[3], &m[4]), 1);
    EXPECT_EQ(Flags(), c.flags);
    EXPECT_EQ(std::vector<uint32_t>(m, m + 5),
              (std::vector<uint32_t>{c.version, c.flags & 0x7F000u, c.flags & 0x42u, c.flags & 0x4u, c.flags & 0x8u}));
    EXPECT_EQ(GetFirstUserGroup(nullptr, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
    char name[32];
    GetBenchmarkName(name, sizeof name);
    EXPECT_STREQ(name, "$0");
  }
  // B header data lands eight bytes lower: file offset 268 is record offset
  // 264, the benchmark-name offset; without a pool the name reads "$<offset>".
  std::vector<uint8_t> data(300, 0);
  data[268 - 12] = 77;
  ASSERT_EQ(Read(bexgen::WriteBHeader(0, 0, data)), 1) << Error();
  char name[32];
  GetBenchmarkName(name, sizeof name);
  EXPECT_STREQ(name, "$77");
}

TEST_F(BexHeader, VersionWordsOutsideTheRangesAndShortHeadersAreRefused) {
  for (int64_t version : {891696450LL, 891696470LL, 891696480LL, 891696610LL, 891696620LL, 891696910LL,
                          891696460LL, 891696615LL, 891696911LL, 891696440LL, -891696910LL, 0x6C6C6568LL}) {
    SCOPED_TRACE(version);
    const auto v = static_cast<uint32_t>(version);
    const bool accepted = version >= 891696450 && version % 10 == 0 && version != 891696460 && version <= 891696910;
    bexgen::BexSpec plan;
    plan.version = v;
    const std::vector<uint8_t> file = v == bexgen::kVersionB   ? bexgen::WriteBHeader(0, 0)
                                      : v == bexgen::kVersionV ? bexgen::WriteVHeader(0, 0, 0)
                                      : accepted && v <= bexgen::kVersionEarlyLast
                                          ? bexgen::WriteEarlyHeader(v, 364, 0)
                                          : bexgen::WriteBex(plan);
    EXPECT_EQ(Read(file), accepted ? 1 : 0) << Error();
    EXPECT_EQ(Error().find("(154)") != std::string::npos, !accepted) << Error();
    uint32_t kept = 0;
    GetBexInfo(&kept, nullptr);
    EXPECT_EQ(kept, v) << "the version word is kept even when refused";
  }
  const std::pair<std::vector<uint8_t>, std::string> cases[] = {
      {{}, ReadFailureText("")},
      {std::vector<uint8_t>(3, 0x42), ReadFailureText("")},
      {Cut(bexgen::WriteBHeader(1, 1), 311), "(170)"},    // cut inside its data
      {Cut(bexgen::WriteVHeader(1, 1, 1), 300), "(170)"},  // cut inside its 332 bytes
      {Claiming(0), "(154)"},
      {Claiming(7), "(154)"},
      {bexgen::WriteEarlyHeader(891696500, 4, 0), "(154)"}};
  for (const auto &[file, error] : cases) {
    SCOPED_TRACE(file.size());
    EXPECT_EQ(Read(file), 0);
    EXPECT_NE(Error().find(error), std::string::npos) << Error();
  }
}

TEST_F(BexHeader, FullHeaderLongerIsPassedOverShorterLeavesTheRestZero) {
  bexgen::BexSpec plan = bexgen::DemoSpec();
  plan.headerLength = 348 + 52;
  ASSERT_EQ(Read(plan), 1) << Error();
  EXPECT_EQ(WalkGroups(), ExpectedGroups(plan));
  // L = 300: flags (328) and stream indicator (340) are not in the file.
  plan.headerLength = 300;
  plan.leadingStream.reset();
  ASSERT_EQ(Read(plan), 1) << Error();
  EXPECT_EQ(Flags(), 0u);
  char name[64];
  GetBenchmarkName(name, sizeof name);
  EXPECT_STREQ(name, "DemoBenchmark");
}

TEST_F(BexHeader, SimNodeRecordIsNormalisedOrRefused) {
  // Reads one SIMNODE record from a file holding record; the severe error or 0.
  auto run = [this](const std::vector<uint8_t> &record, uint8_t (&out)[348]) -> int {
    CCommonFile file;
    EXPECT_EQ(file.OpenPath(Write(record, "simnode.bin").c_str(), 1, 2, 1), 1);
    BexInput in(file);
    try {
      ReadSimNodeFromBex(in, out);
      return 0;
    } catch (const BexSevereError &e) {
      return e.number;
    }
  };
  for (auto [version, error] : {std::pair<uint32_t, int>{bexgen::kVersionCurrent, 0}, {891696900, 161},
                                {891696890, 154}, {891696920, 154}, {0, 154}}) {
    SCOPED_TRACE(version);
    std::vector<uint8_t> record(348, 0xEE);
    ByteWriter w;
    w.U32(version);
    std::copy(w.Data().begin(), w.Data().end(), record.begin());
    uint8_t out[348];
    ASSERT_EQ(run(record, out), error);
    if (error != 0) continue;
    for (size_t offset : {268u, 276u, 280u, 288u, 292u, 296u})
      EXPECT_EQ(out[offset] | out[offset + 1] | out[offset + 2] | out[offset + 3], 0) << offset;
    EXPECT_EQ(out[332] & out[333] & out[334] & out[335], 0xFF);
    EXPECT_EQ(out[284] & out[300], 0xEE) << "words between the cleared ones are carried";
  }
  uint8_t out[348];
  EXPECT_EQ(run(std::vector<uint8_t>(347, 0), out), 170);
  EXPECT_EQ(Error(), ReadFailureText("SIMNODE"));
}
