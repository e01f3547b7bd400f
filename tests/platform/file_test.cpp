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
#include "support/expect_pairs.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {
constexpr uint32_t kSentinel = 0x12345678;

// The call's result, and the error code it left ("result/code"); the code
// is the sentinel when the call set none.
template <typename F>
std::string Outcome(F call) {
  SalSetLastError(kSentinel);
  const auto result = call();
  const uint32_t code = SalGetLastError();
  return std::to_string(result) + "/" + (code == kSentinel ? std::string("-") : std::to_string(code));
}
const std::string kArgument = "0/" + std::to_string(kSalErrArgument);
const std::string kNoObject = "0/" + std::to_string(kSalErrNoObject);

// A file holding content, opened for reading and writing (or as asked).
struct OpenFile {
  OpenFile(const TempDir &dir, const std::string &content, uint32_t access = SAL_FILE_ACCESS_READ_WRITE)
      : path(dir.Write("file.bin", content)) {
    file.SetPath(path.c_str());
    EXPECT_EQ(file.Open(access, SAL_FILE_OPEN_EXISTING, SAL_FILE_SHARE_READ), 1);
  }
  std::string path;
  CSalFile file;
};
}  // namespace

TEST(CSalFile, OpenArgumentsAndCreationValues) {
  TempDir dir;
  const std::string missing = dir.File("missing.bin");
  struct Bad {
    uint32_t access, creation, share;
  } bad[] = {{1, 1, 1}, {1, 4, 1}, {3, 3, 1}, {2, 2, 1}, {0, 2, 1}, {1, 2, 0}, {1, 2, 2}, {3, 4, 5}, {3, 1, 7}};
  for (const Bad &c : bad) {
    CSalFile file;
    file.SetPath(missing.c_str());
    EXPECT_EQ(Outcome([&] { return file.Open(c.access, c.creation, c.share); }), kArgument)
        << c.access << "," << c.creation << "," << c.share;
    EXPECT_FALSE(fs::exists(missing));
  }
  CSalFile unnamed;
  EXPECT_EQ(Outcome([&] { return unnamed.Open(1, 2, 1); }), kNoObject);

  struct Case {
    bool exists;
    uint32_t access, creation;
    int result;
    const char *after;  // content afterwards; null: no file
  } cases[] = {
      {false, 1, 2, 0, nullptr}, {true, 1, 2, 1, "old"}, {false, 3, 2, 0, nullptr}, {true, 3, 2, 1, "old"},
      {false, 3, 4, 1, ""},      {true, 3, 4, 1, "old"}, {false, 3, 1, 1, ""},      {true, 3, 1, 1, ""},
  };
  int n = 0;
  for (const Case &c : cases) {
    SCOPED_TRACE(n);
    const std::string name = std::to_string(n++) + ".txt", path = dir.File(name);
    if (c.exists) dir.Write(name, "old");
    CSalFile file;
    file.SetPath(path.c_str());
    EXPECT_EQ(file.Open(c.access, c.creation, SAL_FILE_SHARE_READ), c.result);
    EXPECT_EQ(file.Close(), 1);
    EXPECT_EQ(fs::exists(path) ? TempDir::ReadText(path) : "<none>", c.after != nullptr ? c.after : "<none>");
  }
  // Folders are not opened as files.
  CSalFile folder;
  folder.SetPath(dir.Path().c_str());
  EXPECT_EQ(folder.Open(1, 2, 3), 0);
  EXPECT_EQ(folder.Exists(), 1);
  EXPECT_NE(folder.GetAttributes() & SAL_ATTR_DIRECTORY, 0u);
}

