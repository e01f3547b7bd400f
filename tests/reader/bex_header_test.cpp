// bex_header_test.cpp - the version word and the four header variants.
#include <gtest/gtest.h>

#include "reader/bex_error.h"
#include "reader/bex_header.h"
#include "reader/bex_input.h"
#include "reader_fixture.h"
#include "text/common_file.h"

using bexgen::ByteWriter;

namespace {
struct Masks {
  uint32_t version, p1, p2, p3, p4;
};

Masks ReadMasks() {
  Masks m{};
  EXPECT_EQ(GetGlobalBexInfoEx(&m.version, &m.p1, &m.p2, &m.p3, &m.p4), 1);
  return m;
}

}  // namespace

using BexHeader = ReaderTest;

// The B and V headers have no flags word: their switches set whole groups
// of the mask.
TEST_F(BexHeader, SwitchesOfHeadersWithoutFlagsSetWholeMaskGroups) {
  const struct {
    std::vector<uint8_t> file;
    uint32_t version, flags;
  } cases[] = {{bexgen::WriteBHeader(1, 0), bexgen::kVersionB, 0x7F000},
               {bexgen::WriteBHeader(0, 1), bexgen::kVersionB, 0x42},
               {bexgen::WriteBHeader(0xFFFFFFFF, 7), bexgen::kVersionB, 0x7F042},
               {bexgen::WriteBHeader(0, 0), bexgen::kVersionB, 0},
               {bexgen::WriteVHeader(0, 5, 1), bexgen::kVersionV, 0x46},
               {bexgen::WriteVHeader(2, 0, 0), bexgen::kVersionV, 0x7F000}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.flags);
    ASSERT_EQ(Read(c.file), 1) << Error();
    EXPECT_EQ(Flags(), c.flags);
    const Masks m = ReadMasks();
    EXPECT_EQ(m.version, c.version);
    EXPECT_EQ(m.p1, c.flags & 0x7F000u);
    EXPECT_EQ(m.p2, c.flags & 0x42u);
    EXPECT_EQ(m.p3, c.flags & 0x4u);
    EXPECT_EQ(m.p4, 0u);
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

TEST_F(BexHeader, EarlyNumberedHeaderTakesFlagsWordWhenPresent) {
  struct Case {
    uint32_t length, flags, expected;
  } cases[] = {{364, 0x4F, 0x4F}, {356, 0x1F, 0x1F}, {352, 0x4F, 0x4F}, {348, 0x4F, 0}, {8, 0x4F, 0}, {100, 0x4F, 0}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.length);
    ASSERT_EQ(Read(bexgen::WriteEarlyHeader(891696600, c.length, c.flags)), 1) << Error();
    uint32_t version = 0;
    uint32_t flags = 0;
    GetBexInfo(&version, &flags);
    EXPECT_EQ(version, 891696600u);
    EXPECT_EQ(flags, c.expected);
    EXPECT_EQ(GetFirstUserGroup(nullptr, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                nullptr),
              0);
  }
}

TEST_F(BexHeader, VersionWordsOutsideTheRangesAreRefused) {
  struct Case {
    int64_t version;
    bool accepted;
  } cases[] = {
      {891696450, true},   {891696470, true},  {891696480, true},  {891696610, true},  {891696620, true},
      {891696910, true},   {891696460, false}, {891696615, false}, {891696911, false},
      {891696440, false},  {-891696910, false}, {0x6C6C6568, false},  // "hell" of a text file
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.version);
    std::vector<uint8_t> file;
    const auto v = static_cast<uint32_t>(c.version);
    if (v == bexgen::kVersionB) {
      file = bexgen::WriteBHeader(0, 0);
    } else if (v == bexgen::kVersionV) {
      file = bexgen::WriteVHeader(0, 0, 0);
    } else if (c.accepted && v <= bexgen::kVersionEarlyLast) {
      file = bexgen::WriteEarlyHeader(v, 364, 0);
    } else {
      bexgen::BexSpec spec;
      spec.version = v;
      file = bexgen::WriteBex(spec);
    }
    EXPECT_EQ(Read(file), c.accepted ? 1 : 0) << Error();
    if (c.accepted) {
      EXPECT_EQ(Error(), "");
    } else {
      EXPECT_NE(Error().find("(154)"), std::string::npos) << Error();
    }
    uint32_t version = 0;
    GetBexInfo(&version, nullptr);
    EXPECT_EQ(version, v) << "the version word is kept even when refused";
  }
}

