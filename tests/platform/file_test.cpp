// file_test.cpp - CSalFile: open modes and sharing, byte-order marks, reads,
// writes and seeks, path operations and file times.
#include "platform/file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "base/code_page.h"
#include "base/last_error.h"
#include "base/sal_errors.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {
constexpr uint32_t kSentinel = 0x12345678;

std::string Text(const std::string &path) {
  const std::vector<uint8_t> bytes = TempDir::Read(path);
  return std::string(bytes.begin(), bytes.end());
}

// Sets a file's last write time to now + offset through the standard library,
// an oracle independent of the code under test.
void ShiftWriteTime(const std::string &path, std::chrono::seconds offset) {
  fs::last_write_time(path, fs::file_time_type::clock::now() + offset);
}
}  // namespace

TEST(CSalFile, OpenRejectsBadArgumentsWithoutTouchingTheDisk) {
  TempDir dir;
  const std::string missing = dir.File("missing.bin");
  struct Case {
    uint32_t access, creation, share;
  } cases[] = {{1, 1, 1}, {1, 4, 1}, {3, 3, 1}, {2, 2, 1}, {0, 2, 1},
               {1, 2, 0}, {1, 2, 2}, {3, 4, 5}, {3, 1, 7}};
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << c.access << "," << c.creation << "," << c.share);
    CSalFile file;
    file.SetPath(missing.c_str());
    SalSetLastError(kSentinel);
    EXPECT_EQ(file.Open(c.access, c.creation, c.share), 0);
    EXPECT_EQ(SalGetLastError(), kSalErrArgument);
    EXPECT_FALSE(fs::exists(missing));
  }
  CSalFile unnamed;
  SalSetLastError(kSentinel);
  EXPECT_EQ(unnamed.Open(1, 2, 1), 0);
  EXPECT_EQ(SalGetLastError(), kSalErrNoObject);
}

TEST(CSalFile, CreationValuesDecideWhatHappensToTheFile) {
  TempDir dir;
  struct Case {
    const char *name;
    bool exists;
    uint32_t access, creation;
    int result;
    const char *after;  // content afterwards; null: no file
  } cases[] = {
      {"read missing", false, 1, 2, 0, nullptr},
      {"read existing", true, 1, 2, 1, "old"},
      {"update missing", false, 3, 2, 0, nullptr},
      {"update existing", true, 3, 2, 1, "old"},
      {"always missing", false, 3, 4, 1, ""},
      {"always existing", true, 3, 4, 1, "old"},
      {"new missing", false, 3, 1, 1, ""},
      {"new existing", true, 3, 1, 1, ""},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.File(std::string(c.name) + ".txt");
    if (c.exists) dir.Write(std::string(c.name) + ".txt", "old");
    CSalFile file;
    file.SetPath(path.c_str());
    EXPECT_EQ(file.Open(c.access, c.creation, SAL_FILE_SHARE_READ), c.result);
    EXPECT_EQ(file.Close(), 1);
    if (c.after == nullptr) {
      EXPECT_FALSE(fs::exists(path));
    } else {
      EXPECT_EQ(Text(path), c.after);
    }
  }
}

TEST(CSalFile, ByteOrderMarkIsClassifiedButNotSkipped) {
  TempDir dir;
  struct Case {
    std::vector<uint8_t> bytes;
    uint8_t encoding;
  } cases[] = {
      {{0xEF, 0xBB, 0xBF, 'a'}, SAL_ENCODING_UTF8},
      {{0xEF, 0xBB, 0xBF}, SAL_ENCODING_UTF8},
      {{0xFF, 0xFE, 'a', 0}, SAL_ENCODING_UTF16LE},
      {{0xFE, 0xFF, 0, 'a'}, SAL_ENCODING_UTF16BE},
      {{0xEF, 0xBB, 0xBE}, SAL_ENCODING_NONE},
      {{'a', 'b', 'c'}, SAL_ENCODING_NONE},
      {{0xFF, 0xFE}, SAL_ENCODING_UNKNOWN},  // too short to be checked
      {{}, SAL_ENCODING_UNKNOWN},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.bytes.size());
    const std::string path = dir.Write("bom.bin", c.bytes);
    CSalFile file;
    file.SetPath(path.c_str());
    ASSERT_EQ(file.Open(1, 2, 1), 1);
    EXPECT_EQ(file.GetEncoding(), c.encoding);
    EXPECT_EQ(file.Tell(), 0);
    std::vector<uint8_t> back(c.bytes.size() + 1, 0);
    uint32_t got = 99;
    file.Read(back.data(), static_cast<uint32_t>(back.size()), &got);
    EXPECT_EQ(got, c.bytes.size());
    back.resize(got);
    EXPECT_EQ(back, c.bytes);
  }
}