TEST(CSalFile, ByteOrderMarkIsClassifiedButNotSkipped) {
  TempDir dir;
  struct Case {
    std::vector<uint8_t> bytes;
    uint8_t encoding;
  } cases[] = {
      {{0xEF, 0xBB, 0xBF, 'a'}, SAL_ENCODING_UTF8}, {{0xEF, 0xBB, 0xBF}, SAL_ENCODING_UTF8},
      {{0xFF, 0xFE, 'a', 0}, SAL_ENCODING_UTF16LE}, {{0xFE, 0xFF, 0, 'a'}, SAL_ENCODING_UTF16BE},
      {{0xEF, 0xBB, 0xBE}, SAL_ENCODING_NONE},      {{'a', 'b', 'c'}, SAL_ENCODING_NONE},
      {{0xFF, 0xFE}, SAL_ENCODING_UNKNOWN},  // too short to be checked
      {{}, SAL_ENCODING_UNKNOWN},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.bytes.size());
    CSalFile file;
    file.SetPath(dir.Write("bom.bin", c.bytes).c_str());
    ASSERT_EQ(file.Open(1, 2, 1), 1);
    EXPECT_EQ(file.GetEncoding(), c.encoding);
    EXPECT_EQ(file.Tell(), 0);
    std::vector<uint8_t> back(c.bytes.size() + 1, 0);
    uint32_t got = 99;
    file.Read(back.data(), static_cast<uint32_t>(back.size()), &got);
    back.resize(got);
    EXPECT_EQ(back, c.bytes);
  }
  // A file too short to be checked keeps the encoding of the last open.
  CSalFile file;
  file.SetPath(dir.Write("marked.txt", std::vector<uint8_t>{0xEF, 0xBB, 0xBF, 'x'}).c_str());
  ASSERT_EQ(file.Open(1, 2, 1), 1);
  file.SetPath(dir.Write("tiny.txt", "ab").c_str());
  ASSERT_EQ(file.Open(1, 2, 1), 1);
  EXPECT_EQ(file.GetEncoding(), SAL_ENCODING_UTF8);
}