TEST_F(BexHeader, ShortFilesAndHeaderLengthsBelowEightAreRefused) {
  auto cut = [](std::vector<uint8_t> file, size_t size) {
    file.resize(size);
    return file;
  };
  auto full = [](uint32_t length) {
    ByteWriter w;
    w.U32(bexgen::kVersionCurrent);
    w.U32(length);
    w.Fill(0, 400);
    return w.Take();
  };
  const std::pair<std::vector<uint8_t>, std::string> cases[] = {
      {{}, ReadFailureText("")},
      {std::vector<uint8_t>(3, 0x42), ReadFailureText("")},
      {cut(bexgen::WriteBHeader(1, 1), 311), "(170)"},   // cut inside its data
      {cut(bexgen::WriteVHeader(1, 1, 1), 300), "(170)"},  // cut inside its 332 bytes
      {full(0), "(154)"},
      {full(7), "(154)"},
      {bexgen::WriteEarlyHeader(891696500, 4, 0), "(154)"},
  };
  for (const auto &[file, error] : cases) {
    SCOPED_TRACE(file.size());
    EXPECT_EQ(Read(file), 0);
    EXPECT_NE(Error().find(error), std::string::npos) << Error();
  }
}

TEST_F(BexHeader, HeaderLongerThanTheRecordIsPassedOver) {
  bexgen::BexSpec spec = bexgen::DemoSpec();
  spec.headerLength = 348 + 52;
  ASSERT_EQ(Read(spec), 1) << Error();
  EXPECT_EQ(WalkGroups(), ExpectedGroups(spec));
  EXPECT_EQ(Read(bexgen::WriteEarlyHeader(891696500, 5000, 0)), 1) << Error();
}

TEST_F(BexHeader, FullHeaderShorterThanTheRecordLeavesTheRestZero) {
  // L = 300: flags (328) and stream indicator (340) are not in the file.
  bexgen::BexSpec spec = bexgen::DemoSpec();
  spec.headerLength = 300;
  spec.leadingStream.reset();
  ASSERT_EQ(Read(spec), 1) << Error();
  EXPECT_EQ(Flags(), 0u);
  char name[64];
  GetBenchmarkName(name, sizeof name);
  EXPECT_STREQ(name, "DemoBenchmark");
}

class SimNodeReader : public ReaderTest {
 protected:
  // Reads one SIMNODE record from a file holding record.
  int Run(const std::vector<uint8_t> &record, uint8_t (&out)[348], int16_t *error) {
    const std::string path = Write(record, "simnode.bin");
    CCommonFile file;
    EXPECT_EQ(file.OpenPath(path.c_str(), 1, 2, 1), 1);
    BexInput in(file);
    try {
      ReadSimNodeFromBex(in, out);
      return 1;
    } catch (const BexSevereError &e) {
      *error = e.number;
      return 0;
    }
  }
};

TEST_F(SimNodeReader, NormalisesTheCurrentVersion) {
  std::vector<uint8_t> record(348, 0xEE);
  ByteWriter w;
  w.U32(bexgen::kVersionCurrent);
  std::copy(w.Data().begin(), w.Data().end(), record.begin());
  uint8_t out[348];
  int16_t error = 0;
  ASSERT_EQ(Run(record, out, &error), 1);
  for (size_t offset : {268u, 276u, 280u, 288u, 292u, 296u}) {
    SCOPED_TRACE(offset);
    EXPECT_EQ(out[offset] | out[offset + 1] | out[offset + 2] | out[offset + 3], 0);
  }
  EXPECT_EQ(out[332] & out[333] & out[334] & out[335], 0xFF);
  EXPECT_EQ(out[284], 0xEE) << "words between the cleared ones are carried";
  EXPECT_EQ(out[300], 0xEE);
}

TEST_F(SimNodeReader, OlderVersionsAreRefused) {
  struct Case {
    uint32_t version;
    int16_t error;
  } cases[] = {{891696900, 161}, {891696890, 154}, {891696920, 154}, {0, 154}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.version);
    ByteWriter w;
    w.U32(c.version);
    w.Fill(0, 344);
    uint8_t out[348];
    int16_t error = 0;
    EXPECT_EQ(Run(w.Take(), out, &error), 0);
    EXPECT_EQ(error, c.error);
  }
  uint8_t out[348];
  int16_t error = 0;
  EXPECT_EQ(Run(std::vector<uint8_t>(347, 0), out, &error), 0);
  EXPECT_EQ(error, 170);
  EXPECT_EQ(Error(), ReadFailureText("SIMNODE"));
}
