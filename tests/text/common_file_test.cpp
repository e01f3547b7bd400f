// common_file_test.cpp - CCommonFile: line reads, inserting writes, byte
// removal, search and attribute helpers.
#include "text/common_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/last_error.h"
#include "base/mem.h"
#include "base/sal_errors.h"
#include "support/temp_dir.h"

namespace {
constexpr uint32_t kSentinel = 0x12345678;

std::string Text(const std::string &path) {
  const std::vector<uint8_t> bytes = TempDir::Read(path);
  return std::string(bytes.begin(), bytes.end());
}

// Deterministic filler that never contains the search words of the tests.
std::string Filler(size_t length) {
  std::string s(length, '\0');
  for (size_t i = 0; i < length; ++i) s[i] = static_cast<char>('0' + (i * 7) % 10);
  return s;
}

struct Line {
  int result;
  std::string text;
  uint32_t consumed;
  bool operator==(const Line &o) const {
    return result == o.result && text == o.text && consumed == o.consumed;
  }
};

std::ostream &operator<<(std::ostream &os, const Line &l) {
  return os << "{" << l.result << ", \"" << l.text << "\", " << l.consumed << "}";
}

// Calls the line reader until it reports the end (or 12 times).
std::vector<Line> ReadAllLines(CCommonFile &file, uint32_t capacity, bool ex) {
  std::vector<Line> lines;
  for (int i = 0; i < 12; ++i) {
    std::vector<char> buffer(capacity, '#');
    uint32_t consumed = 99;
    const int result = ex ? file.ReadLineEx(buffer.data(), capacity, &consumed)
                          : file.ReadLine(buffer.data(), capacity);
    lines.push_back({result, buffer.data(), ex ? consumed : 0});
    if (result == 0 && file.IsEof()) break;
  }
  return lines;
}
}  // namespace

TEST(CCommonFile, ReaderOpensReadsSkipsAndCloses) {
  TempDir dir;
  const std::string path = dir.Write("input.bex", "HEADskip-meBODY");
  CCommonFile file;
  ASSERT_EQ(file.OpenPath(path.c_str(), 1, 2, 1), 1);
  EXPECT_EQ(file.LastAccess(), 1u);
  EXPECT_EQ(file.GetLength(), 15);
  char buffer[5] = {};
  uint32_t got = 0;
  ASSERT_EQ(file.Read(buffer, 4, &got), 1);
  EXPECT_EQ(std::string(buffer, got), "HEAD");
  ASSERT_EQ(file.Seek(7, SAL_SEEK_CUR), 1);
  ASSERT_EQ(file.Read(buffer, 4, &got), 1);
  EXPECT_EQ(std::string(buffer, got), "BODY");
  EXPECT_EQ(file.Read(buffer, 1, &got), 0);
  EXPECT_EQ(got, 0u);
  EXPECT_EQ(file.Close(), 1);

  CCommonFile missing(dir.File("missing.bex").c_str());
  EXPECT_EQ(missing.Open(3, 2, 1), 0);
  EXPECT_EQ(missing.LastAccess(), 3u) << "kept whatever the result";
}

