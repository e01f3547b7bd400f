// path_test.cpp - the path text rules, with the Windows separator and the
// POSIX one on every machine, and the public Sal path functions with the
// platform's separator in all their forms.
#include "platform/path.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>

#include "base/code_page.h"
#include "platform/directory.h"
#include "platform/path_rules.h"

namespace path = sal::path;

namespace {
const char kSeps[] = {'\\', '/'};

// The case text with every backslash turned into sep: the text rules give
// the same answers with either separator.
std::string Tr(const char *text, char sep) {
  std::string s = text != nullptr ? text : "";
  for (char &c : s)
    if (c == '\\') c = sep;
  return s;
}

char Native() { return CSalDirectory::GetSeparator(); }

// Selects the ANSI code page for one test and restores the default.
class CodePage {
 public:
  explicit CodePage(uint32_t codePage) { SalOverrideAnsiCodePage(codePage); }
  ~CodePage() { SalOverrideAnsiCodePage(0); }
};

struct ExtractCase {
  const char *path;
  const char *out;
  int result;
};

using RuleExtract = std::function<int(char, const char *, char *, size_t)>;
using BufferForm = std::function<int(const char *, char *, size_t)>;
using StringForm = std::function<int(const char *, CCommonString &)>;
using ValueForm = std::function<CCommonString(const char *)>;

// Runs the cases through the rule with both separators, then through the
// public forms with the platform's separator.
void CheckExtract(const RuleExtract &rule, const BufferForm &buffer, const StringForm &string,
                  const ValueForm &value, std::initializer_list<ExtractCase> cases) {
  for (const ExtractCase &c : cases) {
    for (char sep : kSeps) {
      SCOPED_TRACE(testing::Message() << "rule sep " << sep << " path " << Tr(c.path, sep));
      char out[256];
      std::memset(out, 'X', sizeof out);
      const std::string p = Tr(c.path, sep);
      EXPECT_EQ(rule(sep, p.c_str(), out, sizeof out), c.result);
      EXPECT_EQ(std::string(out), Tr(c.out, sep));
    }
    const std::string p = Tr(c.path, Native());
    const std::string expected = Tr(c.out, Native());
    SCOPED_TRACE(testing::Message() << "public path " << p);
    char out[256];
    std::memset(out, 'X', sizeof out);
    EXPECT_EQ(buffer(p.c_str(), out, sizeof out), c.result);
    EXPECT_EQ(std::string(out), expected);
    CCommonString s("old");
    EXPECT_EQ(string(p.c_str(), s), c.result);
    EXPECT_STREQ(s.CStr(), expected.c_str());
    if (value) {
      EXPECT_STREQ(value(p.c_str()).CStr(), expected.c_str());
    }
  }
  // Null arguments and a capacity of 0: no result, and out cleared where
  // it can be written.
  char out[8] = "keep";
  EXPECT_EQ(buffer(nullptr, out, sizeof out), 0);
  EXPECT_STREQ(out, "");
  std::strcpy(out, "keep");
  EXPECT_EQ(buffer("a.b", out, 0), 0);
  EXPECT_STREQ(out, "keep");
  EXPECT_EQ(buffer("a.b", nullptr, 8), 0);
  CCommonString s("old");
  EXPECT_EQ(string(nullptr, s), 0);
  EXPECT_STREQ(s.CStr(), "");
}

#define SAL_FORMS(fn)                                                     \
  [](const char *p, char *o, size_t c) { return fn(p, o, c); },          \
      [](const char *p, CCommonString &s) { return fn(p, s); },           \
      [](const char *p) { return fn(p); }

int WithSep(char sep, const char *text, const std::function<int(char *, size_t)> &change,
            std::string *result, size_t capacity = 256) {
  char buffer[512];
  std::strcpy(buffer, Tr(text, sep).c_str());
  const int r = change(buffer, capacity);
  *result = buffer;
  return r;
}
}  // namespace

// ---- taking paths apart ------------------------------------------------------

TEST(SalPath, GetDirKeepsEverythingUpToTheLastSeparator) {
  CheckExtract(path::GetDir, SAL_FORMS(SalPathGetDir),
               {{"C:\\a\\b.txt", "C:\\a\\", 5},
                {"b.txt", "", 0},
                {"C:\\", "C:\\", 3},
                {"\\\\srv\\share\\f", "\\\\srv\\share\\", 12},
                {"C:a", "", 0},
                {"", "", 0}});
}

