// failure_test.cpp - severe errors: the composed texts with the message
// module beside the program and without it, the events, truncation and
// allocation failure.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

#include "messages/error_format.h"
#include "messages/language_resources.h"
#include "messages/library_attach.h"
#include "reader/bex_error.h"
#include "reader_fixture.h"

using bexgen::BexSpec;
using Failures = ReaderTest;
// Run only by the copy of reader_tests in a folder without companion
// modules (CTest entry reader_tests_bare).
using BareFailures = ReaderTest;

namespace {
// The raise, with the exception caught as ReadBex does.
std::string Raised(int16_t number, const char *argument) {
  try {
    if (argument != nullptr) RaiseBexError(argument, number);
    RaiseBexErrorNoText(number);
  } catch (const BexSevereError &e) {
    EXPECT_EQ(e.number, number);
  }
  return LastRBexErr();
}

// A field of the file and the read tag a cut inside it must report.
struct Field {
  size_t begin, end;
  std::string tag;
};

// The layout of a written plan, from the format's description: every field
// a checked read covers, in file order.  Skipped stream data is no field:
// the seek passes over it and the next field's read comes up short.
std::vector<Field> Layout(const BexSpec &plan) {
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
  add(plan.headerLength, "");
  if (plan.leadingStream) skipped(plan.leadingStream->size());
  add(4, "namelist");
  stream(plan.pool.size());
  add(2, "MAXUSRGRP");
  for (const bexgen::NodeSpec &node : plan.nodes) {
    add(32, "USRGRPNODE");
    stream(node.names.size() * 4);
    stream(node.values.size() * 4);
  }
  add(2, "pMaxTra");
  for (const bexgen::TraCallSpec &call : plan.calls) {
    add(36, "TRACALLNODE");
    skipped(call.skipped.size());
  }
  return fields;
}
}  // namespace

TEST_F(Failures, MessagesArgumentsNumbersAndFormats) {
  // With an argument: facility 33; without: facility 34, which has no module
  // name of its own; a number without message.
  EXPECT_EQ(Raised(161, ""), "Severe Error RESERR: 161 - The Bex file was compiled by an older version of the "
                             "product. Compile the script again.(161) in vortBexScanner.dll");
  EXPECT_EQ(Raised(170, nullptr),
            "Severe Error Unknown module: 170 - Reading from the Bex file failed or came up short.(170) in "
            "vortBexScanner.dll");
  EXPECT_EQ(Raised(171, "x"), "Severe Error 3760259243 - unknown error code(171) in vortBexScanner.dll");
  // The argument replaces every %1 once; inserted text is not scanned again.
  const std::string argument(200, 'p');
  const struct {
    const char *message, *argument;
    int16_t number;
    std::string expected;
  } cases[] = {{"a %1 b %1", "X", 19, "a X b X(19) in vortBexScanner.dll"},
               {"%1%1", "%1", 19, "%1%1(19) in vortBexScanner.dll"},
               {"no insert", "ignored", 19, "no insert(19) in vortBexScanner.dll"},
               {"%%1 and %1", "Y", 19, "%Y and Y(19) in vortBexScanner.dll"},
               {"keeps %1", nullptr, 19, "keeps %1(19) in vortBexScanner.dll"},
               {"m", nullptr, -2, "m(-2) in vortBexScanner.dll"},  // the number is signed
               // Texts are cut to 499 bytes, also when the replacement grows them.
               {"%1%1%1", argument.c_str(), 19, std::string(486, 'p')}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.message);
    ReportBexError(c.message, c.number, c.argument);
    EXPECT_EQ(Error(), "Severe Error " + c.expected);
  }
  // A cached format whose conversions do not take (text, number) is not used.
  CLanguageDllResources &resources = SalGetLibraryResources();
  const std::string saved = resources.GetString(0, 47208, "Severe Error %s(%d) in vortBexScanner.dll");
  for (const char *bad : {"%d then %s", "%s %s", "%s%d%n", "%s %ld", "%*s %d"}) {
    ASSERT_EQ(resources.StoreString(47208, bad), 1);
    ReportBexError("m", 5, nullptr);
    EXPECT_EQ(Error(), "Severe Error m(5) in vortBexScanner.dll") << bad;
  }
  ASSERT_EQ(resources.StoreString(47208, "<%-10.3s|%+05d|%%>"), 1);
  ReportBexError("m", 5, nullptr);
  EXPECT_EQ(Error(), "<m         |+0005|%>");
  ASSERT_EQ(resources.StoreString(47208, saved.c_str()), 1);
}

TEST_F(Failures, EverySevereErrorReachesTheEventLog) {
  const std::string missing = dir_.File("no such file.bex");
  EXPECT_EQ(ReadBex(missing.c_str()), 0);
  const std::string text = Error();
  EXPECT_EQ(text, "Severe Error RESERR: 19 - The Bex file " + missing + " cannot be opened.(19) in vortBexScanner.dll");
  EXPECT_EQ(Read(std::vector<uint8_t>{1}), 0);
  ASSERT_EQ(Read(bexgen::DemoSpec()), 1);
  ASSERT_EQ(SeenEvents().size(), 2u) << "one event per failed read, none for a good one";
  const SeenEvent &e = SeenEvents()[0];
  EXPECT_EQ(e.machine, "") << "this machine";
  EXPECT_EQ(e.source, "vortBexScanner") << "the name that vortVersion supplies";
  EXPECT_EQ(e.type, 1);
  EXPECT_EQ(e.id, 0xE01A0020u);
  EXPECT_EQ(e.strings, std::vector<std::string>{text});
  EXPECT_EQ(SeenEvents()[1].strings.at(0), ReadFailureText(""));
  // An event log that refuses every registration changes nothing.
  SalSetEventSink([](void *, const SalEventCall &) { return 0; }, nullptr);
  EXPECT_EQ(Read(std::vector<uint8_t>{1, 2, 3}), 0);
  EXPECT_EQ(Error(), ReadFailureText(""));
}