TEST(CCommonFile, ReadLineTreatsAnyCrLfPairAsOneLineEnd) {
  TempDir dir;
  struct Case {
    const char *name;
    std::string content;
    uint32_t capacity;
    std::vector<Line> lines;
  } cases[] = {
      {"LF", "a\nbc\n", 16, {{1, "a", 0}, {1, "bc", 0}, {0, "", 0}}},
      {"CRLF", "a\r\nbc", 16, {{1, "a", 0}, {1, "bc", 0}, {0, "", 0}}},
      {"CR", "a\rbc\r", 16, {{1, "a", 0}, {1, "bc", 0}, {0, "", 0}}},
      {"LFCR", "a\n\rb", 16, {{1, "a", 0}, {1, "b", 0}, {0, "", 0}}},
      {"two LF", "a\n\nb", 16, {{1, "a", 0}, {1, "b", 0}, {0, "", 0}}},
      {"three LF", "a\n\n\nb", 16, {{1, "a", 0}, {1, "", 0}, {1, "b", 0}, {0, "", 0}}},
      {"empty", "", 16, {{0, "", 0}}},
      {"only LF", "\n", 16, {{1, "", 0}, {0, "", 0}}},
      {"full", "abcde\n", 4, {{0, "abc", 0}, {1, "de", 0}, {0, "", 0}}},
      {"full twice", "abcdef\n", 4, {{0, "abc", 0}, {0, "def", 0}, {1, "", 0}, {0, "", 0}}},
      {"full at the end", "abc\nd", 4, {{0, "abc", 0}, {1, "", 0}, {1, "d", 0}, {0, "", 0}}},
      {"smallest", "ab\n", 2, {{0, "a", 0}, {0, "b", 0}, {1, "", 0}, {0, "", 0}}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    CCommonFile file;
    ASSERT_EQ(file.OpenPath(dir.Write("lines.txt", c.content).c_str(), 1, 2, 1), 1);
    EXPECT_EQ(ReadAllLines(file, c.capacity, false), c.lines);
  }
}

TEST(CCommonFile, ReadLineExKeepsEmptyLinesAndCountsBytes) {
  TempDir dir;
  struct Case {
    const char *name;
    std::string content;
    uint32_t capacity;
    std::vector<Line> lines;
  } cases[] = {
      {"two LF", "a\n\nb", 16, {{1, "a", 2}, {1, "", 1}, {1, "b", 1}, {0, "", 0}}},
      {"CRLF and last CR", "a\r\nbc\r", 16, {{1, "a", 3}, {1, "bc", 3}, {0, "", 0}}},
      {"CR then text", "a\rb", 16, {{1, "a", 2}, {1, "b", 1}, {0, "", 0}}},
      {"two CR", "a\r\rb", 16, {{1, "a", 2}, {1, "", 1}, {1, "b", 1}, {0, "", 0}}},
      {"LF CR", "a\n\rb", 16, {{1, "a", 2}, {1, "", 1}, {1, "b", 1}, {0, "", 0}}},
      {"last LF", "xyz\n", 16, {{1, "xyz", 4}, {0, "", 0}}},
      {"full", "abc\r\n", 3, {{0, "ab", 2}, {1, "c", 3}, {0, "", 0}}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    CCommonFile file;
    ASSERT_EQ(file.OpenPath(dir.Write("lines.txt", c.content).c_str(), 1, 2, 1), 1);
    EXPECT_EQ(ReadAllLines(file, c.capacity, true), c.lines);
  }
}

TEST(CCommonFile, LineReadsRejectBadArguments) {
  TempDir dir;
  CCommonFile file;
  char buffer[8];
  uint32_t consumed = 5;
  struct Case {
    char *buffer;
    uint32_t capacity;
    uint32_t code;
  } cases[] = {{nullptr, 8, kSalErrArgument}, {buffer, 1, kSalErrArgument}, {buffer, 0, kSalErrArgument},
               {buffer, 8, kSalErrNoObject}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.capacity);
    SalSetLastError(kSentinel);
    EXPECT_EQ(file.ReadLine(c.buffer, c.capacity), 0);
    EXPECT_EQ(SalGetLastError(), c.code);
    EXPECT_EQ(file.ReadLineEx(c.buffer, c.capacity, &consumed), 0);
    EXPECT_EQ(consumed, 0u);
  }
}

TEST(CCommonFile, ManyLinesAcrossStreamBuffersStayExact) {
  // Enough lines to cross several stream buffers, so that stepping back over
  // the byte behind a line end also happens at buffer boundaries.
  TempDir dir;
  std::string content;
  std::vector<std::string> expected;
  for (int i = 0; i < 30000; ++i) {
    std::string line = "line " + std::to_string(i * 37);
    expected.push_back(line);
    content += line + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r");
  }
  CCommonFile file;
  ASSERT_EQ(file.OpenPath(dir.Write("many.txt", content).c_str(), 1, 2, 1), 1);
  std::vector<std::string> got;
  uint64_t total = 0;
  char buffer[64];
  uint32_t consumed = 0;
  while (file.ReadLineEx(buffer, sizeof buffer, &consumed) == 1) {
    got.push_back(buffer);
    total += consumed;
  }
  EXPECT_EQ(got, expected);
  EXPECT_EQ(total, content.size());
}

TEST(CCommonFile, ReadByteAfterALineContinuesBehindIt) {
  TempDir dir;
  CCommonFile file;
  ASSERT_EQ(file.OpenPath(dir.Write("l.txt", "ab\nXc").c_str(), 1, 2, 1), 1);
  char buffer[8];
  ASSERT_EQ(file.ReadLine(buffer, sizeof buffer), 1);
  uint8_t byte = 0;
  ASSERT_EQ(file.ReadByte(&byte), 1);
  EXPECT_EQ(byte, 'X');
  EXPECT_EQ(file.Tell(), 4);
  SalSetLastError(kSentinel);
  EXPECT_EQ(file.ReadByte(nullptr), 0);
  EXPECT_EQ(SalGetLastError(), kSalErrArgument);
}

TEST(CCommonFile, InsertingWriteMovesTheTailUp) {
  TempDir dir;
  const std::string big = Filler(150000);
  struct Case {
    const char *name;
    std::string content;
    int64_t position;
    std::string insert;
  } cases[] = {
      {"middle", "HelloWorld", 5, ", "},
      {"start", "tail", 0, "head-"},
      {"end", "head", 4, "-tail"},
      {"empty file", "", 0, "new"},
      {"nothing inserted", "same", 2, ""},
      {"large tail", big, 1000, "<inserted>"},
      {"large insert", "ab", 1, big},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.Write("insert.bin", c.content);
    CCommonFile file;
    ASSERT_EQ(file.OpenPath(path.c_str(), 3, 2, 1), 1);
    ASSERT_EQ(file.Seek(c.position, SAL_SEEK_SET), 1);
    uint32_t written = 99;
    EXPECT_EQ(file.WriteAt(c.insert.data(), static_cast<uint32_t>(c.insert.size()),
                           COMMON_WRITE_INSERT, &written),
              1);
    EXPECT_EQ(written, c.insert.size());
    EXPECT_EQ(file.Tell(), c.position + static_cast<int64_t>(c.insert.size()));
    const size_t at = static_cast<size_t>(c.position);
    if (at < c.content.size()) {
      uint8_t next = 0;
      ASSERT_EQ(file.ReadByte(&next), 1);
      EXPECT_EQ(next, static_cast<uint8_t>(c.content[at])) << "the old byte follows the insertion";
    }
    file.Close();
    std::string expected = c.content;
    expected.insert(at, c.insert);
    EXPECT_EQ(Text(path), expected);
  }
}

TEST(CCommonFile, InsertBeyondTheEndLeavesAZeroGap) {
  TempDir dir;
  const std::string path = dir.Write("gap.bin", "ab");
  CCommonFile file;
  ASSERT_EQ(file.OpenPath(path.c_str(), 3, 2, 1), 1);
  ASSERT_EQ(file.Seek(4, SAL_SEEK_SET), 1);
  ASSERT_EQ(file.WriteAt("xy", 2, COMMON_WRITE_INSERT), 1);
  file.Close();
  EXPECT_EQ(Text(path), std::string("ab\0\0xy", 6));
}

TEST(CCommonFile, FailedInsertLeavesTheFileUnchanged) {
  TempDir dir;
  const std::string content = "0123456789";
  const int64_t live = SalMemLiveBlocks();
  {
    const std::string path = dir.Write("nomem.bin", content);
    CCommonFile file;
    ASSERT_EQ(file.OpenPath(path.c_str(), 3, 2, 1), 1);
    ASSERT_EQ(file.Seek(3, SAL_SEEK_SET), 1);
    SalMemFailAfter(1);
    SalSetLastError(kSentinel);
    EXPECT_EQ(file.WriteAt("new", 3, COMMON_WRITE_INSERT), 0);
    EXPECT_STREQ(SalMemLastFailedTag(), "WriteAt");
    SalMemFailAfter(0);
    EXPECT_EQ(SalGetLastError(), kCommonErrNoStorage);
    EXPECT_EQ(file.Tell(), 3);
    file.Close();
    EXPECT_EQ(Text(path), content);
  }
  {
    // A read-only stream cannot be cut: nothing changes.
    const std::string path = dir.Write("readonly.bin", content);
    CCommonFile file;
    ASSERT_EQ(file.OpenPath(path.c_str(), 1, 2, 1), 1);
    ASSERT_EQ(file.Seek(3, SAL_SEEK_SET), 1);
    EXPECT_EQ(file.WriteAt("new", 3, COMMON_WRITE_INSERT), 0);
    file.Close();
    EXPECT_EQ(Text(path), content);
  }
  EXPECT_EQ(SalMemLiveBlocks(), live);
}

TEST(CCommonFile, AppendAndPlainPlacements) {
  TempDir dir;
  const std::string path = dir.Write("place.txt", "abcdef");
  CCommonFile file;
  ASSERT_EQ(file.OpenPath(path.c_str(), 3, 2, 1), 1);
  ASSERT_EQ(file.Seek(1, SAL_SEEK_SET), 1);
  ASSERT_EQ(file.WriteAt("XY", 2, COMMON_WRITE_APPEND), 1);
  EXPECT_EQ(file.Tell(), 8);
  ASSERT_EQ(file.Seek(2, SAL_SEEK_SET), 1);
  ASSERT_EQ(file.WriteAt("--", 2, 0), 1) << "any other placement overwrites here";
  file.Close();
  EXPECT_EQ(Text(path), "ab--efXY");
}

TEST(CCommonFile, DeleteBytesMovesTheRestDown) {
  TempDir dir;
  const std::string big = Filler(200000);
  struct Case {
    const char *name;
    std::string content;
    int64_t position;
    uint32_t count;
    int result;
  } cases[] = {
      {"middle", "Hello, World", 5, 2, 1},
      {"start", "xxkeep", 0, 2, 1},
      {"to the end", "keepdrop", 4, 4, 1},
      {"nothing", "same", 1, 0, 1},
      {"beyond the end", "short", 3, 3, 0},
      {"from beyond the end", "short", 9, 0, 0},
      {"large", big, 3, 70000, 1},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.Write("delete.bin", c.content);
    CCommonFile file;
    ASSERT_EQ(file.OpenPath(path.c_str(), 3, 2, 1), 1);
    ASSERT_EQ(file.Seek(c.position, SAL_SEEK_SET), 1);
    uint32_t removed = 99;
    EXPECT_EQ(file.DeleteBytes(c.count, &removed), c.result);
    std::string expected = c.content;
    if (c.result == 1) {
      EXPECT_EQ(removed, c.count);
      EXPECT_EQ(file.Tell(), c.position);
      expected.erase(static_cast<size_t>(c.position), c.count);
    } else {
      EXPECT_EQ(removed, 0u);
    }
    file.Close();
    EXPECT_EQ(Text(path), expected);
  }
}

TEST(CCommonFile, DeleteBytesWithoutStorageChangesNothing) {
  TempDir dir;
  const std::string path = dir.Write("nomem.bin", "0123456789");
  CCommonFile file;
  ASSERT_EQ(file.OpenPath(path.c_str(), 3, 2, 1), 1);
  ASSERT_EQ(file.Seek(2, SAL_SEEK_SET), 1);
  SalMemFailAfter(1);
  EXPECT_EQ(file.DeleteBytes(3), 0);
  SalMemFailAfter(0);
  EXPECT_EQ(SalGetLastError(), kCommonErrNoStorage);
  file.Close();
  EXPECT_EQ(Text(path), "0123456789");
}

TEST(CCommonFile, ClearEmptiesTheFile) {
  TempDir dir;
  const std::string path = dir.Write("clear.txt", "something");
  CCommonFile file;
  ASSERT_EQ(file.OpenPath(path.c_str(), 3, 2, 1), 1);
  ASSERT_EQ(file.Seek(4, SAL_SEEK_SET), 1);
  ASSERT_EQ(file.Clear(), 1);
  EXPECT_EQ(file.GetLength(), 0);
  EXPECT_EQ(file.Tell(), 0);
  file.Close();
  EXPECT_EQ(Text(path), "");
  EXPECT_EQ(file.Clear(), 0);
}

TEST(CCommonFile, FindLeavesThePositionAtTheMatch) {
  TempDir dir;
  const std::string pre = Filler(8190);  // a match at 8190 spans the first chunk boundary
  const std::string longPattern = "<" + std::string(10000, 'q') + ">";  // longer than a chunk
  struct Case {
    const char *name;
    std::string content;
    const char *pattern;
    int64_t from;  // -1: from the start
    bool ignoreCase, skipWhiteSpace;
    int64_t at;  // -1: not found
  } cases[] = {
      {"plain", "find the needle here", "needle", -1, false, false, 9},
      {"first of two", "needle needle", "needle", -1, false, false, 0},
      {"from current", "needle needle", "needle", 1, false, false, 7},
      {"overlapping prefix", "aaab", "aab", -1, false, false, 1},
      {"repeated prefix", "abababca", "ababc", -1, false, false, 2},
      {"missing", "no such word", "needle", -1, false, false, -1},
      {"case differs", "a NeEdLe", "needle", -1, false, false, -1},
      {"ignore case", "a NeEdLe", "nEEDLE", -1, true, false, 2},
      {"white space in the file", "x ne ed\r\nle", "needle", -1, false, true, 2},
      {"white space in the pattern", "x needle", "nee dle", -1, false, true, 2},
      {"white space kept", "x ne edle", "needle", -1, false, false, -1},
      {"both", "x N e\tEDle", "needLE", -1, true, true, 2},
      {"across a chunk boundary", pre + "needle" + pre, "needle", -1, false, false, 8190},
      {"ignore case across a boundary", pre + "NEEDLE", "needle", -1, true, false, 8190},
      {"white space across a boundary", pre + "ne\n\n\n\n\n\nedle", "needle", -1, false, true, 8190},
      {"after the boundary", pre + "needle", "needle", 8191, false, false, -1},
      {"longer than a chunk", pre + longPattern + "x", longPattern.c_str(), -1, false, false, 8190},
      {"empty pattern", "abc", "", 2, false, false, 2},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    CCommonFile file;
    ASSERT_EQ(file.OpenPath(dir.Write("find.txt", c.content).c_str(), 1, 2, 1), 1);
    const int64_t start = c.from < 0 ? 5 : c.from;  // where the position is before the search
    ASSERT_EQ(file.Seek(start, SAL_SEEK_SET), 1);
    const int result = file.Find(c.pattern, c.from >= 0, c.ignoreCase, c.skipWhiteSpace);
    EXPECT_EQ(result, c.at >= 0 ? 1 : 0);
    EXPECT_EQ(file.Tell(), c.at >= 0 ? c.at : start) << "a failed search keeps the position";
  }
}

TEST(CCommonFile, FindFailuresAndShortcuts) {
  TempDir dir;
  CCommonFile file;
  SalSetLastError(kSentinel);
  EXPECT_EQ(file.Find(nullptr, false, false, false), 0);
  EXPECT_EQ(SalGetLastError(), kCommonErrNullSearchArg);
  SalSetLastError(kSentinel);
  EXPECT_EQ(file.FindText("x"), 0);
  EXPECT_EQ(SalGetLastError(), kSalErrNoObject);

  ASSERT_EQ(file.OpenPath(dir.Write("f.txt", "abc abc").c_str(), 1, 2, 1), 1);
  ASSERT_EQ(file.Seek(2, SAL_SEEK_SET), 1);
  EXPECT_EQ(file.FindText("abc"), 1);
  EXPECT_EQ(file.Tell(), 0);
  ASSERT_EQ(file.Seek(1, SAL_SEEK_SET), 1);
  EXPECT_EQ(file.FindTextFromCurrent("abc"), 1);
  EXPECT_EQ(file.Tell(), 4);
  EXPECT_EQ(file.FindTextFromCurrent("ABC"), 0);

  SalMemFailAfter(1);
  EXPECT_EQ(file.FindText("abc"), 0);
  SalMemFailAfter(0);
  EXPECT_EQ(SalGetLastError(), kCommonErrNoStorage);
  EXPECT_EQ(file.Tell(), 4);
}

TEST(CCommonFile, IsXmlFileLooksAnywhereInTheFile) {
  TempDir dir;
  struct Case {
    const char *name;
    std::string content;
    int result;
  } cases[] = {
      {"declaration", "<?xml version=\"1.0\"?><a/>", 1},
      {"late declaration", Filler(9000) + "<?xml", 1},
      {"other case", "<?XML version", 0},
      {"plain text", "<a>no declaration</a>", 0},
      {"empty", "", 0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    CCommonFile file(dir.Write("doc.xml", c.content).c_str());
    EXPECT_EQ(file.IsXmlFile(), c.result);
  }
  CCommonFile missing(dir.File("missing.xml").c_str());
  EXPECT_EQ(missing.IsXmlFile(), 0);

  const std::string path = dir.Write("open.xml", "<?xml?>");
  CCommonFile file;
  ASSERT_EQ(file.OpenPath(path.c_str(), 3, 2, SAL_FILE_SHARE_READ), 1);
  EXPECT_EQ(file.IsXmlFile(), 1) << "readers are still allowed";
  ASSERT_EQ(file.OpenPath(path.c_str(), 3, 2, SAL_FILE_SHARE_NONE), 1);
  EXPECT_EQ(file.IsXmlFile(), 0) << "the open denies reading";
}

TEST(CCommonFile, AttributeHelpers) {
  TempDir dir;
  CCommonFile file(dir.Write("attr.txt", "x").c_str());
  EXPECT_EQ(file.HasAttribute(0), 1);
  EXPECT_EQ(file.HasAttribute(SAL_ATTR_READONLY), 0);
  ASSERT_EQ(file.ChangeAttributes(SAL_ATTR_READONLY, 0), 1);
  EXPECT_EQ(file.HasAttribute(SAL_ATTR_READONLY), 1);
  ASSERT_EQ(file.ChangeAttributes(0, SAL_ATTR_READONLY), 1);
  EXPECT_EQ(file.HasAttribute(SAL_ATTR_READONLY), 0);

  struct Bad {
    uint32_t set, clear;
  } bad[] = {{32, 0}, {0, 32}, {SAL_ATTR_READONLY, SAL_ATTR_READONLY | SAL_ATTR_HIDDEN}};
  for (const Bad &b : bad) {
    SCOPED_TRACE(testing::Message() << b.set << "/" << b.clear);
    SalSetLastError(kSentinel);
    EXPECT_EQ(file.ChangeAttributes(b.set, b.clear), 0);
    EXPECT_EQ(SalGetLastError(), kSalErrArgument);
  }
  CCommonFile missing(dir.File("missing").c_str());
  EXPECT_EQ(missing.HasAttribute(0), 0);
  EXPECT_EQ(missing.ChangeAttributes(SAL_ATTR_READONLY, 0), 0);
}