TEST(SalPath, GetDriveTakesTwoBytesEndingInAColon) {
  CheckExtract([](char, const char *p, char *o, size_t c) { return path::GetDrive(p, o, c); },
               SAL_FORMS(SalPathGetDrive),
               {{"C:\\a", "C:", 2}, {"x:", "x:", 2}, {"\\a", "", 0}, {"C", "", 0}, {"", "", 0}});
  // The string form holds three bytes: the drive and its terminator.
  CCommonString s;
  EXPECT_EQ(SalPathGetDrive("C:\\long\\path", s), 2);
  EXPECT_STREQ(s.CStr(), "C:");
}

TEST(SalPath, GetDirNoDriveDropsTheDrive) {
  CheckExtract(path::GetDirNoDrive, SAL_FORMS(SalPathGetDirNoDrive),
               {{"C:\\a\\b.txt", "\\a\\", 3},
                {"a\\b", "a\\", 2},
                {"C:b", "", 0},
                {"C:\\b", "\\", 1},
                {"noseparator", "", 0}});
}

TEST(SalPath, GetFileNameIsTheTextAfterTheLastSeparator) {
  CheckExtract(path::GetFileName, SAL_FORMS(SalPathGetFileName),
               {{"C:\\a\\b.txt", "b.txt", 5},
                {"b.txt", "b.txt", 5},
                {"C:\\a\\", "", 0},
                {".", "", 0},
                {"..", "", 0},
                {"C:\\a\\..", "", 0},
                {"C:\\a\\.", "", 0},
                {"C:\\a\\...", "...", 3},
                {"C:a", "C:a", 3}});
}

TEST(SalPath, GetFileTitleCutsTheNameAtItsLastDot) {
  CheckExtract(path::GetFileTitle, SAL_FORMS(SalPathGetFileTitle),
               {{"C:\\a\\b.tar.gz", "b.tar", 5},
                {"C:\\a\\.profile", "", 0},
                {"C:\\dir.d\\file", "file", 4},
                {"noext", "noext", 5}});
}

TEST(SalPath, GetExtensionTakesTheLastDotOfTheWholePath) {
  CheckExtract([](char, const char *p, char *o, size_t c) { return path::GetExtension(p, o, c); },
               SAL_FORMS(SalPathGetExtension),
               {{"C:\\dir.d\\file", "d\\file", 6},
                {"a.txt", "txt", 3},
                {"a.tar.gz", "gz", 2},
                {"noext", "", 0},
                {"a.", "", 0}});
}

TEST(SalPath, RemoveExtensionReturnsTheLengthBeforeTheCut) {
  CheckExtract(
      [](char, const char *p, char *o, size_t c) { return path::RemoveExtension(p, o, c); },
      SAL_FORMS(SalPathRemoveExtension),
      {{"C:\\a\\b.txt", "C:\\a\\b", 10}, {"C:\\dir.d\\file", "C:\\dir", 13}, {"noext", "noext", 5}});
}

TEST(SalPath, GetParentDirClimbsOneLevel) {
  CheckExtract(path::GetParentDir, SAL_FORMS(SalPathGetParentDir),
               {{"C:\\a\\b", "C:\\a\\", 5},
                {"C:\\a\\b\\", "C:\\a\\", 5},
                {"C:\\a", "C:\\", 3},
                {"C:\\", "C:\\", 3},
                {"C:a", "C:", 2},
                {"name", "name", 4},
                {"", "", 0},
                {"\\", "\\", 1},
                {"\\a", "\\", 1},
                {"a\\", "a", 1}});
}

TEST(SalPath, GetLastNameIgnoresTrailingSeparatorsOfBothKinds) {
  CheckExtract([](char, const char *p, char *o, size_t c) { return path::GetLastName(p, o, c); },
               [](const char *p, char *o, size_t c) { return SalPathGetLastName(p, o, c); },
               [](const char *p, CCommonString &s) { return SalPathGetLastName(p, s); }, nullptr,
               {{"C:\\a\\b\\", "b", 1},
                {"C:\\a\\b", "b", 1},
                {"b", "b", 1},
                {"", "", 0},
                {"\\", "", 0},
                {"C:", "C:", 2}});
  // Slashes count on every platform.
  char out[16];
  EXPECT_EQ(SalPathGetLastName("C:\\a/bc//", out, sizeof out), 2);
  EXPECT_STREQ(out, "bc");
}