TEST_F(BareFailures, WithoutCompanionModulesTheCodeIsShown) {
  ASSERT_EQ(SalGetMessageModule(), nullptr) << "this run needs a folder without vortMessages";
  const std::string missing = dir_.File("absent.bex");
  EXPECT_EQ(ReadBex(missing.c_str()), 0);
  EXPECT_EQ(Error(), "Severe Error 3760259091 - unknown error code(19) in vortBexScanner.dll");
  EXPECT_EQ(Read(std::vector<uint8_t>{1, 2, 3}), 0);
  EXPECT_EQ(Error(), "Severe Error 3760259242 - unknown error code(170) in vortBexScanner.dll");
  ASSERT_EQ(SeenEvents().size(), 2u);
  EXPECT_EQ(SeenEvents()[1].source, "") << "no version module: an empty source name";
  EXPECT_EQ(SeenEvents()[1].strings.at(0), Error());
  EXPECT_STREQ(SalGetSeverityName(3), "error") << "the compiled-in default";
}

TEST_F(Failures, EveryTruncationFailsWithTheTagOfItsRecord) {
  BexSpec plan = bexgen::DemoSpec();
  plan.calls.back().skipped = {1, 2, 3, 4, 5};
  const std::vector<uint8_t> file = bexgen::WriteBex(plan);
  const std::vector<Field> fields = Layout(plan);
  ASSERT_EQ(fields.back().end + plan.calls.back().skipped.size(), file.size())
      << "the layout oracle covers the whole file";
  for (size_t cut = 0; cut < file.size(); ++cut) {
    SCOPED_TRACE(cut);
    // The first field the cut falls into; none: only the last skipped stream was shortened.
    const auto f = std::find_if(fields.begin(), fields.end(), [cut](const Field &x) { return cut < x.end; });
    ASSERT_EQ(Read({file.begin(), file.begin() + static_cast<std::ptrdiff_t>(cut)}), f != fields.end() ? 0 : 1)
        << Error();
    EXPECT_EQ(Error(), f != fields.end() ? ReadFailureText(f->tag) : "");
    FreeBex();
    ASSERT_EQ(SalMemLiveBlocks(), baseline_);
  }
}

TEST_F(Failures, EveryAllocationFailureIsASevereErrorWithoutLeak) {
  const BexSpec plan = bexgen::DemoSpec();
  const std::string path = Write(bexgen::WriteBex(plan));
  // The message module and the source name are looked up once and kept;
  // with them in place, a failing allocation changes nothing in the text.
  ASSERT_NE(SalGetMessageModule(), nullptr);
  ASSERT_STRNE(SalGetEventSourceName(), "");
  auto noMemory = [](int n, const std::string &what) {
    return "Severe Error RESERR: " + std::to_string(n) + " - No memory for the " + what + ".(" + std::to_string(n) +
           ") in vortBexScanner.dll";
  };
  const std::map<std::string, std::string> texts = {{"CNameListBase", ""},
                                                    {"ReadByteStreamFromBex", noMemory(35, "buffer of a byte stream")},
                                                    {"ReadUsrGrpFromBex", noMemory(38, "user-group table")},
                                                    {"ReadTmpTraCallFromBex", noMemory(40, "transaction-call table")}};
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
        EXPECT_EQ(WalkGroups(), ExpectedGroups(plan));
        FreeBex();
        EXPECT_EQ(SalMemLiveBlocks(), baseline_);
        EXPECT_GE(seenTags.size(), 4u);
        return;
      }
      EXPECT_EQ(result, 0);
      const auto text = texts.find(tag);
      ASSERT_NE(text, texts.end()) << tag;
      EXPECT_EQ(Error(), text->second);
      if (!forever) seenTags.push_back(tag);
      FreeBex();
      EXPECT_EQ(SalMemLiveBlocks(), baseline_);
    }
  }
}

TEST_F(Failures, CraftedCountsNeverAllocateMoreThanTheFileHolds) {
  // Every stream length of a small file set to a huge claim, one at a time:
  // a short read, with nothing allocated for the claim.
  const BexSpec plan = bexgen::DemoSpec();
  const std::vector<uint8_t> good = bexgen::WriteBex(plan);
  for (const Field &f : Layout(plan)) {
    if (f.tag != "pLenByteStream") continue;
    SCOPED_TRACE(f.begin);
    std::vector<uint8_t> bad = good;
    bad[f.begin] = bad[f.begin + 1] = bad[f.begin + 2] = bad[f.begin + 3] = 0xFF;
    EXPECT_EQ(Read(bad), 0);
    EXPECT_EQ(Error(), ReadFailureText("ppByteStream"));
    if (f.begin == 348 + 4 + 7 + 4) {
      EXPECT_EQ(SalMemLiveBlocks(), baseline_ + 1) << "the pool: only the name list is held";
    }
    FreeBex();
  }
}