TEST(CSalFile, ShortFileKeepsTheEncodingOfTheLastOpen) {
  TempDir dir;
  const std::string marked = dir.Write("marked.txt", std::vector<uint8_t>{0xEF, 0xBB, 0xBF, 'x'});
  const std::string tiny = dir.Write("tiny.txt", "ab");
  CSalFile file;
  file.SetPath(marked.c_str());
  ASSERT_EQ(file.Open(1, 2, 1), 1);
  file.Close();
  file.SetPath(tiny.c_str());
  ASSERT_EQ(file.Open(1, 2, 1), 1);
  EXPECT_EQ(file.GetEncoding(), SAL_ENCODING_UTF8);
}

TEST(CSalFile, ReadReportsWhatArrived) {
  TempDir dir;
  const std::string path = dir.Write("five.bin", "12345");
  CSalFile file;
  file.SetPath(path.c_str());
  ASSERT_EQ(file.Open(1, 2, 1), 1);
  char buffer[8] = {};
  uint32_t got = 0;
  EXPECT_EQ(file.Read(buffer, 2, &got), 1);
  EXPECT_EQ(got, 2u);
  EXPECT_EQ(file.Read(buffer, 4, &got), 0) << "4 asked, 3 left";
  EXPECT_EQ(got, 3u);
  EXPECT_EQ(std::string(buffer, 3), "345");
  EXPECT_EQ(file.Tell(), 5);
  EXPECT_EQ(file.IsEof(), 1);
  EXPECT_EQ(file.Read(buffer, 0, &got), 1) << "a count of 0 succeeds";
  SalSetLastError(kSentinel);
  EXPECT_EQ(file.Read(nullptr, 1, &got), 0);
  EXPECT_EQ(SalGetLastError(), kSalErrArgument);
}

TEST(CSalFile, OperationsWithoutStreamFailWithNoObject) {
  TempDir dir;
  CSalFile file;
  file.SetPath(dir.Write("closed.txt", "content").c_str());  // a path, but no stream
  char byte = 0;
  uint32_t got = 7;
  struct Case {
    const char *name;
    int64_t (*call)(CSalFile &, char *, uint32_t *);
  } cases[] = {
      {"Read", [](CSalFile &f, char *b, uint32_t *g) -> int64_t { return f.Read(b, 1, g); }},
      {"Write", [](CSalFile &f, char *b, uint32_t *g) -> int64_t { return f.Write(b, 1, g); }},
      {"Seek", [](CSalFile &f, char *, uint32_t *) -> int64_t { return f.Seek(0, SAL_SEEK_SET); }},
      {"Tell", [](CSalFile &f, char *, uint32_t *) -> int64_t { return f.Tell(); }},
      {"Flush", [](CSalFile &f, char *, uint32_t *) -> int64_t { return f.Flush(); }},
      {"GetLength", [](CSalFile &f, char *, uint32_t *) -> int64_t { return f.GetLength(); }},
      {"IsEof", [](CSalFile &f, char *, uint32_t *) -> int64_t { return f.IsEof(); }},
      {"Truncate", [](CSalFile &f, char *, uint32_t *) -> int64_t { return f.Truncate(); }},
      {"Printf", [](CSalFile &f, char *, uint32_t *) -> int64_t { return f.Printf("%d", 1); }},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    SalSetLastError(kSentinel);
    got = 7;
    EXPECT_EQ(c.call(file, &byte, &got), 0);
    EXPECT_EQ(SalGetLastError(), kSalErrNoObject);
    if (c.name[0] == 'R' || c.name[0] == 'W') {
      EXPECT_EQ(got, 0u) << "count cleared";
    }
  }
  EXPECT_EQ(file.GetState(), 0);
  EXPECT_EQ(file.Close(), 1);
  EXPECT_EQ(file.Close(), 1);
  EXPECT_EQ(Text(file.Path()), "content");
}