TEST(CSalFile, ReadsWritesSeeksAndTheirCounts) {
  TempDir dir;
  OpenFile f(dir, "12345");
  char buffer[8] = {};
  uint32_t got = 0;
  EXPECT_EQ(f.file.Read(buffer, 2, &got), 1);
  EXPECT_EQ(got, 2u);
  EXPECT_EQ(f.file.Read(buffer, 4, &got), 0) << "4 asked, 3 left";
  EXPECT_EQ(got, 3u);
  EXPECT_EQ(std::string(buffer, 3), "345");
  EXPECT_EQ(f.file.IsEof(), 1);
  EXPECT_EQ(f.file.GetState(), 3) << "position equals length";
  EXPECT_EQ(f.file.Read(buffer, 0, &got), 1) << "a count of 0 succeeds";
  EXPECT_EQ(Outcome([&] { return f.file.Read(nullptr, 1, &got); }), kArgument);

  // Reads and writes mix without explicit seeks.
  ASSERT_EQ(f.file.Seek(0, SAL_SEEK_SET), 1);
  EXPECT_EQ(f.file.GetState(), 1);
  EXPECT_EQ(f.file.IsEof(), 0);
  ASSERT_EQ(f.file.Read(buffer, 1), 1);  // "1"
  ASSERT_EQ(f.file.Write("XY", 2), 1);   // over "23"
  ASSERT_EQ(f.file.Read(buffer, 1), 1);
  EXPECT_EQ(buffer[0], '4');
  ASSERT_EQ(f.file.Printf("%c", 'Z'), 1);  // over "5"
  EXPECT_EQ(f.file.GetState(), 3) << "at the end after writing";
  // Writing beyond the end fills the gap with zeros; the length counts
  // buffered output and keeps the position.
  ASSERT_EQ(f.file.Seek(3, SAL_SEEK_END), 1);
  ASSERT_EQ(f.file.Write("z", 1), 1);
  ASSERT_EQ(f.file.Seek(4, SAL_SEEK_SET), 1);
  EXPECT_EQ(f.file.GetLength(), 9);
  EXPECT_EQ(f.file.Tell(), 4);
  // Truncate ends the file at the position.
  ASSERT_EQ(f.file.Truncate(), 1);
  EXPECT_EQ(f.file.GetLength(), 4);
  got = 9;
  EXPECT_EQ(f.file.Read(buffer, 1, &got), 0) << "nothing of the cut part comes back";
  EXPECT_EQ(got, 0u);
  ASSERT_EQ(f.file.Printf("%s-%d", "new", 7), 1);
  f.file.Close();
  EXPECT_EQ(TempDir::ReadText(f.path), "1XY4new-7");
  ASSERT_EQ(f.file.Open(3, 2, 1), 1);
  ASSERT_EQ(f.file.Seek(3, SAL_SEEK_END), 1);
  ASSERT_EQ(f.file.Write("z", 1), 1);
  f.file.Close();
  EXPECT_EQ(TempDir::ReadText(f.path), std::string("1XY4new-7\0\0\0z", 13));

  // Seeks from every origin, beyond 32 bits too; failures set no code.
  ASSERT_EQ(f.file.Open(3, 2, 1), 1);
  const struct {
    int64_t offset;
    uint8_t origin;
    int result;
    int64_t position;  // afterwards
  } seeks[] = {
      {4, SAL_SEEK_SET, 1, 4},  {2, SAL_SEEK_CUR, 1, 6},  {-3, SAL_SEEK_CUR, 1, 3}, {-2, SAL_SEEK_END, 1, 11},
      {5, SAL_SEEK_END, 1, 18}, {-1, SAL_SEEK_SET, 0, 18}, {0, 3, 0, 18},           {0, 0, 0, 18},
      {1, 8, 0, 18},            {(int64_t{5} << 30), SAL_SEEK_SET, 1, int64_t{5} << 30},
      {-(int64_t{5} << 30) + 2, SAL_SEEK_CUR, 1, 2},
  };
  for (const auto &c : seeks) {
    EXPECT_EQ(Outcome([&] { return f.file.Seek(c.offset, c.origin); }), std::to_string(c.result) + "/-")
        << c.offset << " from " << int(c.origin);
    EXPECT_EQ(f.file.Tell(), c.position);
  }
  ASSERT_EQ(f.file.Read(buffer, 1), 1);
  EXPECT_EQ(buffer[0], 'Y');
  f.file.Close();

  // A large file: the length while reading, and a flush keeps the read-ahead.
  std::string big(100000, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>('a' + i % 26);
  OpenFile large(dir, big, SAL_FILE_ACCESS_READ);
  ASSERT_EQ(large.file.Read(buffer, 3), 1);
  EXPECT_EQ(large.file.GetLength() * 10 + large.file.Tell(), 1000003);
  ASSERT_EQ(large.file.Flush(), 1);
  ASSERT_EQ(large.file.Read(buffer, 1), 1);
  EXPECT_EQ(buffer[0], 'd');
}

TEST(CSalFile, OperationsWithoutStreamFailWithNoObject) {
  TempDir dir;
  CSalFile file;
  file.SetPath(dir.Write("closed.txt", "content").c_str());  // a path, but no stream
  char byte = 0;
  uint32_t read = 7, written = 7;
  EXPECT_PAIRS(std::string, {{Outcome([&] { return file.Read(&byte, 1, &read); }), kNoObject},
                             {Outcome([&] { return file.Write(&byte, 1, &written); }), kNoObject},
                             {Outcome([&] { return file.Seek(0, SAL_SEEK_SET); }), kNoObject},
                             {Outcome([&] { return file.Tell(); }), kNoObject},
                             {Outcome([&] { return file.Flush(); }), kNoObject},
                             {Outcome([&] { return file.GetLength(); }), kNoObject},
                             {Outcome([&] { return file.IsEof(); }), kNoObject},
                             {Outcome([&] { return file.Truncate(); }), kNoObject},
                             {Outcome([&] { return file.Printf("%d", 1); }), kNoObject}});
  EXPECT_EQ(read + written, 0u) << "counts cleared";
  EXPECT_EQ(file.GetState(), 0);
  EXPECT_EQ(file.Close() + file.Close(), 2);
  EXPECT_EQ(TempDir::ReadText(file.Path()), "content");

  // /dev/full (where there is one) accepts buffered output and refuses it
  // when it is written out: the failed close forgets the stream all the same.
  file.SetPath("/dev/full");
  if (file.Open(3, 2, 3) == 1) {
    ASSERT_EQ(file.Write("lost", 4), 1);
    EXPECT_EQ(file.Close(), 0);
    EXPECT_EQ(file.GetState(), 0);
    EXPECT_EQ(file.Close(), 1);
  }

  // Long paths are cut to 255 bytes on character boundaries.
  EXPECT_EQ(file.SetPath(std::string(300, 'p').c_str()), 1);
  char buffer[400];
  EXPECT_EQ(file.GetPath(buffer, sizeof buffer), 1);
  EXPECT_EQ(std::string(buffer), std::string(255, 'p'));
  SalOverrideAnsiCodePage(932);
  file.SetPath((std::string(254, 'p') + "\x82\xA0tail").c_str());  // a character across bytes 255 and 256
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
  struct Case {
    uint32_t access1, share1, access2, share2;
    int result;
  } cases[] = {
      {1, 1, 1, 1, 1}, {1, 1, 3, 3, 0}, {3, 1, 1, 1, 0}, {3, 1, 1, 3, 1},
      {3, 3, 3, 3, 1}, {1, 4, 1, 3, 0}, {1, 3, 1, 4, 0}, {3, 4, 3, 3, 0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << c.access1 << c.share1 << c.access2 << c.share2);
    CSalFile first, second;
    first.SetPath(path.c_str());
    second.SetPath(path.c_str());
    ASSERT_EQ(first.Open(c.access1, 2, c.share1), 1);
    EXPECT_EQ(second.Open(c.access2, 2, c.share2), c.result);
    second.Close();
    first.Close();
    EXPECT_EQ(second.Open(c.access2, 2, c.share2), 1) << "free again after close";
  }
  // A denied create leaves the content intact.
  CSalFile holder;
  holder.SetPath(path.c_str());
  ASSERT_EQ(holder.Open(1, 2, SAL_FILE_SHARE_READ), 1);
  for (uint32_t creation : {SAL_FILE_CREATE_NEW, SAL_FILE_OPEN_ALWAYS, SAL_FILE_OPEN_EXISTING}) {
    CSalFile writer;
    writer.SetPath(path.c_str());
    EXPECT_EQ(writer.Open(3, creation, SAL_FILE_SHARE_READ_WRITE), 0) << creation;
  }
  holder.Close();
  EXPECT_EQ(TempDir::ReadText(path), "data");
  // Reopening releases the previous stream: a forgotten one would keep
  // denying everybody, this object too.
  ASSERT_EQ(holder.Open(3, 2, SAL_FILE_SHARE_NONE), 1);
  ASSERT_EQ(holder.Open(3, 2, SAL_FILE_SHARE_NONE), 1);
  holder.Close();
  CSalFile other;
  other.SetPath(path.c_str());
  EXPECT_EQ(other.Open(3, 2, SAL_FILE_SHARE_NONE), 1);
}

TEST(CSalFile, AttributesRenameDeleteAndCopy) {
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
  CSalFile missing, unnamed;
  missing.SetPath(dir.File("missing").c_str());
  EXPECT_EQ(missing.Exists() + missing.GetAttributes() + missing.SetAttributes(SAL_ATTR_READONLY), 0u);

  // Rename takes the new path and never replaces.
  const std::string from = dir.Write("from.txt", "moving"), taken = dir.Write("taken.txt", "staying");
  const std::string to = dir.File("to.txt");
  file.SetPath(from.c_str());
  EXPECT_PAIRS(std::string, {{Outcome([&] { return file.Rename(nullptr); }), kArgument},
                             {Outcome([&] { return file.Rename(""); }), kArgument},
                             {Outcome([&] { return unnamed.Rename(to.c_str()); }), kNoObject}});
  EXPECT_EQ(file.Rename(dir.File(std::string(300, 'n')).c_str()), 0) << "too long";
  EXPECT_EQ(file.Rename(taken.c_str()), 0);
  EXPECT_EQ(TempDir::ReadText(taken) + TempDir::ReadText(from), "stayingmoving");
  ASSERT_EQ(file.Rename(to.c_str()), 1);
  EXPECT_EQ(std::string(file.Path()), to);
  EXPECT_EQ(TempDir::ReadText(to), "moving");
  EXPECT_FALSE(fs::exists(from));

  // CopyFile honours failIfExists and keeps the content exact.
  std::vector<uint8_t> bytes(300000);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 251);
  const std::string source = dir.Write("big.bin", bytes);
  ASSERT_EQ(CSalFile::CopyFile(source.c_str(), to.c_str(), true), 0);
  EXPECT_EQ(TempDir::ReadText(to), "moving");
  ASSERT_EQ(CSalFile::CopyFile(source.c_str(), to.c_str(), false), 1);
  EXPECT_EQ(TempDir::Read(to), bytes);
  ASSERT_EQ(CSalFile::CopyFile(source.c_str(), dir.File("copy").c_str(), true), 1);
  EXPECT_EQ(TempDir::Read(dir.File("copy")), bytes);
  EXPECT_PAIRS(int, {{CSalFile::CopyFile(source.c_str(), source.c_str(), false), 0},  // onto itself
                     {CSalFile::CopyFile(dir.File("missing").c_str(), to.c_str(), false), 0}});
  EXPECT_EQ(Outcome([&] { return CSalFile::CopyFile(nullptr, to.c_str(), false); }), kArgument);
  EXPECT_EQ(TempDir::Read(source), bytes);
  if (SAL_OS_POSIX) {  // a copy closes both files, also when it fails
    const auto openFiles = [] { return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()); };
    const auto before = openFiles();
    EXPECT_EQ(CSalFile::CopyFile(source.c_str(), to.c_str(), false), 1);
    EXPECT_EQ(CSalFile::CopyFile(source.c_str(), source.c_str(), false), 0);
    EXPECT_EQ(openFiles(), before);
  }

  // Delete closes and removes.
  ASSERT_EQ(file.Open(3, 2, 4), 1);
  EXPECT_EQ(file.Delete(), 1);
  EXPECT_FALSE(fs::exists(to));
  EXPECT_EQ(file.GetState(), 0);
  EXPECT_EQ(file.Delete(), 0) << "nothing left to delete";
}

