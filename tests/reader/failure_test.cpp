// failure_test.cpp - severe errors: texts, events, truncation and allocation failure.
#include <gtest/gtest.h>

#include <string>

#include "messages/event_report.h"
#include "reader_fixture.h"

using bexgen::BexSpec;

using Failures = ReaderTest;

namespace {
std::vector<std::string> g_events;
void CaptureEvent(const SalEventRecord &e) {
  g_events.push_back(std::to_string(e.id) + "/" + std::to_string(e.type) + "/" + e.text);
}

// A field of the file and the read tag a cut inside it must report.
struct Field {
  size_t begin, end;
  std::string tag;
};

// The layout of a written spec, from the format's description: every field
// a checked read covers, in file order.  Skipped stream data is no field:
// the seek passes over it and the next field's read comes up short.
std::vector<Field> Layout(const BexSpec &spec) {
  std::vector<Field> fields;
  size_t at = 0;
  auto add = [&](size_t n, const std::string &tag) {
    fields.push_back({at, at + n, tag});
    at += n;
  };
  auto stream = [&](size_t n) {
    add(4, "pLenByteStream");
    if (n != 0) add(n, "ppByteStream");
  };
  auto skipped = [&](size_t n) {
    add(4, "SkipByteStream");
    at += n;
  };
  add(spec.headerLength, "");
  if (spec.leadingStream) skipped(spec.leadingStream->size());
  add(4, "namelist");
  stream(spec.pool.size());
  add(2, "MAXUSRGRP");
  for (const bexgen::NodeSpec &node : spec.nodes) {
    add(32, "USRGRPNODE");
    stream(node.names.size() * 4);
    stream(node.values.size() * 4);
  }
  add(2, "pMaxTra");
  for (const bexgen::TraCallSpec &call : spec.calls) {
    add(36, "TRACALLNODE");
    skipped(call.skipped.size());
  }
  return fields;
}
}  // namespace

TEST_F(Failures, MissingFileNamesThePath) {
  const std::string path = dir_.File("no such file.bex");
  EXPECT_EQ(ReadBex(path.c_str()), 0);
  EXPECT_EQ(Error(), "Severe Error RESERR: 19 - failed at <" + path + ">(19) in vortBexScanner.dll");
}

TEST_F(Failures, WithoutMessageTextTheCodeIsShown) {
  SalSetMessageSource(nullptr);
  EXPECT_EQ(Read(std::vector<uint8_t>{1, 2, 3}), 0);
  EXPECT_EQ(Error(), "Severe Error 3760259242 - unknown error code(170) in vortBexScanner.dll");
}

TEST_F(Failures, ArgumentReplacesEveryPercentOneOnce) {
  struct Case {
    const char *message;
    std::string argument;
    std::string expected;
  } cases[] = {
      {"a %1 b %1\r\n", "X", "a X b X"},
      {"%1%1\r\n", "%1", "%1%1"},  // inserted text is not scanned again
      {"gone: %1.\r\n", "", "gone: ."},
      {"no insert\r\n", "ignored", "no insert"},
      {"%%1 and %1\r\n", "Y", "%Y and Y"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.message);
    static const char *s_message;
    s_message = c.message;
    SalSetMessageSource([](uint32_t) -> const char * { return s_message; });
    // The argument is the path; it must name a file that cannot be opened.
    const std::string path = c.argument.empty() ? "" : c.argument;
    EXPECT_EQ(ReadBex(path.c_str()), 0);
    EXPECT_EQ(Error(), "Severe Error RESERR: 19 - " + c.expected + "(19) in vortBexScanner.dll");
  }
}

TEST_F(Failures, LongTextsAreCutTo499Bytes) {
  static std::string s_long;
  s_long = std::string(700, 'm') + "\r\n";
  SalSetMessageSource([](uint32_t) -> const char * { return s_long.c_str(); });
  EXPECT_EQ(Read(std::vector<uint8_t>{1}), 0);
  EXPECT_EQ(Error().size(), 499u);
  EXPECT_EQ(Error().substr(0, 29), "Severe Error RESERR: 170 - mm");
  // A long path after "%1" replacement is cut the same way.
  s_long = "%1%1%1\r\n";
  const std::string path = dir_.File(std::string(200, 'p'));
  EXPECT_EQ(ReadBex(path.c_str()), 0);
  EXPECT_EQ(Error().size(), 499u);
}