TEST(CSalFile, SeekOrigins) {
  TempDir dir;
  const std::string path = dir.Write("digits.bin", "0123456789");
  CSalFile file;
  file.SetPath(path.c_str());
  ASSERT_EQ(file.Open(3, 2, 1), 1);
  struct Case {
    int64_t offset;
    uint8_t origin;
    int result;
    int64_t position;  // afterwards
  } cases[] = {
      {4, SAL_SEEK_SET, 1, 4},  {2, SAL_SEEK_CUR, 1, 6},   {-3, SAL_SEEK_CUR, 1, 3},
      {-2, SAL_SEEK_END, 1, 8}, {5, SAL_SEEK_END, 1, 15},  {-1, SAL_SEEK_SET, 0, 15},
      {0, 3, 0, 15},            {0, 0, 0, 15},             {1, 8, 0, 15},
      {(int64_t{5} << 30), SAL_SEEK_SET, 1, int64_t{5} << 30},  // far beyond 32 bits
      {-(int64_t{5} << 30) + 2, SAL_SEEK_CUR, 1, 2},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << c.offset << " from " << int(c.origin));
    SalSetLastError(kSentinel);
    EXPECT_EQ(file.Seek(c.offset, c.origin), c.result);
    EXPECT_EQ(SalGetLastError(), kSentinel) << "seek failures set no code";
    EXPECT_EQ(file.Tell(), c.position);
  }
  char byte = 0;
  ASSERT_EQ(file.Read(&byte, 1), 1);
  EXPECT_EQ(byte, '2');
}

TEST(CSalFile, WritingBeyondTheEndFillsTheGapWithZeros) {
  TempDir dir;
  const std::string path = dir.Write("gap.bin", "ab");
  CSalFile file;
  file.SetPath(path.c_str());
  ASSERT_EQ(file.Open(3, 2, 1), 1);
  ASSERT_EQ(file.Seek(3, SAL_SEEK_END), 1);
  ASSERT_EQ(file.Write("z", 1), 1);
  EXPECT_EQ(file.GetLength(), 6);
  file.Close();
  EXPECT_EQ(Text(path), std::string("ab\0\0\0z", 6));
}

TEST(CSalFile, ReadsAndWritesMixWithoutExplicitSeeks) {
  TempDir dir;
  const std::string path = dir.Write("mix.bin", "abcdefgh");
  CSalFile file;
  file.SetPath(path.c_str());
  ASSERT_EQ(file.Open(3, 2, 1), 1);
  char buffer[4] = {};
  ASSERT_EQ(file.Read(buffer, 2), 1);  // "ab"
  ASSERT_EQ(file.Write("XY", 2), 1);   // over "cd"
  ASSERT_EQ(file.Read(buffer, 2), 1);
  EXPECT_EQ(std::string(buffer, 2), "ef");
  ASSERT_EQ(file.Printf("%c", 'Z'), 1);  // over "g"
  EXPECT_EQ(file.Tell(), 7);
  file.Close();
  EXPECT_EQ(Text(path), "abXYefZh");
}

