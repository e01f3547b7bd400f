// failure_test.cpp - severe errors: the composed texts with the message
// module beside the program and without it, the events, truncation and
// allocation failure.
#include <gtest/gtest.h>

#include <iostream>
#include <map>
#include <string>

#include "messages/error_format.h"
#include "messages/language_resources.h"
#include "messages/library_attach.h"
#include "reader/bex_error.h"
#include "reader_fixture.h"

using bexgen::BexSpec;

// The suites run by reader_tests, which has the companion modules beside it.
using Failures = ReaderTest;
// Run only by the copy of reader_tests in a folder without companion
// modules (CTest entry reader_tests_bare).
using BareFailures = ReaderTest;

namespace {
// ReportBexError and the raise, with the exception caught as ReadBex does.
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

TEST_F(Failures, NumbersFindTheirMessages) {
  // With an argument: facility 33, whose texts show where it goes.
  EXPECT_EQ(Raised(161, ""), "Severe Error RESERR: 161 - The Bex file was compiled by an older version of the "
                             "product. Compile the script again.(161) in vortBexScanner.dll");
  // Without argument: facility 34, which has no module name of its own.
  EXPECT_EQ(Raised(170, nullptr),
            "Severe Error Unknown module: 170 - Reading from the Bex file failed or came up short.(170) in "
            "vortBexScanner.dll");
  // A number without message.
  EXPECT_EQ(Raised(171, "x"), "Severe Error 3760259243 - unknown error code(171) in vortBexScanner.dll");
}

TEST_F(Failures, ArgumentReplacesEveryPercentOneOnce) {
  const struct {
    const char *message;
    const char *argument;
    const char *expected;
  } cases[] = {
      {"a %1 b %1", "X", "a X b X"},
      {"%1%1", "%1", "%1%1"},  // inserted text is not scanned again
      {"gone: %1.", "", "gone: ."},
      {"no insert", "ignored", "no insert"},
      {"%%1 and %1", "Y", "%Y and Y"},
      {"keeps %1", nullptr, "keeps %1"},  // no argument: the inserts stay
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.message);
    ReportBexError(c.message, 19, c.argument);
    EXPECT_EQ(Error(), std::string("Severe Error ") + c.expected + "(19) in vortBexScanner.dll");
  }
}

TEST_F(Failures, NumberIsSignedAndTheFormatIsChecked) {
  ReportBexError("m", -2, nullptr);
  EXPECT_EQ(Error(), "Severe Error m(-2) in vortBexScanner.dll");
  // A cached format whose conversions do not take (text, number) is not used.
  CLanguageDllResources &resources = SalGetLibraryResources();
  const std::string saved =
      resources.GetString(0, 47208, "Severe Error %s(%d) in vortBexScanner.dll");
  for (const char *bad : {"%d then %s", "%s %s", "%s%d%n", "%s %ld", "%*s %d"}) {
    SCOPED_TRACE(bad);
    ASSERT_EQ(resources.StoreString(47208, bad), 1);
    ReportBexError("m", 5, nullptr);
    EXPECT_EQ(Error(), "Severe Error m(5) in vortBexScanner.dll");
  }
  ASSERT_EQ(resources.StoreString(47208, "<%-10.3s|%+05d|%%>"), 1);
  ReportBexError("m", 5, nullptr);
  EXPECT_EQ(Error(), "<m         |+0005|%>");
  ASSERT_EQ(resources.StoreString(47208, saved.c_str()), 1);
}

TEST_F(Failures, LongTextsAreCutTo499Bytes) {
  const std::string longMessage(700, 'm');
  ReportBexError(longMessage.c_str(), 170, nullptr);
  EXPECT_EQ(Error(), "Severe Error " + std::string(486, 'm'));
  // Growing past 500 bytes through the replacement is cut the same way.
  const std::string argument(200, 'p');
  ReportBexError("%1%1%1", 19, argument.c_str());
  EXPECT_EQ(Error(), ("Severe Error " + std::string(600, 'p')).substr(0, 499));
  // A message text longer than the 1024-byte message buffer never reaches
  // the text whole: the module's texts are cut at 1023 bytes by the lookup.
  char message[1024];
  EXPECT_EQ(SalFormatErrorCode(0xE02100AAu, message, sizeof message, 3), message);
  EXPECT_EQ(std::string(message), "RESERR: 170 - Reading %1 from the Bex file failed or came up short.");
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
  // What the sink saw for the failed read, as the evidence of the event.
  std::cout << "event sink: machine=\"" << e.machine << "\" source=\"" << e.source << "\" type=" << e.type
            << " id=0x" << std::hex << std::uppercase << e.id << std::dec << " strings=" << e.strings.size() << " ["
            << (e.strings.empty() ? "" : e.strings[0]) << "]\n";
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
      EXPECT_EQ(Error(), ReadFailureText(tag));
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
        EXPECT_EQ(WalkGroups(), ExpectedGroups(spec));
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
  // Every stream length of a small file set to a huge claim, one at a time.
  const BexSpec spec = bexgen::DemoSpec();
  const std::vector<uint8_t> good = bexgen::WriteBex(spec);
  for (const Field &f : Layout(spec)) {
    if (f.tag != "pLenByteStream") continue;
    SCOPED_TRACE(f.begin);
    std::vector<uint8_t> bad = good;
    bad[f.begin] = bad[f.begin + 1] = bad[f.begin + 2] = bad[f.begin + 3] = 0xFF;
    EXPECT_EQ(Read(bad), 0);
    EXPECT_EQ(Error(), ReadFailureText("ppByteStream"));
    FreeBex();
  }
}
