// common_file_test.cpp - CCommonFile: line reads, inserting writes, byte
// removal, search and attribute helpers.
#include "text/common_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "base/last_error.h"
#include "base/mem.h"
#include "base/sal_errors.h"
#include "support/expect_pairs.h"
#include "support/temp_dir.h"

namespace {
constexpr uint32_t kSentinel = 0x12345678;

// Deterministic filler that never contains the search words of the tests.
std::string Filler(size_t length) {
  std::string s(length, '\0');
  for (size_t i = 0; i < length; ++i) s[i] = static_cast<char>('0' + (i * 7) % 10);
  return s;
}

class CCommonFileTest : public testing::Test {
 protected:
  // Writes content to name and opens it (access 1 reads, 3 reads and writes).
  std::string Open(CCommonFile &file, const std::string &content, uint32_t access = 1, const char *name = "f.bin") {
    const std::string path = dir_.Write(name, content);
    EXPECT_EQ(file.OpenPath(path.c_str(), access, 2, 1), 1);
    return path;
  }
  TempDir dir_;
};
}  // namespace

// ReadLine takes any pair of CR and LF (and two LFs) as one line end;
// ReadLineEx only LF, CR or CRLF, so it keeps empty lines, and counts the
// bytes it consumed.  A line that fills the buffer comes in parts.  Each
// read shows as "result:text:consumed".
TEST_F(CCommonFileTest, LineReadsSplitAtLineEnds) {
  const struct {
    bool ex;
    std::string content;
    uint32_t capacity;
    const char *reads;
  } kCases[] = {
      {false, "a\nbc\n", 16, "1:a:0 1:bc:0 0::0"},    {false, "a\r\nbc", 16, "1:a:0 1:bc:0 0::0"},
      {false, "a\n\rb", 16, "1:a:0 1:b:0 0::0"},      {false, "a\n\n\nb", 16, "1:a:0 1::0 1:b:0 0::0"},
      {false, "", 16, "0::0"},                         {false, "abcde\n", 4, "0:abc:0 1:de:0 0::0"},
      {false, "abc\nd", 4, "0:abc:0 1::0 1:d:0 0::0"}, {true, "a\n\nb", 16, "1:a:2 1::1 1:b:1 0::0"},
      {true, "a\r\nbc\r", 16, "1:a:3 1:bc:3 0::0"},    {true, "a\rb", 16, "1:a:2 1:b:1 0::0"},
      {true, "a\r\rb", 16, "1:a:2 1::1 1:b:1 0::0"},   {true, "abc\r\n", 3, "0:ab:2 1:c:3 0::0"},
  };
  for (const auto &c : kCases) {
    CCommonFile file;
    Open(file, c.content);
    std::string reads;
    for (int i = 0, result = 1; i < 12 && (result == 1 || !file.IsEof()); ++i) {
      std::vector<char> buffer(c.capacity, '#');
      uint32_t consumed = 99;
      result = c.ex ? file.ReadLineEx(buffer.data(), c.capacity, &consumed) : file.ReadLine(buffer.data(), c.capacity);
      reads += (i > 0 ? " " : "") + std::to_string(result) + ":" + buffer.data() + ":" + std::to_string(c.ex ? consumed : 0);
    }
    EXPECT_EQ(reads, c.reads) << c.ex << testing::PrintToString(c.content);
  }
  // Refused: a null buffer, room for no character, no stream.
  char buffer[8];
  CCommonFile closed;
  for (auto [out, capacity, code] : {std::tuple<char *, uint32_t, uint32_t>{nullptr, 8, kSalErrArgument},
                                     {buffer, 1, kSalErrArgument}, {buffer, 8, kSalErrNoObject}}) {
    uint32_t consumed = 5;
    SalSetLastError(kSentinel);
    EXPECT_EQ(closed.ReadLineEx(out, capacity, &consumed), 0);
    EXPECT_TRUE(SalGetLastError() == code && consumed == 0u) << capacity;
  }
  // Enough lines to cross several stream buffers, so that stepping back over
  // the byte behind a line end also happens at buffer boundaries.
  std::string content;
  std::vector<std::string> expected, got;
  for (int i = 0; i < 30000; ++i) {
    expected.push_back("line " + std::to_string(i * 37));
    content += expected.back() + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r");
  }
  CCommonFile file;
  Open(file, content, 1, "many.txt");
  uint64_t total = 0;
  char line[64];
  for (uint32_t consumed = 0; file.ReadLineEx(line, sizeof line, &consumed) == 1; total += consumed) got.push_back(line);
  EXPECT_EQ(got, expected);
  EXPECT_EQ(total, content.size());
}

