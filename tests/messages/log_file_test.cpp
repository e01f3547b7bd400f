// log_file_test.cpp - WriteLogLine: the line format, the default file in the
// temporary folder, and the deny-write open.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <string>

#include "messages/log_file.h"
#include "messages_fixture.h"
#include "support/temp_dir.h"
#include "text/common_file.h"

namespace {
// "YYYY-MM-DD HH:MM:SS " of the local time t.
std::string Stamp(std::time_t t) {
  char text[32];
  std::tm local{};
  const std::tm *fields = std::localtime(&t);
  if (fields != nullptr) local = *fields;
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S ", &local);
  return text;
}
}  // namespace

TEST(WriteLogLine, AppendsStampedLinesWholeAndInCallOrder) {
  TempDir dir;
  const std::string path = dir.File("log.txt");
  const std::string longText(20000, 't');
  const std::time_t before = std::time(nullptr);
  EXPECT_EQ(WriteLogLine(path.c_str(), "%s %d", "first", 1), 1);
  EXPECT_EQ(WriteLogLine(path.c_str(), "%s|", longText.c_str()), 1);
  EXPECT_EQ(WriteLogLine(path.c_str(), nullptr), 0);
  const std::time_t after = std::time(nullptr);
  const std::string text = TempDir::ReadText(path);
  EXPECT_EQ(MaskStamps(text), "<T>first 1\r\n<T>" + longText + "|\r\n");
  // The stamps lie between the readings of the clock around the calls.
  const std::string stamp = text.substr(0, 20);
  EXPECT_GE(stamp, Stamp(before));
  EXPECT_LE(stamp, Stamp(after));
  EXPECT_EQ(WriteLogLine(dir.File("none.log").c_str(), nullptr), 0);
  EXPECT_FALSE(std::filesystem::exists(dir.File("none.log"))) << "no format, no file";
}

TEST(WriteLogLine, NoPathMeansTheDefaultFileInTheTemporaryFolder) {
  // The default file is worked out once per process, in the temporary
  // folder of that moment: this one, kept to the end of the process.
  static TempDir folder;
  static ScopedTempFolder active(folder.Path());
  const CCommonString expected = GetDefaultLogPath();
  ASSERT_TRUE(expected.HasStorage());
  EXPECT_EQ(std::filesystem::path(expected.CStr()), std::filesystem::path(folder.File("vortanaLog.log")));
  EXPECT_EQ(WriteLogLine(nullptr, "%s", "abc"), 1);
  EXPECT_EQ(WriteLogLine("", "%s", "def"), 1);
  EXPECT_EQ(MaskStamps(TempDir::ReadText(expected.CStr())), "<T>abc\r\n<T>def\r\n");
  {
    ScopedTempFolder missing(folder.File("new"));
    EXPECT_EQ(std::filesystem::path(GetDefaultLogPath().CStr()),
              std::filesystem::path(folder.File("new")) / "vortanaLog.log");
    EXPECT_TRUE(std::filesystem::is_directory(folder.File("new"))) << "one missing level is created";
  }
  {
    ScopedTempFolder deep(folder.File("a") + "/b/c");
    EXPECT_FALSE(GetDefaultLogPath().HasStorage()) << "a folder that cannot be made";
  }
}

TEST(WriteLogLine, NoDefaultFileInAReadOnlyTemporaryFolder) {
  TempDir dir;
  ReadOnlyFolder locked(dir.File("locked"));
  ScopedTempFolder readOnly(locked.Path());
  if (!locked.Ok()) GTEST_SKIP() << "this system keeps no read-only folders (Wine)";
  EXPECT_FALSE(GetDefaultLogPath().HasStorage());
}

TEST(WriteLogLine, FileHeldDenyWriteByAnotherOpenerLosesTheLine) {
  TempDir dir;
  const std::string path = dir.File("held.log");
  ASSERT_EQ(WriteLogLine(path.c_str(), "%s", "one"), 1);
  {
    CCommonFile other;
    ASSERT_EQ(other.OpenPath(path.c_str(), SAL_FILE_ACCESS_READ_WRITE, SAL_FILE_OPEN_EXISTING, SAL_FILE_SHARE_READ), 1);
    EXPECT_EQ(WriteLogLine(path.c_str(), "%s", "lost"), 0);
  }
  EXPECT_EQ(WriteLogLine(path.c_str(), "%s", "three"), 1);
  EXPECT_EQ(MaskStamps(TempDir::ReadText(path)), "<T>one\r\n<T>three\r\n");
}