TEST(CSalFile, LengthCountsBufferedOutputAndKeepsThePosition) {
  TempDir dir;
  const std::string path = dir.File("grow.bin");
  CSalFile file;
  file.SetPath(path.c_str());
  ASSERT_EQ(file.Open(3, 4, 1), 1);
  ASSERT_EQ(file.Write("0123456789", 10), 1);
  ASSERT_EQ(file.Seek(4, SAL_SEEK_SET), 1);
  EXPECT_EQ(file.GetLength(), 10);
  EXPECT_EQ(file.Tell(), 4);
  EXPECT_EQ(file.GetState(), 1);
  file.Close();

  std::string big(100000, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>('a' + i % 26);
  dir.Write("grow.bin", big);
  ASSERT_EQ(file.Open(1, 2, 1), 1);
  char buffer[3];
  ASSERT_EQ(file.Read(buffer, 3), 1);
  EXPECT_EQ(file.GetLength(), 100000);
  EXPECT_EQ(file.Tell(), 3);
  ASSERT_EQ(file.Flush(), 1);
  ASSERT_EQ(file.Read(buffer, 1), 1) << "a flush of a read stream keeps the read-ahead";
  EXPECT_EQ(buffer[0], 'd');
}

TEST(CSalFile, StateReportsTheEnd) {
  TempDir dir;
  const std::string path = dir.Write("state.bin", "xy");
  CSalFile file;
  file.SetPath(path.c_str());
  ASSERT_EQ(file.Open(3, 2, 1), 1);
  EXPECT_EQ(file.GetState(), 1);
  EXPECT_EQ(file.IsEof(), 0);
  ASSERT_EQ(file.Seek(0, SAL_SEEK_END), 1);
  EXPECT_EQ(file.GetState(), 3) << "position equals length";
  ASSERT_EQ(file.Write("z", 1), 1);
  EXPECT_EQ(file.GetState(), 3) << "after appending";
  ASSERT_EQ(file.Seek(-1, SAL_SEEK_END), 1);
  EXPECT_EQ(file.GetState(), 1);
}

TEST(CSalFile, TruncateEndsTheFileAtThePosition) {
  TempDir dir;
  const std::string path = dir.Write("cut.bin", "keep|drop");
  CSalFile file;
  file.SetPath(path.c_str());
  ASSERT_EQ(file.Open(3, 2, 1), 1);
  char buffer[5];
  ASSERT_EQ(file.Read(buffer, 5), 1);
  ASSERT_EQ(file.Truncate(), 1);
  EXPECT_EQ(file.GetLength(), 5);
  uint32_t got = 9;
  EXPECT_EQ(file.Read(buffer, 1, &got), 0) << "nothing of the cut part comes back";
  EXPECT_EQ(got, 0u);
  ASSERT_EQ(file.Printf("%s-%d", "new", 7), 1);
  file.Close();
  EXPECT_EQ(Text(path), "keep|new-7");
}

TEST(CSalFile, SetPathCutsLongPathsOnCharacterBoundaries) {
  std::string longPath(300, 'p');
  CSalFile file;
  EXPECT_EQ(file.SetPath(longPath.c_str()), 1);
  char buffer[400];
  EXPECT_EQ(file.GetPath(buffer, sizeof buffer), 1);
  EXPECT_EQ(std::string(buffer), longPath.substr(0, 255));

  SalOverrideAnsiCodePage(932);
  std::string dbcs(254, 'p');
  dbcs += "\x82\xA0tail";  // a double-byte character across bytes 255 and 256
  file.SetPath(dbcs.c_str());
  SalOverrideAnsiCodePage(0);
  EXPECT_EQ(std::string(file.Path()), std::string(254, 'p'));
  EXPECT_EQ(file.GetPath(buffer, 4), 1);
  EXPECT_STREQ(buffer, "ppp");
  file.SetPath(nullptr);
  EXPECT_STREQ(file.Path(), "");
}

TEST(CSalFile, SharingDecidesWhetherASecondOpenSucceeds) {
  TempDir dir;
  const std::string path = dir.Write("shared.bin", "data");
  struct Opener {
    uint32_t access, share;
  };
  struct Case {
    const char *name;
    Opener first, second;
    int result;
  } cases[] = {
      {"two readers denying writes", {1, 1}, {1, 1}, 1},
      {"writer against a deny-write reader", {1, 1}, {3, 3}, 0},
      {"deny-write reader against a writer", {3, 1}, {1, 1}, 0},
      {"reader sharing all beside a writer", {3, 1}, {1, 3}, 1},
      {"writers sharing all", {3, 3}, {3, 3}, 1},
      {"reader against an exclusive reader", {1, 4}, {1, 3}, 0},
      {"exclusive reader against a reader", {1, 3}, {1, 4}, 0},
      {"writer against an exclusive writer", {3, 4}, {3, 3}, 0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    CSalFile first;
    CSalFile second;
    first.SetPath(path.c_str());
    second.SetPath(path.c_str());
    ASSERT_EQ(first.Open(c.first.access, 2, c.first.share), 1);
    EXPECT_EQ(second.Open(c.second.access, 2, c.second.share), c.result);
    second.Close();
    first.Close();
    EXPECT_EQ(second.Open(c.second.access, 2, c.second.share), 1) << "free again after close";
  }
}

TEST(CSalFile, DeniedCreateLeavesTheContentIntact) {
  TempDir dir;
  const std::string path = dir.Write("precious.txt", "precious content");
  CSalFile holder;
  holder.SetPath(path.c_str());
  ASSERT_EQ(holder.Open(1, 2, SAL_FILE_SHARE_READ), 1);
  for (uint32_t creation : {SAL_FILE_CREATE_NEW, SAL_FILE_OPEN_ALWAYS, SAL_FILE_OPEN_EXISTING}) {
    SCOPED_TRACE(creation);
    CSalFile writer;
    writer.SetPath(path.c_str());
    EXPECT_EQ(writer.Open(3, creation, SAL_FILE_SHARE_READ_WRITE), 0);
  }
  holder.Close();
  EXPECT_EQ(Text(path), "precious content");
}

TEST(CSalFile, ReopeningReleasesThePreviousStream) {
  TempDir dir;
  const std::string path = dir.Write("again.txt", "abc");
  CSalFile file;
  file.SetPath(path.c_str());
  ASSERT_EQ(file.Open(3, 2, SAL_FILE_SHARE_NONE), 1);
  // A forgotten first stream would keep denying everybody, this object too.
  ASSERT_EQ(file.Open(3, 2, SAL_FILE_SHARE_NONE), 1);
  file.Close();
  CSalFile other;
  other.SetPath(path.c_str());
  EXPECT_EQ(other.Open(3, 2, SAL_FILE_SHARE_NONE), 1);
}

TEST(CSalFile, FoldersAreNotOpenedAsFiles) {
  TempDir dir;
  CSalFile file;
  file.SetPath(dir.Path().c_str());
  EXPECT_EQ(file.Open(1, 2, 3), 0);
  EXPECT_EQ(file.Exists(), 1);
  EXPECT_NE(file.GetAttributes() & SAL_ATTR_DIRECTORY, 0u);
}

TEST(CSalFile, AttributesRoundTrip) {
  TempDir dir;
  CSalFile file;
  file.SetPath(dir.Write("attr.txt", "x").c_str());
  EXPECT_EQ(file.Exists(), 1);
  EXPECT_EQ(file.GetAttributes() & (SAL_ATTR_READONLY | SAL_ATTR_DIRECTORY), 0u);
  ASSERT_EQ(file.SetAttributes(SAL_ATTR_READONLY), 1);
  EXPECT_NE(file.GetAttributes() & SAL_ATTR_READONLY, 0u);
  EXPECT_EQ(fs::status(file.Path()).permissions() & fs::perms::owner_write, fs::perms::none);
  ASSERT_EQ(file.SetAttributes(0), 1);
  EXPECT_EQ(file.GetAttributes() & SAL_ATTR_READONLY, 0u);
  EXPECT_NE(fs::status(file.Path()).permissions() & fs::perms::owner_write, fs::perms::none);

  // A dot name is hidden by itself on POSIX; Windows sets the attribute.
  CSalFile dotted;
  dotted.SetPath(dir.Write(".hidden", "x").c_str());
  ASSERT_EQ(dotted.SetAttributes(SAL_ATTR_HIDDEN), 1);
  EXPECT_NE(dotted.GetAttributes() & SAL_ATTR_HIDDEN, 0u);

  CSalFile missing;
  missing.SetPath(dir.File("missing").c_str());
  EXPECT_EQ(missing.Exists(), 0);
  EXPECT_EQ(missing.GetAttributes(), 0u);
  EXPECT_EQ(missing.SetAttributes(SAL_ATTR_READONLY), 0);
}

TEST(CSalFile, RenameTakesTheNewPathAndNeverReplaces) {
  TempDir dir;
  const std::string from = dir.Write("from.txt", "moving");
  const std::string taken = dir.Write("taken.txt", "staying");
  const std::string to = dir.File("to.txt");
  CSalFile file;
  struct Bad {
    const char *newPath;
    uint32_t code;
  } bad[] = {{nullptr, kSalErrArgument}, {"", kSalErrArgument}};
  file.SetPath(from.c_str());
  for (const Bad &b : bad) {
    SalSetLastError(kSentinel);
    EXPECT_EQ(file.Rename(b.newPath), 0);
    EXPECT_EQ(SalGetLastError(), b.code);
  }
  const std::string tooLong = dir.File(std::string(300, 'n'));
  EXPECT_EQ(file.Rename(tooLong.c_str()), 0);
  EXPECT_TRUE(fs::exists(from));

  EXPECT_EQ(file.Rename(taken.c_str()), 0);
  EXPECT_EQ(Text(taken), "staying");
  EXPECT_EQ(Text(from), "moving");
  ASSERT_EQ(file.Rename(to.c_str()), 1);
  EXPECT_EQ(std::string(file.Path()), to);
  EXPECT_EQ(Text(to), "moving");
  EXPECT_FALSE(fs::exists(from));

  CSalFile unnamed;
  SalSetLastError(kSentinel);
  EXPECT_EQ(unnamed.Rename(to.c_str()), 0);
  EXPECT_EQ(SalGetLastError(), kSalErrNoObject);
}

TEST(CSalFile, DeleteClosesAndRemoves) {
  TempDir dir;
  const std::string path = dir.Write("gone.txt", "x");
  CSalFile file;
  file.SetPath(path.c_str());
  ASSERT_EQ(file.Open(3, 2, 4), 1);
  EXPECT_EQ(file.Delete(), 1);
  EXPECT_FALSE(fs::exists(path));
  EXPECT_EQ(file.GetState(), 0);
  EXPECT_EQ(file.Delete(), 0) << "nothing left to delete";
}

TEST(CSalFile, FileTimesInSecondsSince1970) {
  TempDir dir;
  const int64_t before = static_cast<int64_t>(std::time(nullptr));
  const std::string path = dir.Write("timed.txt", "t");
  const int64_t after = static_cast<int64_t>(std::time(nullptr));
  CSalFile file;
  file.SetPath(path.c_str());
  for (uint32_t kind : {SAL_TIME_CREATION, SAL_TIME_ACCESS, SAL_TIME_WRITE}) {
    SCOPED_TRACE(kind);
    int64_t seconds = 0;
    EXPECT_EQ(file.GetFileTimeSeconds(kind, &seconds), 1);
    EXPECT_GE(seconds, before - 2);
    EXPECT_LE(seconds, after + 2);
  }
  ShiftWriteTime(path, std::chrono::hours(-48));
  int64_t seconds = 0;
  ASSERT_EQ(file.GetFileTimeSeconds(SAL_TIME_WRITE, &seconds), 1);
  EXPECT_NEAR(static_cast<double>(seconds), static_cast<double>(before - 48 * 3600), 5.0);

  SalSetLastError(kSentinel);
  EXPECT_EQ(file.GetFileTimeSeconds(4, &seconds), 0);
  EXPECT_EQ(SalGetLastError(), kSalErrArgument);
  CSalFile missing;
  missing.SetPath(dir.File("missing").c_str());
  EXPECT_EQ(missing.GetFileTimeSeconds(SAL_TIME_WRITE, &seconds), 0);
  CSalFile unnamed;
  SalSetLastError(kSentinel);
  EXPECT_EQ(unnamed.GetFileTimeSeconds(SAL_TIME_WRITE, &seconds), 0);
  EXPECT_EQ(SalGetLastError(), kSalErrNoObject);
}

TEST(CSalFile, CompareFileTimesOrdersByTheChosenTime) {
  TempDir dir;
  const std::string older = dir.Write("older.txt", "a");
  const std::string newer = dir.Write("newer.txt", "b");
  ShiftWriteTime(older, std::chrono::hours(-2));
  const std::string missing = dir.File("missing");
  struct Case {
    uint32_t kind;
    const std::string *a, *b;
    int result;
  } cases[] = {
      {SAL_TIME_WRITE, &older, &newer, -1}, {SAL_TIME_WRITE, &newer, &older, 1},
      {SAL_TIME_WRITE, &newer, &newer, 0},  {SAL_TIME_WRITE, &missing, &newer, -1},
      {SAL_TIME_WRITE, &newer, &missing, -1}, {9, &newer, &older, -1},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << *c.a << " vs " << *c.b);
    EXPECT_EQ(CSalFile::CompareFileTimes(c.kind, c.a->c_str(), c.b->c_str()), c.result);
  }
  EXPECT_EQ(CSalFile::CompareFileTimes(SAL_TIME_WRITE, nullptr, newer.c_str()), -1);
}

TEST(CSalFile, CopyFileHonoursFailIfExists) {
  TempDir dir;
  const std::string source = dir.Write("source.txt", "copy me");
  const std::string target = dir.File("target.txt");
  ASSERT_EQ(CSalFile::CopyFile(source.c_str(), target.c_str(), true), 1);
  EXPECT_EQ(Text(target), "copy me");
  dir.Write("target.txt", "already here");
  EXPECT_EQ(CSalFile::CopyFile(source.c_str(), target.c_str(), true), 0);
  EXPECT_EQ(Text(target), "already here");
  EXPECT_EQ(CSalFile::CopyFile(source.c_str(), target.c_str(), false), 1);
  EXPECT_EQ(Text(target), "copy me");

  EXPECT_EQ(CSalFile::CopyFile(source.c_str(), source.c_str(), false), 0) << "onto itself";
  EXPECT_EQ(Text(source), "copy me");
  EXPECT_EQ(CSalFile::CopyFile(dir.File("missing").c_str(), target.c_str(), false), 0);
  SalSetLastError(kSentinel);
  EXPECT_EQ(CSalFile::CopyFile(nullptr, target.c_str(), false), 0);
  EXPECT_EQ(SalGetLastError(), kSalErrArgument);
}

TEST(CSalFile, CopyFileKeepsLargeContentExact) {
  TempDir dir;
  std::vector<uint8_t> bytes(300000);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 251);
  const std::string source = dir.Write("big.bin", bytes);
  const std::string target = dir.File("big-copy.bin");
  ASSERT_EQ(CSalFile::CopyFile(source.c_str(), target.c_str(), false), 1);
  EXPECT_EQ(TempDir::Read(target), bytes);
}

