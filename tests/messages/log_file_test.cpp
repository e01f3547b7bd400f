// log_file_test.cpp - WriteLogLine: the line format, the default file in the
// temporary folder, and the deny-write open.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <string>

#include "messages/log_file.h"
#include "messages_fixture.h"
#include "platform/directory.h"
#include "support/temp_dir.h"
#include "text/common_file.h"

namespace {
std::string Content(const std::string &path) {
  const std::vector<uint8_t> bytes = TempDir::Read(path);
  return std::string(bytes.begin(), bytes.end());
}

// "YYYY-MM-DD HH:MM:SS " of the local time t.
std::string Stamp(std::time_t t) {
  char text[32];
  std::tm local{};
  const std::tm *fields = std::localtime(&t);
  if (fields != nullptr) local = *fields;
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S ", &local);
  return text;
}

// The default file is worked out once per process: every test that writes
// to it uses this one temporary folder, made before the first of them.
const TempDir &DefaultFolder() {
  static TempDir folder;
  static ScopedTempFolder active(folder.Path());
  return folder;
}
}  // namespace

TEST(WriteLogLine, AppendsStampedLinesInCallOrder) {
  TempDir dir;
  const std::string path = dir.File("log.txt");
  const std::time_t before = std::time(nullptr);
  EXPECT_EQ(WriteLogLine(path.c_str(), "%s %d", "first", 1), 1);
  EXPECT_EQ(WriteLogLine(path.c_str(), "%s", "second\r\nwith a break"), 1);
  const std::time_t after = std::time(nullptr);
  const std::string text = Content(path);
  EXPECT_EQ(MaskStamps(text), "<T>first 1\r\n<T>second\r\nwith a break\r\n");
  // The stamps lie between the readings of the clock around the calls.
  const size_t second = text.find("\r\n") + 2;
  ASSERT_TRUE(IsStampAt(text, 0));
  ASSERT_TRUE(IsStampAt(text, second));
  for (size_t at : {size_t{0}, second}) {
    const std::string stamp = text.substr(at, 20);
    EXPECT_GE(stamp, Stamp(before));
    EXPECT_LE(stamp, Stamp(after));
  }
}

TEST(WriteLogLine, LongTextsAreWrittenWhole) {
  TempDir dir;
  const std::string path = dir.File("long.log");
  const std::string text(20000, 't');
  EXPECT_EQ(WriteLogLine(path.c_str(), "%s|", text.c_str()), 1);
  const std::string content = Content(path);
  EXPECT_EQ(content.size(), 20u + text.size() + 1 + 2);
  EXPECT_EQ(content.substr(20), text + "|\r\n");
}

TEST(WriteLogLine, NullFormatWritesNothing) {
  TempDir dir;
  const std::string path = dir.File("none.log");
  EXPECT_EQ(WriteLogLine(path.c_str(), nullptr), 0);
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(WriteLogLine, NoPathMeansTheDefaultFile) {
  const TempDir &folder = DefaultFolder();
  const CCommonString expected = GetDefaultLogPath();
  ASSERT_TRUE(expected.HasStorage());
  EXPECT_EQ(std::filesystem::path(expected.CStr()), std::filesystem::path(folder.File("vortanaLog.log")));
  EXPECT_EQ(WriteLogLine(nullptr, "%s", "abc"), 1);
  EXPECT_EQ(WriteLogLine("", "%s", "def"), 1);
  const std::string text = Content(expected.CStr());
  EXPECT_EQ(MaskStamps(text), "<T>abc\r\n<T>def\r\n");
}

TEST(WriteLogLine, FileHeldDenyWriteByAnotherOpenerLosesTheLine) {
  TempDir dir;
  const std::string path = dir.File("held.log");
  ASSERT_EQ(WriteLogLine(path.c_str(), "%s", "one"), 1);
  {
    CCommonFile other;
    ASSERT_EQ(other.OpenPath(path.c_str(), SAL_FILE_ACCESS_READ_WRITE, SAL_FILE_OPEN_EXISTING,
                             SAL_FILE_SHARE_READ),
              1);
    EXPECT_EQ(WriteLogLine(path.c_str(), "%s", "lost"), 0);
  }
  EXPECT_EQ(WriteLogLine(path.c_str(), "%s", "three"), 1);
  const std::string text = Content(path);
  EXPECT_EQ(text.find("lost"), std::string::npos);
  EXPECT_EQ(MaskStamps(text), "<T>one\r\n<T>three\r\n");
}

TEST(GetDefaultLogPath, TemporaryFolderMissingOrReadOnly) {
  TempDir dir;
  {
    ScopedTempFolder missing(dir.File("new"));
    const CCommonString path = GetDefaultLogPath();
    EXPECT_EQ(std::filesystem::path(path.CStr()), std::filesystem::path(dir.File("new")) / "vortanaLog.log");
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("new"))) << "one missing level is created";
  }
  {
    ScopedTempFolder deep(dir.File("a") + "/b/c");
    EXPECT_FALSE(GetDefaultLogPath().HasStorage()) << "a folder that cannot be made";
  }
  ReadOnlyFolder locked(dir.File("locked"));
  ScopedTempFolder readOnly(locked.Path());
  CSalDirectory probe;
  probe.SetPath(locked.Path().c_str());
  if (probe.IsReadOnly() != 1) GTEST_SKIP() << "this system keeps no read-only folders (Wine)";
  const CCommonString path = GetDefaultLogPath();
  EXPECT_FALSE(path.HasStorage());
}
