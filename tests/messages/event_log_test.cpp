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
#include "platform/directory.h"
#include "support/temp_dir.h"

namespace {
// One call as the sink saw it: "register <machine>", "report <machine>
// <type> <id> <strings...>", "deregister <machine>".
struct Sink {
  std::vector<std::string> calls;
  std::string source;
  bool refuseLocal = false, refuseRemote = false, refuseReports = false;

  static int Call(void *context, const SalEventCall &call) {
    Sink &s = *static_cast<Sink *>(context);
    s.source = call.source;
    const std::string machine = *call.machine == '\0' ? "this" : call.machine;
    switch (call.kind) {
      case SalEventCall::kRegister:
        s.calls.push_back("register " + machine);
        return (*call.machine == '\0' ? s.refuseLocal : s.refuseRemote) ? 0 : 1;
      case SalEventCall::kReport: {
        std::string line = "report " + machine + " " + std::to_string(call.type) + " " +
                           std::to_string(call.id);
        for (uint16_t i = 0; i < call.count; ++i) line += " [" + std::string(call.strings[i]) + "]";
        s.calls.push_back(line);
        return s.refuseReports ? 0 : 1;
      }
      case SalEventCall::kDeregister:
        s.calls.push_back("deregister " + machine);
        return 1;
    }
    return 0;
  }
};

class EventLog : public ::testing::Test {
 protected:
  void SetUp() override { SalSetEventSink(&Sink::Call, &sink_); }
  void TearDown() override { SalSetEventSink(nullptr, nullptr); }

  std::vector<std::string> Report(const char *local, const char *remote, int *result) {
    sink_.calls.clear();
    CSalEventLog log("vortTest");
    EXPECT_EQ(log.Open(local, remote, 0), 1);
    *result = log.ReportText(7, SAL_EVENT_ERROR, "text");
    return sink_.calls;
  }

  Sink sink_;
  TempDir temp_;
  ScopedTempFolder tempFolder_{temp_.Path()};
};

using Calls = std::vector<std::string>;
}  // namespace

TEST_F(EventLog, LocalMachineAndRemoteNamesThatMeanIt) {
  int result = 0;
  EXPECT_EQ(Report("local", nullptr, &result),
            (Calls{"register this", "report this 1 7 [text]", "deregister this"}));
  EXPECT_EQ(result, 1);
  EXPECT_EQ(sink_.source, "vortTest");
  EXPECT_FALSE(std::filesystem::exists(temp_.File("vortanaEventLog.log"))) << "no mirror without flag 1";
  for (const char *remote : {"localhost", "LOCAL", "myHost"}) {
    SCOPED_TRACE(remote);
    EXPECT_EQ(Report("MYHOST", remote, &result),
              (Calls{"register this", "report this 1 7 [text]", "deregister this"}));
    EXPECT_EQ(result, 0) << "a remote name is set but no remote report was made";
  }
}

TEST_F(EventLog, RemoteMachine) {
  int result = 0;
  EXPECT_EQ(Report("local", "far", &result),
            (Calls{"register this", "register \\\\far", "report this 1 7 [text]",
                   "report \\\\far 1 7 [text]", "deregister this", "deregister \\\\far"}));
  EXPECT_EQ(result, 1);
  // Only the remote machine reports; the local source is registered anyway.
  EXPECT_EQ(Report("", "far", &result),
            (Calls{"register this", "register \\\\far", "report \\\\far 1 7 [text]",
                   "deregister this", "deregister \\\\far"}));
  EXPECT_EQ(result, 1);
  sink_.refuseLocal = true;
  EXPECT_EQ(Report("", "far", &result),
            (Calls{"register this", "register \\\\far", "report \\\\far 1 7 [text]",
                   "deregister \\\\far"}));
  EXPECT_EQ(result, 0) << "the local registration failed";
  sink_.refuseLocal = false;
  sink_.refuseRemote = true;
  EXPECT_EQ(Report("local", "far", &result),
            (Calls{"register this", "register \\\\far", "report this 1 7 [text]", "deregister this"}));
  EXPECT_EQ(result, 0) << "the remote machine is unreachable; the local report is made";
  sink_.refuseRemote = false;
  sink_.refuseReports = true;
  EXPECT_EQ(Report("local", nullptr, &result).size(), 3u);
  EXPECT_EQ(result, 0);
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
  // Machine names are cut to 63 bytes; null names are left as they are.
  const std::string longName(80, 'm');
  log.Open(nullptr, longName.c_str(), 0);
  sink_.calls.clear();
  EXPECT_EQ(log.ReportText(1, 1, "x"), 1);
  EXPECT_EQ(sink_.calls[1], "register \\\\" + std::string(61, 'm')) << "\\\\ and the name fill 63 bytes";
  EXPECT_EQ(sink_.calls[3], "report \\\\" + std::string(61, 'm') + " 1 1 [x]");
}