TEST(SalPath, ExtractedPartsAreCutAtTheCapacityOnWholeCharacters) {
  char out[4];
  for (char sep : kSeps) {
    EXPECT_EQ(path::GetFileName(sep, Tr("C:\\dir\\abcdef", sep).c_str(), out, sizeof out), 3);
    EXPECT_STREQ(out, "abc");
  }
  CodePage sjis(932);
  // "\x95\x5C" is one character whose trail byte is the backslash.
  EXPECT_EQ(path::GetFileName('\\', "ab\x95\x5C", out, sizeof out), 2);
  EXPECT_STREQ(out, "ab");
  EXPECT_EQ(path::GetDir('\\', "x\x95\x5C\\y", out, sizeof out), 3);
  EXPECT_STREQ(out, "x\x95\x5C");
}

TEST(SalPath, TrailBytesOfDoubleByteCharactersAreNeverSeparators) {
  CodePage sjis(932);
  char out[64];
  EXPECT_EQ(path::GetFileName('\\', "C:\\d\\\x95\x5C", out, sizeof out), 2);
  EXPECT_STREQ(out, "\x95\x5C");
  EXPECT_EQ(path::GetDir('\\', "C:\\d\\\x95\x5C", out, sizeof out), 5);
  EXPECT_STREQ(out, "C:\\d\\");
  EXPECT_EQ(path::GetParentDir('\\', "C:\\\x95\x5C", out, sizeof out), 3);
  EXPECT_STREQ(out, "C:\\");
  EXPECT_EQ(path::GetLastName("a\\\x95\x5C", out, sizeof out), 2);
  EXPECT_STREQ(out, "\x95\x5C");
  EXPECT_EQ(path::IsRootPath('\\', "\x95\x5C"), 0);
  EXPECT_STREQ(path::JoinLastTwoNames("\\\x95\x5C\\b", out, sizeof out), "\x95\x5C-b");

  char buffer[64] = "C:\\\x95\x5C";
  EXPECT_STREQ(path::AddSeparator('\\', buffer, sizeof buffer), "C:\\\x95\x5C\\");
  std::strcpy(buffer, "C:\\\x95\x5C");
  EXPECT_STREQ(path::RemoveSeparator('\\', buffer, sizeof buffer), "C:\\\x95\x5C");

  // The name before ".." is the double-byte one, not what follows its trail.
  std::strcpy(buffer, "C:\\\x95\x5C\\..\\x");
  EXPECT_EQ(path::MakeFull('\\', buffer, sizeof buffer, nullptr, nullptr), 1);
  EXPECT_STREQ(buffer, "C:\\x");

  // The same through the public functions where the separator is '\\'.
  if (Native() == '\\') {
    EXPECT_EQ(SalPathGetFileName("C:\\d\\\x95\x5C", out, sizeof out), 2);
    EXPECT_STREQ(out, "\x95\x5C");
    EXPECT_EQ(CSalDirectory::IsRootPath("\x95\x5C"), 0);
  }
}

TEST(CSalDirectory, IsRootPathAndFindLastSeparator) {
  struct Case {
    const char *path;
    int root;
    int lastSeparator;  // index of FindLastSeparator, -1 for none
  } cases[] = {{"\\", 1, 0},         {"C:\\", 1, 2},       {"C:", 0, 1},  {"C:\\a\\", 0, 4},
               {"", 0, -1},          {"\\\\", 0, 1},       {"a\\", 0, 1}, {"ab", 0, -1},
               {"a:b\\c", 0, 3},     {"x\\y:z", 0, 3}};
  for (const Case &c : cases) {
    for (char sep : kSeps) {
      const std::string p = Tr(c.path, sep);
      SCOPED_TRACE(p);
      EXPECT_EQ(path::IsRootPath(sep, p.c_str()), c.root);
      const char *last = path::FindLastSeparator(sep, p.c_str());
      EXPECT_EQ(last == nullptr ? -1 : static_cast<int>(last - p.c_str()), c.lastSeparator);
    }
    const std::string p = Tr(c.path, Native());
    EXPECT_EQ(CSalDirectory::IsRootPath(p.c_str()), c.root);
    const char *last = CSalDirectory::FindLastSeparator(p.c_str());
    EXPECT_EQ(last == nullptr ? -1 : static_cast<int>(last - p.c_str()), c.lastSeparator);
  }
  EXPECT_EQ(CSalDirectory::IsRootPath(nullptr), 0);
  EXPECT_EQ(CSalDirectory::FindLastSeparator(nullptr), nullptr);
}