TEST_F(Failures, EverySevereErrorReachesTheEventLog) {
  g_events.clear();
  SalSetEventSink(&CaptureEvent);
  EXPECT_EQ(Read(std::vector<uint8_t>{1}), 0);
  ASSERT_EQ(Read(bexgen::DemoSpec()), 1);
  SalSetEventSink(nullptr);
  ASSERT_EQ(g_events.size(), 1u) << "one event per failed read, none for a good one";
  EXPECT_EQ(g_events[0], std::to_string(0xE01A0020u) + "/1/" +
                             "Severe Error RESERR: 170 - failed at <>(170) in vortBexScanner.dll");
}

TEST_F(Failures, EveryTruncationFailsWithTheTagOfItsRecord) {
  BexSpec spec = bexgen::DemoSpec();
  spec.calls.back().skipped = {1, 2, 3, 4, 5};
  const std::vector<uint8_t> file = bexgen::WriteBex(spec);
  const std::vector<Field> fields = Layout(spec);
  ASSERT_EQ(fields.back().end + spec.calls.back().skipped.size(), file.size())
      << "the layout oracle covers the whole file";
  for (size_t cut = 0; cut < file.size(); ++cut) {
    SCOPED_TRACE(cut);
    const std::vector<uint8_t> part(file.begin(), file.begin() + cut);
    std::string tag;
    bool expectFailure = false;
    for (const Field &f : fields) {
      if (cut < f.end) {
        tag = f.tag;
        expectFailure = true;
        break;
      }
    }
    ASSERT_EQ(Read(part), expectFailure ? 0 : 1) << Error();
    if (expectFailure) {
      EXPECT_NE(Error().find("failed at <" + tag + ">(170)"), std::string::npos) << Error();
    } else {
      EXPECT_EQ(Error(), "") << "only the last skipped stream was shortened";
    }
    FreeBex();
    ASSERT_EQ(SalMemLiveBlocks(), baseline_);
  }
}

TEST_F(Failures, EveryAllocationFailureIsASevereErrorWithoutLeak) {
  const BexSpec spec = bexgen::DemoSpec();
  const std::string path = Write(bexgen::WriteBex(spec));
  struct Expected {
    const char *tag;
    const char *text;
  } map[] = {{"CNameListBase", ""},
             {"ReadByteStreamFromBex", "(35)"},
             {"ReadUsrGrpFromBex", "(38)"},
             {"ReadTmpTraCallFromBex", "(40)"}};
  std::vector<std::string> seenTags;
  for (uint32_t n = 1;; ++n) {
    SCOPED_TRACE(n);
    ASSERT_LT(n, 1000u);
    for (bool forever : {false, true}) {
      SalMemFailAfter(n, forever);
      const int32_t result = ReadBex(path.c_str());
      const char *tag = SalMemLastFailedTag();
      SalMemFailAfter(0);
      if (tag == nullptr) {
        // Past the last allocation: the read went through.
        ASSERT_EQ(result, 1);
        EXPECT_EQ(WalkGroups(), ExpectedGroups(spec));
        FreeBex();
        EXPECT_EQ(SalMemLiveBlocks(), baseline_);
        EXPECT_GE(seenTags.size(), 4u);
        return;
      }
      EXPECT_EQ(result, 0);
      bool known = false;
      for (const Expected &e : map) {
        if (std::string(tag) != e.tag) continue;
        known = true;
        if (*e.text == '\0') {
          EXPECT_EQ(Error(), "");
        } else {
          EXPECT_NE(Error().find(e.text), std::string::npos) << Error();
        }
      }
      EXPECT_TRUE(known) << tag;
      if (!forever) seenTags.push_back(tag);
      FreeBex();
      EXPECT_EQ(SalMemLiveBlocks(), baseline_);
    }
  }
}

TEST_F(Failures, CraftedCountsNeverAllocateMoreThanTheFileHolds) {
  // Every stream length of a small file set to a huge claim, one at a time.
  const BexSpec spec = bexgen::DemoSpec();
  const std::vector<uint8_t> good = bexgen::WriteBex(spec);
  for (const Field &f : Layout(spec)) {
    if (f.tag != "pLenByteStream") continue;
    SCOPED_TRACE(f.begin);
    std::vector<uint8_t> bad = good;
    bad[f.begin] = bad[f.begin + 1] = bad[f.begin + 2] = bad[f.begin + 3] = 0xFF;
    EXPECT_EQ(Read(bad), 0);
    EXPECT_NE(Error().find("<ppByteStream>(170)"), std::string::npos) << Error();
    FreeBex();
  }
}
