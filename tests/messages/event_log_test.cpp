// event_log_test.cpp - CSalEventLog against an event sink: which machines
// are registered and reported to, the results, the insertion strings, the
// source name and the mirror file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "messages/error_format.h"
#include "messages/event_log.h"
#include "messages_fixture.h"
#include "support/temp_dir.h"

namespace {
using Calls = std::vector<std::string>;

// One call as the sink saw it: "register <machine>", "report <machine>
// <type> <id> [strings...]", "deregister <machine>".
struct Sink {
  Calls calls;
  std::string source;
  bool refuseLocal = false, refuseRemote = false, refuseReports = false;

  static int Call(void *context, const SalEventCall &call) {
    Sink &s = *static_cast<Sink *>(context);
    s.source = call.source;
    const bool local = *call.machine == '\0';
    const std::string machine = local ? "this" : call.machine;
    if (call.kind == SalEventCall::kRegister) {
      s.calls.push_back("register " + machine);
      return (local ? s.refuseLocal : s.refuseRemote) ? 0 : 1;
    }
    if (call.kind == SalEventCall::kDeregister) {
      s.calls.push_back("deregister " + machine);
      return 1;
    }
    std::string line = "report " + machine + " " + std::to_string(call.type) + " " + std::to_string(call.id);
    for (uint16_t i = 0; i < call.count; ++i) line += " [" + std::string(call.strings[i]) + "]";
    s.calls.push_back(line);
    return s.refuseReports ? 0 : 1;
  }
};

class EventLog : public ::testing::Test {
 protected:
  void SetUp() override { SalSetEventSink(&Sink::Call, &sink_); }
  void TearDown() override { SalSetEventSink(nullptr, nullptr); }

  Sink sink_;
  TempDir temp_;
  ScopedTempFolder tempFolder_{temp_.Path()};
};
}  // namespace

TEST_F(EventLog, MachinesRegisteredReportedAndTheResult) {
  const std::string mine = "register this", far = "register \\\\far", text = " 1 7 [text]";
  const std::string endMine = "deregister this", endFar = "deregister \\\\far";
  const struct {
    const char *local, *remote;
    bool refuseLocal, refuseRemote, refuseReports;
    Calls calls;
    int result;
  } cases[] = {
      {"local", nullptr, false, false, false, {mine, "report this" + text, endMine}, 1},
      // Remote names that mean this machine: a remote name is set but no remote report was made.
      {"MYHOST", "localhost", false, false, false, {mine, "report this" + text, endMine}, 0},
      {"MYHOST", "LOCAL", false, false, false, {mine, "report this" + text, endMine}, 0},
      {"MYHOST", "myHost", false, false, false, {mine, "report this" + text, endMine}, 0},
      {"local", "far", false, false, false,
       {mine, far, "report this" + text, "report \\\\far" + text, endMine, endFar}, 1},
      // Only the remote machine reports; the local source is registered anyway.
      {"", "far", false, false, false, {mine, far, "report \\\\far" + text, endMine, endFar}, 1},
      {"", "far", true, false, false, {mine, far, "report \\\\far" + text, endFar}, 0},
      {"local", "far", false, true, false, {mine, far, "report this" + text, endMine}, 0},
      {"local", nullptr, false, false, true, {mine, "report this" + text, endMine}, 0},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << c.local << "/" << (c.remote ? c.remote : "null"));
    sink_.calls.clear();
    sink_.refuseLocal = c.refuseLocal;
    sink_.refuseRemote = c.refuseRemote;
    sink_.refuseReports = c.refuseReports;
    {
      CSalEventLog log("vortTest");
      EXPECT_EQ(log.Open(c.local, c.remote, 0), 1);
      EXPECT_EQ(log.ReportText(7, SAL_EVENT_ERROR, "text"), c.result);
    }
    EXPECT_EQ(sink_.calls, c.calls);
    EXPECT_EQ(sink_.source, "vortTest");
  }
  EXPECT_FALSE(std::filesystem::exists(temp_.File("vortanaEventLog.log"))) << "no mirror without flag 1";
}