// ---- changing paths in place ---------------------------------------------------

TEST(SalPath, InPlaceEditsComposeTheirParts) {
  struct Case {
    const char *what;
    const char *before;
    const char *arg;
    const char *after;
    int result;
  } cases[] = {
      {"ext", "file.txt", "log", "file.log", 3},
      {"ext", "file.txt", ".log", "file.log", 4},
      {"ext", "file", "log", "file.log", 3},
      {"ext", "a.b\\file", "log", "a.log", 3},
      {"title", "C:\\a\\file", "new", "C:\\a\\new.", 9},
      {"title", "C:\\a\\old.txt", "new", "C:\\a\\new.txt", 12},
      {"name", "C:\\a\\old.txt", "new.log", "C:\\a\\new.log", 12},
      {"name", "old", "new", "new", 3},
      {"dirnodrive", "C:\\a\\f.txt", "b\\c", "C:\\b\\c\\f.txt", 12},
      {"dirnodrive", "C:\\a\\f.txt", "\\b\\", "C:\\b\\f.txt", 10},
      {"dirnodrive", "f.txt", "d", "\\d\\f.txt", 8},
      {"dir", "C:\\a\\f.txt", "D:\\x", "D:\\x\\f.txt", 5},
      {"dir", "C:\\a\\f.txt", "D:\\x\\", "D:\\x\\f.txt", 5},
      {"dir", "C:\\a\\", "D:\\x", "D:\\x\\", 0},
      {"drive", "C:\\a", "D", "D:\\a", 1},
      {"drive", "\\a", "D", "\\a", 0},
      {"drive", "C:\\a", "", "C:\\a", 0},
  };
  for (const Case &c : cases) {
    for (char sep : kSeps) {
      const std::string arg = Tr(c.arg, sep);
      SCOPED_TRACE(testing::Message() << c.what << " sep " << sep << " " << Tr(c.before, sep));
      std::string after;
      std::function<int(char *, size_t)> rule;
      const std::string what = c.what;
      if (what == "ext") rule = [&](char *b, size_t n) { return path::SetExtension(b, n, arg.c_str()); };
      if (what == "title") rule = [&](char *b, size_t n) { return path::SetFileTitle(sep, b, n, arg.c_str()); };
      if (what == "name") rule = [&](char *b, size_t n) { return path::SetFileName(sep, b, n, arg.c_str()); };
      if (what == "dirnodrive") rule = [&](char *b, size_t n) { return path::SetDirNoDrive(sep, b, n, arg.c_str()); };
      if (what == "dir") rule = [&](char *b, size_t n) { return path::SetDir(sep, b, n, arg.c_str()); };
      if (what == "drive") rule = [&](char *b, size_t n) { return path::SetDrive(b, n, arg.c_str()); };
      EXPECT_EQ(WithSep(sep, c.before, rule, &after), c.result);
      EXPECT_EQ(after, Tr(c.after, sep));

      if (sep != Native()) continue;
      // The public buffer form and the string form.
      std::function<int(char *, size_t)> pub;
      std::function<int(CCommonString &)> str;
      const char *a = arg.c_str();
      if (what == "ext") pub = [&](char *b, size_t n) { return SalPathSetExtension(b, n, a); }, str = [&](CCommonString &s) { return SalPathSetExtension(s, a); };
      if (what == "title") pub = [&](char *b, size_t n) { return SalPathSetFileTitle(b, n, a); }, str = [&](CCommonString &s) { return SalPathSetFileTitle(s, a); };
      if (what == "name") pub = [&](char *b, size_t n) { return SalPathSetFileName(b, n, a); }, str = [&](CCommonString &s) { return SalPathSetFileName(s, a); };
      if (what == "dirnodrive") pub = [&](char *b, size_t n) { return SalPathSetDirNoDrive(b, n, a); }, str = [&](CCommonString &s) { return SalPathSetDirNoDrive(s, a); };
      if (what == "dir") pub = [&](char *b, size_t n) { return SalPathSetDir(b, n, a); }, str = [&](CCommonString &s) { return SalPathSetDir(s, a); };
      if (what == "drive") pub = [&](char *b, size_t n) { return SalPathSetDrive(b, n, a); }, str = [&](CCommonString &s) { return SalPathSetDrive(s, a); };
      EXPECT_EQ(WithSep(sep, c.before, pub, &after), c.result);
      EXPECT_EQ(after, Tr(c.after, sep));
      CCommonString s(Tr(c.before, sep).c_str());
      EXPECT_EQ(str(s), c.result);
      EXPECT_STREQ(s.CStr(), Tr(c.after, sep).c_str());
    }
  }
}