// Inserting at the position moves the tail up (past the end: a zero gap);
// deleting moves it down.  Both leave the position where the text changed.
TEST_F(CCommonFileTest, InsertsAndDeletesMoveTheTail) {
  const std::string big = Filler(200000);
  const struct {
    std::string content;
    int64_t at;
    bool insert;
    std::string text;  // inserted
    uint32_t count;    // deleted
    int result;
  } kCases[] = {
      {"HelloWorld", 5, true, ", ", 0, 1}, {"", 0, true, "new", 0, 1},         {"ab", 4, true, "xy", 0, 1},
      {big, 1000, true, "<ins>", 0, 1},    {"ab", 1, true, big, 0, 1},           {"Hello, World", 5, false, "", 2, 1},
      {"keepdrop", 4, false, "", 4, 1},    {"same", 1, false, "", 0, 1},         {"short", 3, false, "", 3, 0},
      {big, 3, false, "", 70000, 1},
  };
  for (const auto &c : kCases) {
    SCOPED_TRACE(testing::Message() << c.content.size() << (c.insert ? " insert at " : " delete at ") << c.at);
    CCommonFile file;
    const std::string path = Open(file, c.content, 3);
    ASSERT_EQ(file.Seek(c.at, SAL_SEEK_SET), 1);
    const auto size = static_cast<uint32_t>(c.text.size());
    uint32_t done = 99;
    EXPECT_EQ(c.insert ? file.WriteAt(c.text.data(), size, COMMON_WRITE_INSERT, &done) : file.DeleteBytes(c.count, &done),
              c.result);
    std::string expected = c.content;
    const auto at = static_cast<size_t>(c.at);
    EXPECT_EQ(done, c.result == 0 ? 0u : c.insert ? size : c.count);
    if (c.result == 1) {
      EXPECT_EQ(file.Tell(), c.at + (c.insert ? size : 0));
      if (c.insert) expected.resize(std::max(expected.size(), at), '\0');
      c.insert ? (void)expected.insert(at, c.text) : (void)expected.erase(at, c.count);
    }
    file.Close();
    EXPECT_EQ(TempDir::ReadText(path), expected);
  }
  // Storage refused for an insertion and a deletion; a read-only stream: the file stays as it was.
  const int64_t live = SalMemLiveBlocks();
  for (int kind = 0; kind < 3; ++kind) {
    CCommonFile file;
    const std::string path = Open(file, "0123456789", kind == 2 ? 1 : 3);
    ASSERT_EQ(file.Seek(3, SAL_SEEK_SET), 1);
    SalMemFailAfter(kind == 2 ? 0 : 1);
    EXPECT_EQ(kind == 1 ? file.DeleteBytes(3) : file.WriteAt("new", 3, COMMON_WRITE_INSERT), 0);
    SalMemFailAfter(0);
    EXPECT_TRUE(kind == 2 || SalGetLastError() == kCommonErrNoStorage) << kind;
    file.Close();
    EXPECT_EQ(TempDir::ReadText(path), "0123456789") << kind;
  }
  EXPECT_EQ(SalMemLiveBlocks(), live);
}

TEST_F(CCommonFileTest, OpenAppendOverwriteClearAndAttributes) {
  CCommonFile missing(dir_.File("missing.bex").c_str());
  EXPECT_EQ(missing.Open(3, 2, 1), 0);
  EXPECT_EQ(missing.LastAccess(), 3u) << "the access is remembered whatever the result";
  EXPECT_EQ(missing.HasAttribute(0) + missing.ChangeAttributes(SAL_ATTR_READONLY, 0), 0);
  CCommonFile file;
  const std::string path = Open(file, "abcdef", 3);
  EXPECT_EQ(file.LastAccess(), 3u);
  ASSERT_EQ(file.Seek(1, SAL_SEEK_SET), 1);
  ASSERT_EQ(file.WriteAt("XY", 2, COMMON_WRITE_APPEND), 1);
  ASSERT_EQ(file.Seek(2, SAL_SEEK_SET), 1);
  ASSERT_EQ(file.WriteAt("--", 2, 0), 1) << "any other placement overwrites here";
  file.Close();
  EXPECT_EQ(TempDir::ReadText(path), "ab--efXY");
  ASSERT_EQ(file.OpenPath(path.c_str(), 3, 2, 1), 1);
  ASSERT_EQ(file.Seek(4, SAL_SEEK_SET), 1);
  ASSERT_EQ(file.Clear(), 1);
  EXPECT_EQ(file.Tell(), 0);
  file.Close();
  EXPECT_EQ(TempDir::ReadText(path), "");
  EXPECT_PAIRS(int, {{file.HasAttribute(SAL_ATTR_READONLY), 0}, {file.ChangeAttributes(SAL_ATTR_READONLY, 0), 1},
                     {file.HasAttribute(SAL_ATTR_READONLY), 1}, {file.ChangeAttributes(0, SAL_ATTR_READONLY), 1},
                     {file.HasAttribute(SAL_ATTR_READONLY), 0}, {file.HasAttribute(0), 1}});
  for (auto [set, clear] : {std::pair<uint32_t, uint32_t>{32, 0}, {0, 32},
                            {SAL_ATTR_READONLY, SAL_ATTR_READONLY | SAL_ATTR_HIDDEN}}) {
    SalSetLastError(kSentinel);
    EXPECT_EQ(file.ChangeAttributes(set, clear), 0);
    EXPECT_EQ(SalGetLastError(), kSalErrArgument) << set << " " << clear;
  }
}