TEST(CSalFile, VersionInfoOnlyForFilesThatCarryIt) {
  TempDir dir;
  CSalFile plain;
  plain.SetPath(dir.Write("plain.txt", "no resources here").c_str());
  EXPECT_EQ(plain.LoadVersionInfo(), nullptr);
  CSalFile unnamed;
  EXPECT_EQ(unnamed.LoadVersionInfo(), nullptr);

  // A system module of Windows carries version information.
  const char *windir = std::getenv("windir");
  if (windir == nullptr) GTEST_SKIP() << "no system folder with versioned modules here";
  CSalFile module;
  module.SetPath((std::string(windir) + "\\system32\\kernel32.dll").c_str());
  const void *root = module.LoadVersionInfo();
  ASSERT_NE(root, nullptr);
  uint32_t signature = 0;
  std::memcpy(&signature, root, sizeof signature);
  EXPECT_EQ(signature, 0xFEEF04BDu);  // the fixed file information's mark
  EXPECT_NE(module.LoadVersionInfo(), nullptr) << "a second load replaces the first";
}

TEST(CSalFile, FailedCloseForgetsTheStream) {
  // /dev/full accepts buffered output and refuses it when it is written out.
  CSalFile file;
  file.SetPath("/dev/full");
  if (file.Open(3, 2, 3) != 1) GTEST_SKIP() << "no /dev/full here";
  ASSERT_EQ(file.Write("lost", 4), 1);
  EXPECT_EQ(file.Close(), 0);
  EXPECT_EQ(file.GetState(), 0);
  EXPECT_EQ(file.Close(), 1);
}