TEST_F(EventLog, InsertionStringsAndNames) {
  CSalEventLog log(std::string(200, 's').c_str());
  EXPECT_EQ(std::string(log.GetSourceName()), std::string(127, 's'));
  EXPECT_EQ(log.ReportNumber(0xE01A0020u, SAL_EVENT_WARNING, -1), 1);
  EXPECT_EQ(sink_.source, std::string(127, 's'));
  EXPECT_EQ(log.Report(5, SAL_EVENT_INFORMATION), 1);
  const char *three[] = {"a", "", "c"};
  EXPECT_EQ(log.ReportStrings(6, SAL_EVENT_AUDIT_FAILURE, three, 3), 1);
  EXPECT_EQ(sink_.calls[1], "report this 2 3759800352 [-1]");
  EXPECT_EQ(sink_.calls[4], "report this 4 5");
  EXPECT_EQ(sink_.calls[7], "report this 16 6 [a] [] [c]");
  // Machine names are cut to 63 bytes: \\ and the name.
  log.Open(nullptr, std::string(80, 'm').c_str(), 0);
  sink_.calls.clear();
  EXPECT_EQ(log.ReportText(1, 1, "x"), 1);
  EXPECT_EQ(sink_.calls[1], "register \\\\" + std::string(61, 'm'));
  EXPECT_EQ(sink_.calls[3], "report \\\\" + std::string(61, 'm') + " 1 1 [x]");
}

TEST_F(EventLog, MirrorLinesForEventsWithAMessage) {
  ASSERT_NE(SalGetMessageModule(), nullptr);
  CSalEventLog log("vortTest");
  const std::string mirror = temp_.File("vortanaEventLog.log");
  EXPECT_EQ(std::filesystem::path(log.GetLogFilePath()), std::filesystem::path(mirror));
  log.Open(nullptr, nullptr, SAL_EVENT_LOG_MIRROR);
  EXPECT_EQ(log.ReportText(kSalEventSevereError, SAL_EVENT_ERROR, "first %1 line"), 1);
  EXPECT_EQ(log.ReportText(0xE01A7777u, SAL_EVENT_ERROR, "no message, no line"), 1);
  sink_.refuseReports = true;
  EXPECT_EQ(log.ReportText(kSalEventSevereError, SAL_EVENT_ERROR, "second"), 0);
  // With inserts, through another message module.
  SalSetMessageModule(LoadBesideProgram(ModuleFile("vortTestMessages"), sal::os::MessageModuleLoadFlags()));
  const char *strings[] = {"one", "two"};
  sink_.refuseReports = false;
  EXPECT_EQ(log.ReportStrings(0xE01A7003u, SAL_EVENT_ERROR, strings, 2), 1);
  SalSetMessageModule(nullptr);
  EXPECT_EQ(MaskStamps(TempDir::ReadText(mirror)), "<T>first %1 line\r\n<T>second\r\n<T>[two|one|]\r\n");
}

TEST_F(EventLog, MirrorPathWithoutAUsableTemporaryFolder) {
  {
    // Missing, one level below an existing folder: created.
    ScopedTempFolder missing(temp_.File("made"));
    CSalEventLog log("vortTest");
    EXPECT_EQ(std::filesystem::path(log.GetLogFilePath()),
              std::filesystem::path(temp_.File("made")) / "vortanaEventLog.log");
    EXPECT_TRUE(std::filesystem::is_directory(temp_.File("made")));
  }
  // Not writable: the file in the root folder.
  ReadOnlyFolder locked(temp_.File("locked"));
  ScopedTempFolder readOnly(locked.Path());
  if (!locked.Ok()) GTEST_SKIP() << "this system keeps no read-only folders (Wine)";
  EXPECT_EQ(std::string(CSalEventLog("vortTest").GetLogFilePath()), SAL_PATH_SEPARATOR + std::string("vortanaEventLog.log"));
}