TEST_F(CCommonFileTest, FindLeavesThePositionAtTheMatch) {
  const std::string pre = Filler(8190);  // a match at 8190 spans the first chunk boundary
  const std::string longPattern = "<" + std::string(10000, 'q') + ">";  // longer than a chunk
  const struct {
    std::string content;
    const char *pattern;
    int64_t from;  // -1: from the start
    bool ignoreCase, skipWhiteSpace;
    int64_t at;  // -1: not found
  } kCases[] = {
      {"find the needle here", "needle", -1, false, false, 9},  {"needle needle", "needle", 1, false, false, 7},
      {"aaab", "aab", -1, false, false, 1},                     {"abababca", "ababc", -1, false, false, 2},
      {"no such word", "needle", -1, false, false, -1},         {"a NeEdLe", "nEEDLE", -1, true, false, 2},
      {"x ne ed\r\nle", "needle", -1, false, true, 2},          {"x needle", "nee dle", -1, false, true, 2},
      {"x N e\tEDle", "needLE", -1, true, true, 2},             {pre + "needle" + pre, "needle", -1, false, false, 8190},
      {pre + "NEEDLE", "needle", -1, true, false, 8190},        {pre + "ne\n\n\n\n\n\nedle", "needle", -1, false, true, 8190},
      {pre + "needle", "needle", 8191, false, false, -1},       {pre + longPattern + "x", longPattern.c_str(), -1, false, false, 8190},
      {"abc", "", 2, false, false, 2},
  };
  for (const auto &c : kCases) {
    SCOPED_TRACE(testing::Message() << c.content.substr(0, 24) << " / " << c.pattern);
    CCommonFile file;
    Open(file, c.content);
    const int64_t start = c.from < 0 ? 5 : c.from;  // where the position is before the search
    ASSERT_EQ(file.Seek(start, SAL_SEEK_SET), 1);
    EXPECT_EQ(file.Find(c.pattern, c.from >= 0, c.ignoreCase, c.skipWhiteSpace), c.at >= 0 ? 1 : 0);
    EXPECT_EQ(file.Tell(), c.at >= 0 ? c.at : start) << "a failed search keeps the position";
  }
  CCommonFile file;
  EXPECT_PAIRS(uint32_t, {{static_cast<uint32_t>(file.Find(nullptr, false, false, false)), 0},
                          {SalGetLastError(), kCommonErrNullSearchArg},
                          {static_cast<uint32_t>(file.FindText("x")), 0}, {SalGetLastError(), kSalErrNoObject}});
  Open(file, "abc abc");
  ASSERT_EQ(file.Seek(1, SAL_SEEK_SET), 1);
  EXPECT_PAIRS(int64_t, {{file.FindTextFromCurrent("abc"), 1}, {file.Tell(), 4}, {file.FindText("abc"), 1}, {file.Tell(), 0}});
  SalMemFailAfter(1);
  EXPECT_EQ(file.FindText("abc"), 0);
  SalMemFailAfter(0);
  EXPECT_EQ(SalGetLastError(), kCommonErrNoStorage);
}

TEST_F(CCommonFileTest, IsXmlFileLooksForTheDeclarationWithReadAccess) {
  EXPECT_EQ(CCommonFile(dir_.Write("late.xml", Filler(9000) + "<?xml").c_str()).IsXmlFile(), 1);
  EXPECT_EQ(CCommonFile(dir_.Write("upper.xml", "<?XML version").c_str()).IsXmlFile() +
                CCommonFile(dir_.File("missing.xml").c_str()).IsXmlFile(),
            0);
  const std::string path = dir_.Write("open.xml", "<?xml?>");
  CCommonFile file;
  ASSERT_EQ(file.OpenPath(path.c_str(), 3, 2, SAL_FILE_SHARE_READ), 1);
  EXPECT_EQ(file.IsXmlFile(), 1) << "readers are still allowed";
  ASSERT_EQ(file.OpenPath(path.c_str(), 3, 2, SAL_FILE_SHARE_NONE), 1);
  EXPECT_EQ(file.IsXmlFile(), 0) << "the open denies reading";
}