TEST_F(EventLog, MirrorLineForEventsWithAMessage) {
  ASSERT_NE(SalGetMessageModule(), nullptr);
  CSalEventLog log("vortTest");
  const std::string mirror = temp_.File("vortanaEventLog.log");
  EXPECT_EQ(std::filesystem::path(log.GetLogFilePath()), std::filesystem::path(mirror));
  log.Open(nullptr, nullptr, SAL_EVENT_LOG_MIRROR);
  EXPECT_EQ(log.ReportText(kSalEventSevereError, SAL_EVENT_ERROR, "first %1 line"), 1);
  EXPECT_EQ(log.ReportText(0xE01A7777u, SAL_EVENT_ERROR, "no message, no line"), 1);
  sink_.refuseReports = true;
  EXPECT_EQ(log.ReportText(kSalEventSevereError, SAL_EVENT_ERROR, "second"), 0);
  const std::vector<uint8_t> bytes = TempDir::Read(mirror);
  const std::string text(bytes.begin(), bytes.end());
  EXPECT_EQ(MaskStamps(text), "<T>first %1 line\r\n<T>second\r\n");
}

TEST_F(EventLog, MirrorWithInsertsOfAnotherMessageModule) {
  SalSetMessageModule(LoadBesideProgram(ModuleFile("vortTestMessages"), sal::os::MessageModuleLoadFlags()));
  CSalEventLog log("vortTest");
  log.Open(nullptr, nullptr, SAL_EVENT_LOG_MIRROR);
  const char *strings[] = {"one", "two"};
  EXPECT_EQ(log.ReportStrings(0xE01A7003u, SAL_EVENT_ERROR, strings, 2), 1);
  SalSetMessageModule(nullptr);
  const std::vector<uint8_t> bytes = TempDir::Read(log.GetLogFilePath());
  const std::string text(bytes.begin(), bytes.end());
  EXPECT_EQ(MaskStamps(text), "<T>[two|one|]\r\n");
}

TEST_F(EventLog, MirrorPathWithoutAUsableTemporaryFolder) {
  const char sep = SAL_PATH_SEPARATOR;
  {
    // Missing, one level below an existing folder: created.
    ScopedTempFolder missing(temp_.File("made"));
    CSalEventLog log("vortTest");
    EXPECT_EQ(std::filesystem::path(log.GetLogFilePath()),
              std::filesystem::path(temp_.File("made")) / "vortanaEventLog.log");
    EXPECT_TRUE(std::filesystem::is_directory(temp_.File("made")));
  }
  {
    // Not writable: the file in the root folder.
    ReadOnlyFolder locked(temp_.File("locked"));
    ScopedTempFolder readOnly(locked.Path());
    CSalDirectory probe;
    probe.SetPath(locked.Path().c_str());
    if (probe.IsReadOnly() != 1) GTEST_SKIP() << "this system keeps no read-only folders (Wine)";
    CSalEventLog log("vortTest");
    EXPECT_EQ(std::string(log.GetLogFilePath()), std::string(1, sep) + "vortanaEventLog.log");
  }
}