TEST(SalPath, InPlaceEditsStayInsideTheCapacityAndRefuseNulls) {
  std::string after;
  // SetDir: the directory and its separator fill the buffer; no byte of
  // the name fits.
  EXPECT_EQ(WithSep('\\', "C:\\f.txt",
                    [](char *b, size_t n) { return path::SetDir('\\', b, n, "D:\\longer"); },
                    &after, 11),
            0);
  EXPECT_EQ(after, "D:\\longer\\");
  EXPECT_EQ(WithSep('\\', "C:\\file.txt",
                    [](char *b, size_t n) { return path::SetDir('\\', b, n, "D:\\x"); }, &after,
                    12),
            6);
  EXPECT_EQ(after, "D:\\x\\file.t");
  // SetExtension appends what fits.
  EXPECT_EQ(WithSep('\\', "f.txt", [](char *b, size_t n) { return path::SetExtension(b, n, "html"); },
                    &after, 6),
            3);
  EXPECT_EQ(after, "f.htm");
  // SetFileTitle counts what the bounded copy wrote.
  EXPECT_EQ(WithSep('\\', "C:\\file.txt",
                    [](char *b, size_t n) { return path::SetFileTitle('\\', b, n, "longtitle"); },
                    &after, 12),
            11);
  EXPECT_EQ(after, "C:\\longtitl");

  char buffer[16] = "C:\\keep";
  EXPECT_EQ(SalPathSetExtension(nullptr, 16, "x"), 0);
  EXPECT_EQ(SalPathSetExtension(buffer, 16, nullptr), 0);
  EXPECT_EQ(SalPathSetFileTitle(buffer, 0, "x"), 0);
  EXPECT_EQ(SalPathSetFileName(buffer, 16, nullptr), 0);
  EXPECT_EQ(SalPathSetDir(buffer, 16, nullptr), 0);
  EXPECT_EQ(SalPathSetDirNoDrive(nullptr, 16, "x"), 0);
  EXPECT_EQ(SalPathSetDrive(buffer, 16, nullptr), 0);
  EXPECT_STREQ(buffer, "C:\\keep");
}

TEST(SalPath, AddAndRemoveSeparator) {
  for (char sep : kSeps) {
    char buffer[8];
    std::strcpy(buffer, Tr("C:\\a", sep).c_str());
    EXPECT_EQ(Tr("C:\\a\\", sep), path::AddSeparator(sep, buffer, sizeof buffer));
    EXPECT_EQ(Tr("C:\\a\\", sep), path::AddSeparator(sep, buffer, sizeof buffer));  // once only
    EXPECT_EQ(Tr("C:\\a", sep), path::RemoveSeparator(sep, buffer, sizeof buffer));
    EXPECT_EQ(Tr("C:\\a", sep), path::RemoveSeparator(sep, buffer, sizeof buffer));
    buffer[0] = '\0';
    EXPECT_STREQ(path::AddSeparator(sep, buffer, sizeof buffer), "");
    std::strcpy(buffer, "1234567");  // full: no room for a separator
    EXPECT_STREQ(path::AddSeparator(sep, buffer, sizeof buffer), "1234567");
  }
  // The other slash is not the separator here.
  char buffer[8] = "C:\\a/";
  EXPECT_STREQ(path::RemoveSeparator('\\', buffer, sizeof buffer), "C:\\a/");
  EXPECT_EQ(SalPathAddSeparator(nullptr, 8), nullptr);
  EXPECT_EQ(SalPathRemoveSeparator(nullptr, 8), nullptr);
  std::strcpy(buffer, Tr("C:\\a", Native()).c_str());
  EXPECT_EQ(Tr("C:\\a\\", Native()), SalPathAddSeparator(buffer, sizeof buffer));
  EXPECT_EQ(Tr("C:\\a", Native()), SalPathRemoveSeparator(buffer, sizeof buffer));
}