TEST(CSalFile, FileTimesInSecondsSince1970AndTheirOrder) {
  TempDir dir;
  const int64_t before = static_cast<int64_t>(std::time(nullptr));
  const std::string older = dir.Write("older.txt", "t"), newer = dir.Write("newer.txt", "b");
  const int64_t after = static_cast<int64_t>(std::time(nullptr));
  CSalFile file;
  file.SetPath(older.c_str());
  for (uint32_t kind : {SAL_TIME_CREATION, SAL_TIME_ACCESS, SAL_TIME_WRITE}) {
    int64_t seconds = 0;
    EXPECT_EQ(file.GetFileTimeSeconds(kind, &seconds), 1);
    EXPECT_TRUE(seconds >= before - 2 && seconds <= after + 2) << kind << ": " << seconds;
  }
  // The last write time moved through the standard library, an oracle
  // independent of the code under test.
  fs::last_write_time(older, fs::file_time_type::clock::now() - std::chrono::hours(48));
  int64_t seconds = 0;
  ASSERT_EQ(file.GetFileTimeSeconds(SAL_TIME_WRITE, &seconds), 1);
  EXPECT_NEAR(static_cast<double>(seconds), static_cast<double>(before - 48 * 3600), 5.0);
  CSalFile missing, unnamed;
  missing.SetPath(dir.File("missing").c_str());
  EXPECT_PAIRS(std::string, {{Outcome([&] { return file.GetFileTimeSeconds(4, &seconds); }), kArgument},
                             {Outcome([&] { return unnamed.GetFileTimeSeconds(SAL_TIME_WRITE, &seconds); }), kNoObject},
                             {std::to_string(missing.GetFileTimeSeconds(SAL_TIME_WRITE, &seconds)), "0"}});

  // Ordered by the chosen time; a missing file, an unknown kind or a null
  // path compare as less.
  const char *o = older.c_str(), *n = newer.c_str(), *absent = missing.Path();
  EXPECT_PAIRS(int, {{CSalFile::CompareFileTimes(SAL_TIME_WRITE, o, n), -1},
                     {CSalFile::CompareFileTimes(SAL_TIME_WRITE, n, o), 1},
                     {CSalFile::CompareFileTimes(SAL_TIME_WRITE, n, n), 0},
                     {CSalFile::CompareFileTimes(SAL_TIME_WRITE, absent, n), -1},
                     {CSalFile::CompareFileTimes(SAL_TIME_WRITE, n, absent), -1},
                     {CSalFile::CompareFileTimes(9, n, o), -1},
                     {CSalFile::CompareFileTimes(SAL_TIME_WRITE, nullptr, n), -1}});
}

TEST(CSalFile, VersionInfoOnlyForFilesThatCarryIt) {
  TempDir dir;
  CSalFile plain, unnamed;
  plain.SetPath(dir.Write("plain.txt", "no resources here").c_str());
  EXPECT_EQ(plain.LoadVersionInfo(), nullptr);
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