// ---- names, comparison, full and relative paths ----------------------------------

TEST(SalPath, JoinLastTwoNames) {
  char out[32] = "untouched";
  EXPECT_STREQ(SalPathJoinLastTwoNames("C:\\x\\Project\\Tool\\", out, sizeof out), "Project-Tool");
  EXPECT_STREQ(SalPathJoinLastTwoNames("/x/Project/Tool", out, sizeof out), "Project-Tool");
  EXPECT_STREQ(SalPathJoinLastTwoNames("\\a/b//", out, sizeof out), "a-b");
  std::strcpy(out, "untouched");
  const char *input = "a\\b";
  EXPECT_EQ(SalPathJoinLastTwoNames(input, out, sizeof out), input);
  EXPECT_STREQ(out, "untouched");
  const char *single = "\\b";
  EXPECT_EQ(SalPathJoinLastTwoNames(single, out, sizeof out), single);
  // "Project-Tool" needs 13 bytes with its terminator.
  const char *tight = "C:\\x\\Project\\Tool";
  EXPECT_EQ(SalPathJoinLastTwoNames(tight, out, 12), tight);
  EXPECT_STREQ(out, "untouched");
  EXPECT_EQ(SalPathJoinLastTwoNames(tight, out, 13), out);
  EXPECT_EQ(SalPathJoinLastTwoNames(nullptr, out, sizeof out), nullptr);

  CCommonString s("old");
  EXPECT_EQ(SalPathJoinLastTwoNames("C:\\x\\Project\\Tool\\", s), 1);
  EXPECT_STREQ(s.CStr(), "Project-Tool");
  EXPECT_EQ(SalPathJoinLastTwoNames("a\\b", s), 0);
  EXPECT_STREQ(s.CStr(), "Project-Tool");
}

TEST(SalPath, IsSameDirComparesTheDirectories) {
  // Windows: slashes are separators and case does not count.
  EXPECT_EQ(path::IsSameDir('\\', "C:\\Data\\x.txt", "c:/data/y.txt"), 1);
  EXPECT_EQ(path::IsSameDir('\\', "C:\\a\\x", "C:\\b\\x"), 0);
  EXPECT_EQ(path::IsSameDir('\\', "x.txt", "y.txt"), 1);
  // POSIX: names are case-sensitive.
  EXPECT_EQ(path::IsSameDir('/', "/data/x", "/data/y"), 1);
  EXPECT_EQ(path::IsSameDir('/', "/data/x", "/Data/x"), 0);
  EXPECT_EQ(path::IsSameDir('/', "/a/x", "/a/b/x"), 0);
  EXPECT_EQ(SalPathIsSameDir(nullptr, "x"), 0);
  const std::string a = Tr("C:\\dir\\one", Native());
  const std::string b = Tr("C:\\dir\\two", Native());
  EXPECT_EQ(SalPathIsSameDir(a.c_str(), b.c_str()), 1);
}

TEST(SalPath, IsFullFollowsThePlatform) {
  EXPECT_EQ(path::IsFull('\\', "C:\\a"), 1);
  EXPECT_EQ(path::IsFull('\\', "\\\\srv\\x"), 1);
  EXPECT_EQ(path::IsFull('\\', "a\\b"), 0);
  EXPECT_EQ(path::IsFull('\\', "\\a"), 0);  // rooted on the current drive
  EXPECT_EQ(path::IsFull('\\', "C:/a"), 0);
  EXPECT_EQ(path::IsFull('/', "/a"), 1);
  EXPECT_EQ(path::IsFull('/', "a/b"), 0);
  EXPECT_EQ(path::IsFull('/', "C:/a"), 1);
  EXPECT_EQ(SalPathIsFull(nullptr), 0);
  EXPECT_EQ(SalPathIsSeparator('\\'), 1);
  EXPECT_EQ(SalPathIsSeparator('/'), 1);
  EXPECT_EQ(SalPathIsSeparator(':'), 0);
}

TEST(SalPath, MakeFullNormalises) {
  struct Case {
    const char *path;
    const char *base;  // "-" for none: the current directory
    const char *after;
    int result;
  } cases[] = {
      {"C:\\a\\.\\b\\..\\c", "-", "C:\\a\\c", 1},
      {"C:\\a\\.\\.\\b", "-", "C:\\a\\b", 1},
      {"C:\\a\\b\\..", "-", "C:\\a", 1},
      {"C:\\a\\b\\c\\..\\..\\d", "-", "C:\\a\\d", 1},
      {"C:\\a\\...\\b", "-", "C:\\a\\...\\b", 0},
      {"C:\\..\\x", "-", "C:\\..\\x", 0},
      {"x\\y", "C:/base", "C:\\base\\x\\y", 1},
      {"x\\y", "C:\\base\\", "C:\\base\\x\\y", 1},
      {"..\\y", "C:\\base\\", "C:\\y", 1},
      {"..\\a", "", "..\\a", 0},
      {"\\..\\a", "", "\\..\\a", 0},
      {"a\\..\\b", "", "b", 1},
      {".\\a\\.", "", "a", 1},
      // Dots inside a name are part of the name.
      {"C:\\dir\\file..txt", "-", "C:\\dir\\file..txt", 1},
      {"C:\\d..\\x", "-", "C:\\d..\\x", 1},
  };
  for (const Case &c : cases) {
    for (char sep : kSeps) {
      const std::string p = Tr(c.path, sep);
      SCOPED_TRACE(testing::Message() << "sep " << sep << " " << p);
      char buffer[64];
      std::strcpy(buffer, p.c_str());
      const bool noBase = std::strcmp(c.base, "-") == 0;
      // The C:/base case turns slashes into backslashes: Windows only.
      if (sep == '/' && std::strchr(c.base, '/') != nullptr) continue;
      const std::string base = Tr(c.base, sep);
      EXPECT_EQ(path::MakeFull(sep, buffer, sizeof buffer, noBase ? nullptr : base.c_str(), "CWD"),
                c.result);
      EXPECT_EQ(std::string(buffer), Tr(c.after, sep));
    }
  }
  // Cut to the capacity: result 0, the cut text in the buffer.
  char small[8] = "C:\\a";
  EXPECT_EQ(path::MakeFull('\\', small, sizeof small, "C:\\longbase", nullptr), 1);  // full already
  EXPECT_STREQ(small, "C:\\a");
  std::strcpy(small, "x");
  EXPECT_EQ(path::MakeFull('\\', small, sizeof small, "C:\\longbase", nullptr), 0);
  EXPECT_STREQ(small, "C:\\long");
  EXPECT_EQ(SalPathMakeFull(nullptr, 8, nullptr), 0);
}

TEST(SalPath, MakeFullPutsTheCurrentDirectoryInFront) {
  char current[256];
  ASSERT_EQ(CSalDirectory::GetCurrentDir(current, sizeof current), 1);
  char buffer[300] = "sub";
  ASSERT_EQ(SalPathMakeFull(buffer, sizeof buffer, nullptr), 1);
  std::string expected = current;
  if (expected.back() != Native()) expected += Native();
  expected += "sub";
  EXPECT_EQ(std::string(buffer), expected);
}

TEST(SalPath, MakeRelative) {
  struct Case {
    const char *path, *base, *out;
    int result;
  } cases[] = {
      {"C:\\a\\x.txt", "C:\\a\\b\\c\\", "../../x.txt", 1},
      {"C:\\a\\x.txt", "D:\\a\\", "C:\\a\\x.txt", 1},
      {"C:\\a\\b\\x", "C:\\a\\", "b\\x", 1},
      {"C:\\a\\x", "C:\\a\\y", "x", 1},
      {"abc", "abd", "abc", 1},
      {"C:\\a\\b", "C:\\a\\b\\c", "", 0},
      {"C:\\a", "C:\\a", "", 0},
  };
  for (const Case &c : cases) {
    for (char sep : kSeps) {
      const std::string p = Tr(c.path, sep);
      const std::string b = Tr(c.base, sep);
      SCOPED_TRACE(testing::Message() << p << " against " << b);
      char out[64] = "";
      EXPECT_EQ(path::MakeRelative(sep, out, sizeof out, p.c_str(), b.c_str()), c.result);
      if (c.result != 0) {
        EXPECT_EQ(std::string(out), Tr(c.out, sep));
      }
    }
  }
  char out[8];
  EXPECT_EQ(path::MakeRelative('\\', out, sizeof out, "C:\\a\\x.txt", "C:\\a\\b\\c\\"), 0);
  EXPECT_STREQ(out, "../../x");
  EXPECT_EQ(SalPathMakeRelative(out, 0, "a", "b"), 0);
  EXPECT_EQ(SalPathMakeRelative(out, sizeof out, nullptr, "b"), 0);
  EXPECT_EQ(SalPathMakeRelative(nullptr, sizeof out, "a", "b"), 0);
}

TEST(SalPath, SplitFollowsTheRuntimeRules) {
  struct Case {
    char sep;
    const char *path, *drive, *dir, *name, *ext;
  } cases[] = {
      {'\\', "C:\\dir.d\\file.tar.gz", "C:", "\\dir.d\\", "file.tar", ".gz"},
      {'\\', "dir/sub\\name", "", "dir/sub\\", "name", ""},
      {'/', "dir/sub\\name", "", "dir/", "sub\\name", ""},
      {'/', "/usr/lib/libz.so.1", "", "/usr/lib/", "libz.so", ".1"},
      {'\\', ".bashrc", "", "", "", ".bashrc"},
      {'\\', "C:", "C:", "", "", ""},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.path);
    char drive[8], dir[32], name[32], ext[16];
    EXPECT_EQ(path::Split(c.sep, c.path, drive, sizeof drive, dir, sizeof dir, name, sizeof name,
                          ext, sizeof ext),
              1);
    EXPECT_STREQ(drive, c.drive);
    EXPECT_STREQ(dir, c.dir);
    EXPECT_STREQ(name, c.name);
    EXPECT_STREQ(ext, c.ext);
  }
  // A part that does not fit empties every output.
  char drive[3] = "x", dir[4] = "x", name[32] = "x", ext[8] = "x";
  EXPECT_EQ(SalPathSplit(Tr("C:\\long\\f.txt", Native()).c_str(), drive, sizeof drive, dir, sizeof dir, name,
                         sizeof name, ext, sizeof ext),
            0);
  EXPECT_STREQ(drive, "");
  EXPECT_STREQ(dir, "");
  EXPECT_STREQ(name, "");
  EXPECT_STREQ(ext, "");
  // Skipped outputs, and the inconsistent pairs.
  EXPECT_EQ(SalPathSplit("a.b", nullptr, 0, nullptr, 0, name, sizeof name, nullptr, 0), 1);
  EXPECT_STREQ(name, "a");
  EXPECT_EQ(SalPathSplit("a.b", nullptr, 3, nullptr, 0, name, sizeof name, nullptr, 0), 0);
  EXPECT_EQ(SalPathSplit("a.b", drive, 0, nullptr, 0, nullptr, 0, nullptr, 0), 0);
  EXPECT_EQ(SalPathSplit(nullptr, nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0), 0);

  CCommonString d, n, e;
  const std::string p = Tr("C:\\x\\file.txt", Native());
  EXPECT_EQ(SalPathSplit(p.c_str(), &d, nullptr, &n, &e), 1);
  EXPECT_STREQ(d.CStr(), "C:");
  EXPECT_STREQ(n.CStr(), "file");
  EXPECT_STREQ(e.CStr(), ".txt");
}

TEST(SalPath, StringFormsWorkOnTheFirst255Bytes) {
  // 3 + 100 + 1 + 200 bytes: the copy ends inside the last name.
  const std::string dir = Tr("C:\\", Native()) + std::string(100, 'a') + Native();
  const std::string longPath = dir + std::string(200, 'b');
  CCommonString parent;
  EXPECT_EQ(SalPathGetParentDir(longPath.c_str(), parent), static_cast<int>(dir.size()));
  EXPECT_STREQ(parent.CStr(), dir.c_str());
  CCommonString name;
  // Parts taken out of the path are bounded, not the path they come from.
  EXPECT_EQ(SalPathGetFileName(longPath.c_str(), name), 200);

  CCommonString s(longPath.c_str());
  EXPECT_EQ(SalPathSetFileName(s, "short.txt"), static_cast<int>(dir.size()) + 9);
  EXPECT_EQ(std::string(s.CStr()), dir + "short.txt");
}
