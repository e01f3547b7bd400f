// path_test.cpp - the path text rules, with the Windows separator and the
// POSIX one on every machine; each table row also goes through the public
// Sal path functions, which apply the rules with the platform's separator.
#include "platform/path.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/directory.h"
#include "platform/path_rules.h"
#include "support/dbcs_fixture.h"
#include "support/expect_pairs.h"

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

std::string Tn(const char *text) { return Tr(text, CSalDirectory::GetSeparator()); }

// One part taken out of a path: the rule and the public buffer, string and
// value forms.
struct Extractor {
  const char *name;
  int (*rule)(char, const char *, char *, size_t);
  int (*buffer)(const char *, char *, size_t);
  int (*string)(const char *, CCommonString &);
  CCommonString (*value)(const char *);
};
#define PUBLIC_FORMS(fn)                                                                        \
  [](const char *p, char *o, size_t c) { return fn(p, o, c); },                                 \
      [](const char *p, CCommonString &s) { return fn(p, s); }, [](const char *p) { return fn(p); }
#define NO_SEP(fn) [](char, const char *p, char *o, size_t c) { return path::fn(p, o, c); }

const Extractor kDir{"GetDir", path::GetDir, PUBLIC_FORMS(SalPathGetDir)};
const Extractor kDrive{"GetDrive", NO_SEP(GetDrive), PUBLIC_FORMS(SalPathGetDrive)};
const Extractor kDirNoDrive{"GetDirNoDrive", path::GetDirNoDrive, PUBLIC_FORMS(SalPathGetDirNoDrive)};
const Extractor kName{"GetFileName", path::GetFileName, PUBLIC_FORMS(SalPathGetFileName)};
const Extractor kTitle{"GetFileTitle", path::GetFileTitle, PUBLIC_FORMS(SalPathGetFileTitle)};
const Extractor kExt{"GetExtension", NO_SEP(GetExtension), PUBLIC_FORMS(SalPathGetExtension)};
const Extractor kNoExt{"RemoveExtension", NO_SEP(RemoveExtension), PUBLIC_FORMS(SalPathRemoveExtension)};
const Extractor kParent{"GetParentDir", path::GetParentDir, PUBLIC_FORMS(SalPathGetParentDir)};
const Extractor kLast{"GetLastName", NO_SEP(GetLastName),
                      [](const char *p, char *o, size_t c) { return SalPathGetLastName(p, o, c); },
                      [](const char *p, CCommonString &s) { return SalPathGetLastName(p, s); }, nullptr};

// One change of a path in place: the rule and the public buffer and string forms.
struct Editor {
  const char *name;
  int (*rule)(char, char *, size_t, const char *);
  int (*buffer)(char *, size_t, const char *);
  int (*string)(CCommonString &, const char *);
};
#define EDIT_FORMS(fn) \
  [](char *b, size_t c, const char *a) { return fn(b, c, a); }, [](CCommonString &s, const char *a) { return fn(s, a); }
#define EDIT_NO_SEP(fn) [](char, char *b, size_t c, const char *a) { return path::fn(b, c, a); }

const Editor kSetExt{"SetExtension", EDIT_NO_SEP(SetExtension), EDIT_FORMS(SalPathSetExtension)};
const Editor kSetTitle{"SetFileTitle", path::SetFileTitle, EDIT_FORMS(SalPathSetFileTitle)};
const Editor kSetName{"SetFileName", path::SetFileName, EDIT_FORMS(SalPathSetFileName)};
const Editor kSetDirNoDrive{"SetDirNoDrive", path::SetDirNoDrive, EDIT_FORMS(SalPathSetDirNoDrive)};
const Editor kSetDir{"SetDir", path::SetDir, EDIT_FORMS(SalPathSetDir)};
const Editor kSetDrive{"SetDrive", EDIT_NO_SEP(SetDrive), EDIT_FORMS(SalPathSetDrive)};
}  // namespace

TEST(SalPath, ExtractorsTakeTheirPartOut) {
  const struct {
    const Extractor &f;
    const char *path, *out;
    int result;
  } cases[] = {
      {kDir, "C:\\a\\b.txt", "C:\\a\\", 5},       {kDir, "b.txt", "", 0},        {kDir, "C:a", "", 0},
      {kDir, "\\\\srv\\share\\f", "\\\\srv\\share\\", 12},                      {kDrive, "C:\\a", "C:", 2},
      {kDrive, "\\a", "", 0},                     {kDrive, "C", "", 0},          {kDirNoDrive, "a\\b", "a\\", 2},
      {kDirNoDrive, "C:\\a\\b.txt", "\\a\\", 3},  {kDirNoDrive, "C:b", "", 0},   {kDirNoDrive, "C:\\b", "\\", 1},
      {kName, "C:\\a\\b.txt", "b.txt", 5},        {kName, ".", "", 0},           {kName, "C:\\a\\..", "", 0},
      {kName, "C:\\a\\", "", 0},                  {kName, "C:\\a\\...", "...", 3}, {kName, "C:a", "C:a", 3},
      {kTitle, "C:\\a\\b.tar.gz", "b.tar", 5},    {kTitle, "C:\\a\\.profile", "", 0},
      {kTitle, "C:\\dir.d\\file", "file", 4},     {kExt, "C:\\dir.d\\file", "d\\file", 6},
      {kExt, "a.tar.gz", "gz", 2},                {kExt, "noext", "", 0},        {kExt, "a.", "", 0},
      {kNoExt, "C:\\a\\b.txt", "C:\\a\\b", 10},   {kNoExt, "noext", "noext", 5}, {kParent, "C:\\a\\b", "C:\\a\\", 5},
      {kParent, "C:\\a\\b\\", "C:\\a\\", 5},      {kParent, "C:\\a", "C:\\", 3}, {kParent, "C:\\", "C:\\", 3},
      {kParent, "C:a", "C:", 2},                  {kParent, "name", "name", 4},  {kParent, "\\a", "\\", 1},
      {kParent, "a\\", "a", 1},                   {kParent, "\\", "\\", 1},      {kLast, "C:\\a\\b\\", "b", 1},
      {kLast, "\\", "", 0},                       {kLast, "C:", "C:", 2},
  };
  for (const auto &c : cases) {
    for (char sep : kSeps) {
      const std::string p = Tr(c.path, sep);
      SCOPED_TRACE(testing::Message() << c.f.name << " rule, path " << p);
      char out[256];
      std::memset(out, 'X', sizeof out);
      EXPECT_EQ(c.f.rule(sep, p.c_str(), out, sizeof out), c.result);
      EXPECT_EQ(std::string(out), Tr(c.out, sep));
    }
    const std::string p = Tn(c.path);
    SCOPED_TRACE(testing::Message() << c.f.name << " public, path " << p);
    char out[256];
    EXPECT_EQ(c.f.buffer(p.c_str(), out, sizeof out), c.result);
    EXPECT_EQ(std::string(out), Tn(c.out));
    CCommonString s("old");
    EXPECT_EQ(c.f.string(p.c_str(), s), c.result);
    EXPECT_EQ(std::string(s.CStr()), Tn(c.out));
    if (c.f.value != nullptr) { EXPECT_EQ(std::string(c.f.value(p.c_str()).CStr()), Tn(c.out)); }
    // Empty and null paths, null output, capacity 0: no result, and the
    // output cleared where it can be written.
    char small[8] = "keep";
    EXPECT_EQ(c.f.buffer("", small, sizeof small) + c.f.buffer(nullptr, small, sizeof small), 0);
    EXPECT_STREQ(small, "");
    std::strcpy(small, "keep");
    EXPECT_EQ(c.f.buffer("a.b", small, 0) + c.f.buffer("a.b", nullptr, 8), 0);
    EXPECT_STREQ(small, "keep");
    EXPECT_EQ(c.f.string(nullptr, s), 0);
    EXPECT_STREQ(s.CStr(), "");
  }
  // Slashes are last-name separators everywhere.
  char out[16];
  EXPECT_EQ(SalPathGetLastName("C:\\a/bc//", out, sizeof out), 2);
  EXPECT_STREQ(out, "bc");
  // Parts taken out of a long path are bounded, not the path they come
  // from: 3 + 100 + 1 + 200 bytes.
  const std::string dir = Tn("C:\\") + std::string(100, 'a') + CSalDirectory::GetSeparator();
  const std::string longPath = dir + std::string(200, 'b');
  CCommonString parent, name;
  EXPECT_EQ(SalPathGetParentDir(longPath.c_str(), parent), static_cast<int>(dir.size()));
  EXPECT_EQ(std::string(parent.CStr()), dir);
  EXPECT_EQ(SalPathGetFileName(longPath.c_str(), name), 200);
  CCommonString s(longPath.c_str());
  EXPECT_EQ(SalPathSetFileName(s, "short.txt"), static_cast<int>(dir.size()) + 9);
  EXPECT_EQ(std::string(s.CStr()), dir + "short.txt");
}

TEST(SalPath, RootsSeparatorsFullPathsAndSameDirectories) {
  struct Case {
    const char *path;
    int root;
    int lastSeparator;  // index of FindLastSeparator, -1 for none
  } cases[] = {{"\\", 1, 0},    {"C:\\", 1, 2}, {"C:", 0, 1},  {"C:\\a\\", 0, 4}, {"", 0, -1},
               {"\\\\", 0, 1}, {"ab", 0, -1},  {"a:b\\c", 0, 3}, {"x\\y:z", 0, 3}};
  for (const Case &c : cases) {
    for (char sep : kSeps) {
      const std::string p = Tr(c.path, sep);
      SCOPED_TRACE(p);
      EXPECT_EQ(path::IsRootPath(sep, p.c_str()), c.root);
      const char *last = path::FindLastSeparator(sep, p.c_str());
      EXPECT_EQ(last == nullptr ? -1 : static_cast<int>(last - p.c_str()), c.lastSeparator);
    }
    const std::string p = Tn(c.path);
    EXPECT_EQ(CSalDirectory::IsRootPath(p.c_str()), c.root);
    const char *last = CSalDirectory::FindLastSeparator(p.c_str());
    EXPECT_EQ(last == nullptr ? -1 : static_cast<int>(last - p.c_str()), c.lastSeparator);
  }
  EXPECT_EQ(CSalDirectory::IsRootPath(nullptr), 0);
  EXPECT_EQ(CSalDirectory::FindLastSeparator(nullptr), nullptr);

  // Windows knows drives, UNC names and both slashes and ignores case;
  // POSIX names are case-sensitive.
  EXPECT_PAIRS(int, {{path::IsFull('\\', "C:\\a"), 1},   {path::IsFull('\\', "\\\\srv\\x"), 1},
                     {path::IsFull('\\', "a\\b"), 0},    {path::IsFull('\\', "\\a"), 0},
                     {path::IsFull('\\', "C:/a"), 0},    {path::IsFull('/', "/a"), 1},
                     {path::IsFull('/', "a/b"), 0},      {path::IsFull('/', "C:/a"), 1},
                     {SalPathIsFull(Tn("\\\\srv\\x").c_str()), 1}, {SalPathIsFull(nullptr), 0},
                     {SalPathIsSeparator('\\'), 1},      {SalPathIsSeparator('/'), 1}, {SalPathIsSeparator(':'), 0},
                     {path::IsSameDir('\\', "C:\\Data\\x.txt", "c:/data/y.txt"), 1},
                     {path::IsSameDir('\\', "C:\\a\\x", "C:\\b\\x"), 0}, {path::IsSameDir('\\', "x.txt", "y.txt"), 1},
                     {path::IsSameDir('/', "/data/x", "/data/y"), 1}, {path::IsSameDir('/', "/data/x", "/Data/x"), 0},
                     {path::IsSameDir('/', "/a/x", "/a/b/x"), 0}, {SalPathIsSameDir(nullptr, "x"), 0},
                     {SalPathIsSameDir(Tn("C:\\dir\\one").c_str(), Tn("C:\\dir\\two").c_str()), 1}});
}

TEST(SalPath, InPlaceEditsComposeTheirPartsInsideTheCapacity) {
  const struct {
    const Editor &f;
    const char *before, *arg, *after;
    int result;
    size_t capacity;  // 0: the whole buffer, and the public forms too
  } cases[] = {
      {kSetExt, "file.txt", "log", "file.log", 3, 0},         {kSetExt, "file.txt", ".log", "file.log", 4, 0},
      {kSetExt, "a.b\\file", "log", "a.log", 3, 0},           {kSetExt, "file", "log", "file.log", 3, 0},
      {kSetExt, "f.txt", "html", "f.htm", 3, 6},  // appends what fits
      {kSetTitle, "C:\\a\\file", "new", "C:\\a\\new.", 9, 0},
      {kSetTitle, "C:\\a\\old.txt", "new", "C:\\a\\new.txt", 12, 0},
      // SetFileTitle counts what the bounded copy wrote.
      {kSetTitle, "C:\\file.txt", "longtitle", "C:\\longtitl", 11, 12},
      {kSetName, "C:\\a\\old.txt", "new.log", "C:\\a\\new.log", 12, 0}, {kSetName, "old", "new", "new", 3, 0},
      {kSetDirNoDrive, "C:\\a\\f.txt", "b\\c", "C:\\b\\c\\f.txt", 12, 0},
      {kSetDirNoDrive, "C:\\a\\f.txt", "\\b\\", "C:\\b\\f.txt", 10, 0},
      {kSetDirNoDrive, "f.txt", "d", "\\d\\f.txt", 8, 0},
      {kSetDir, "C:\\a\\f.txt", "D:\\x", "D:\\x\\f.txt", 5, 0},
      {kSetDir, "C:\\a\\f.txt", "D:\\x\\", "D:\\x\\f.txt", 5, 0},
      {kSetDir, "C:\\a\\", "D:\\x", "D:\\x\\", 0, 0},
      // The directory and its separator fill the buffer; no byte of the name fits.
      {kSetDir, "C:\\f.txt", "D:\\longer", "D:\\longer\\", 0, 11},
      {kSetDir, "C:\\file.txt", "D:\\x", "D:\\x\\file.t", 6, 12},
      {kSetDrive, "C:\\a", "D", "D:\\a", 1, 0}, {kSetDrive, "\\a", "D", "\\a", 0, 0}, {kSetDrive, "C:\\a", "", "C:\\a", 0, 0},
  };
  for (const auto &c : cases) {
    for (char sep : kSeps) {
      SCOPED_TRACE(testing::Message() << c.f.name << " sep " << sep << " " << Tr(c.before, sep));
      char buffer[256];
      std::strcpy(buffer, Tr(c.before, sep).c_str());
      EXPECT_EQ(c.f.rule(sep, buffer, c.capacity != 0 ? c.capacity : sizeof buffer, Tr(c.arg, sep).c_str()),
                c.result);
      EXPECT_EQ(std::string(buffer), Tr(c.after, sep));
    }
    SCOPED_TRACE(testing::Message() << c.f.name << " public " << c.before);
    char buffer[256] = "C:\\keep";
    EXPECT_EQ(c.f.buffer(nullptr, 16, "x") + c.f.buffer(buffer, 16, nullptr) + c.f.buffer(buffer, 0, "x"), 0);
    EXPECT_STREQ(buffer, "C:\\keep");
    if (c.capacity != 0) continue;
    std::strcpy(buffer, Tn(c.before).c_str());
    EXPECT_EQ(c.f.buffer(buffer, sizeof buffer, Tn(c.arg).c_str()), c.result);
    EXPECT_EQ(std::string(buffer), Tn(c.after));
    CCommonString s(Tn(c.before).c_str());
    EXPECT_EQ(c.f.string(s, Tn(c.arg).c_str()), c.result);
    EXPECT_EQ(std::string(s.CStr()), Tn(c.after));
  }
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
  char buffer[8] = "C:\\a/";  // the other slash is not the separator here
  EXPECT_STREQ(path::RemoveSeparator('\\', buffer, sizeof buffer), "C:\\a/");
  EXPECT_EQ(SalPathAddSeparator(nullptr, 8), nullptr);
  EXPECT_EQ(SalPathRemoveSeparator(nullptr, 8), nullptr);
  std::strcpy(buffer, Tn("C:\\a").c_str());
  EXPECT_EQ(Tn("C:\\a\\"), SalPathAddSeparator(buffer, sizeof buffer));
  EXPECT_EQ(Tn("C:\\a"), SalPathRemoveSeparator(buffer, sizeof buffer));
}

TEST(SalPath, JoinLastTwoNames) {
  char out[32] = "untouched";
  EXPECT_STREQ(SalPathJoinLastTwoNames("C:\\x\\Project\\Tool\\", out, sizeof out), "Project-Tool");
  EXPECT_STREQ(SalPathJoinLastTwoNames("\\a/b//", out, sizeof out), "a-b");
  std::strcpy(out, "untouched");
  for (const char *input : {"a\\b", "\\b"}) EXPECT_EQ(SalPathJoinLastTwoNames(input, out, sizeof out), input);
  // "Project-Tool" needs 13 bytes with its terminator.
  const char *tight = "C:\\x\\Project\\Tool";
  EXPECT_EQ(SalPathJoinLastTwoNames(tight, out, 12), tight);
  EXPECT_STREQ(out, "untouched");
  EXPECT_EQ(SalPathJoinLastTwoNames(tight, out, 13), out);
  EXPECT_EQ(SalPathJoinLastTwoNames(nullptr, out, sizeof out), nullptr);
  CCommonString s("old");
  EXPECT_EQ(SalPathJoinLastTwoNames("a\\b", s), 0);
  EXPECT_EQ(SalPathJoinLastTwoNames("/x/Project/Tool", s), 1);
  EXPECT_STREQ(s.CStr(), "Project-Tool");
}

TEST(SalPath, MakeFullNormalises) {
  struct Case {
    const char *path;
    const char *base;  // "-" for none: the current directory
    const char *after;
    int result;
  } cases[] = {
      {"C:\\a\\.\\b\\..\\c", "-", "C:\\a\\c", 1}, {"C:\\a\\.\\.\\b", "-", "C:\\a\\b", 1},
      {"C:\\a\\b\\..", "-", "C:\\a", 1},          {"C:\\a\\b\\c\\..\\..\\d", "-", "C:\\a\\d", 1},
      {"C:\\a\\...\\b", "-", "C:\\a\\...\\b", 0}, {"C:\\..\\x", "-", "C:\\..\\x", 0},
      {"x\\y", "C:/base", "C:\\base\\x\\y", 1},   {"x\\y", "C:\\base\\", "C:\\base\\x\\y", 1},
      {"..\\y", "C:\\base\\", "C:\\y", 1},        {"..\\a", "", "..\\a", 0},
      {"\\..\\a", "", "\\..\\a", 0},              {"a\\..\\b", "", "b", 1},
      {".\\a\\.", "", "a", 1},
      // Dots inside a name are part of the name.
      {"C:\\dir\\file..txt", "-", "C:\\dir\\file..txt", 1}, {"C:\\d..\\x", "-", "C:\\d..\\x", 1},
  };
  for (const Case &c : cases) {
    for (char sep : kSeps) {
      // The C:/base case turns slashes into backslashes: Windows only.
      if (sep == '/' && std::strchr(c.base, '/') != nullptr) continue;
      const std::string p = Tr(c.path, sep);
      SCOPED_TRACE(testing::Message() << "sep " << sep << " " << p);
      char buffer[64];
      std::strcpy(buffer, p.c_str());
      const std::string base = Tr(c.base, sep);
      EXPECT_EQ(path::MakeFull(sep, buffer, sizeof buffer, *c.base == '-' ? nullptr : base.c_str(), "CWD"),
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
  // Without a base the current directory goes in front.
  char current[256];
  ASSERT_EQ(CSalDirectory::GetCurrentDir(current, sizeof current), 1);
  char buffer[300] = "sub";
  ASSERT_EQ(SalPathMakeFull(buffer, sizeof buffer, nullptr), 1);
  std::string expected = current;
  if (expected.back() != CSalDirectory::GetSeparator()) expected += CSalDirectory::GetSeparator();
  EXPECT_EQ(std::string(buffer), expected + "sub");
}

TEST(SalPath, MakeRelativeAndSplit) {
  struct Case {
    const char *path, *base, *out;
    int result;
  } cases[] = {
      {"C:\\a\\x.txt", "C:\\a\\b\\c\\", "../../x.txt", 1}, {"C:\\a\\x.txt", "D:\\a\\", "C:\\a\\x.txt", 1},
      {"C:\\a\\b\\x", "C:\\a\\", "b\\x", 1},               {"C:\\a\\x", "C:\\a\\y", "x", 1},
      {"abc", "abd", "abc", 1},                            {"C:\\a\\b", "C:\\a\\b\\c", "", 0},
      {"C:\\a", "C:\\a", "", 0},
  };
  for (const Case &c : cases) {
    for (char sep : kSeps) {
      const std::string p = Tr(c.path, sep), b = Tr(c.base, sep);
      SCOPED_TRACE(testing::Message() << p << " against " << b);
      char out[64] = "";
      EXPECT_EQ(path::MakeRelative(sep, out, sizeof out, p.c_str(), b.c_str()), c.result);
      if (c.result != 0) { EXPECT_EQ(std::string(out), Tr(c.out, sep)); }
    }
  }
  char out[8];
  EXPECT_EQ(SalPathMakeRelative(out, sizeof out, Tn("C:\\a\\x.txt").c_str(), Tn("C:\\a\\b\\c\\").c_str()), 0);
  EXPECT_STREQ(out, "../../x");
  EXPECT_EQ(SalPathMakeRelative(out, 0, "a", "b") + SalPathMakeRelative(out, sizeof out, nullptr, "b") +
                SalPathMakeRelative(nullptr, sizeof out, "a", "b"),
            0);

  // Split follows the runtime's rules.
  struct Parts {
    char sep;
    const char *path, *drive, *dir, *name, *ext;
  } parts[] = {
      {'\\', "C:\\dir.d\\file.tar.gz", "C:", "\\dir.d\\", "file.tar", ".gz"},
      {'\\', "dir/sub\\name", "", "dir/sub\\", "name", ""},
      {'/', "dir/sub\\name", "", "dir/", "sub\\name", ""},
      {'\\', ".bashrc", "", "", "", ".bashrc"},
      {'\\', "C:", "C:", "", "", ""},
  };
  for (const Parts &c : parts) {
    SCOPED_TRACE(c.path);
    char drive[8], dir[32], name[32], ext[16];
    EXPECT_EQ(path::Split(c.sep, c.path, drive, sizeof drive, dir, sizeof dir, name, sizeof name, ext, sizeof ext),
              1);
    EXPECT_EQ(std::string(drive) + "|" + dir + "|" + name + "|" + ext,
              std::string(c.drive) + "|" + c.dir + "|" + c.name + "|" + c.ext);
  }
  // A part that does not fit empties every output.
  char drive[3] = "x", dir[4] = "x", name[32] = "x", ext[8] = "x";
  EXPECT_EQ(SalPathSplit(Tn("C:\\long\\f.txt").c_str(), drive, sizeof drive, dir, sizeof dir, name, sizeof name,
                         ext, sizeof ext),
            0);
  EXPECT_EQ(std::string(drive) + dir + name + ext, "");
  // Skipped outputs, and the inconsistent pairs.
  EXPECT_EQ(SalPathSplit("a.b", nullptr, 0, nullptr, 0, name, sizeof name, nullptr, 0), 1);
  EXPECT_STREQ(name, "a");
  EXPECT_EQ(SalPathSplit("a.b", nullptr, 3, nullptr, 0, name, sizeof name, nullptr, 0) +
                SalPathSplit("a.b", drive, 0, nullptr, 0, nullptr, 0, nullptr, 0) +
                SalPathSplit(nullptr, nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0),
            0);
  CCommonString d, n, e;
  EXPECT_EQ(SalPathSplit(Tn("C:\\x\\file.txt").c_str(), &d, nullptr, &n, &e), 1);
  EXPECT_EQ(std::string(d.CStr()) + "|" + n.CStr() + "|" + e.CStr(), "C:|file|.txt");
}

// Shift_JIS paths (run again in a real code page 932 process): copies are
// cut on whole characters, and "\x95\x5C" is one character whose trail byte
// is the backslash, never a separator.
using SalPathDbcs = Cp932Test;

TEST_F(SalPathDbcs, PartsAreCutOnWholeCharactersAndTrailBytesAreNoSeparators) {
  // "result:part" of an extractor's rule with a capacity.
  auto part = [](const Extractor &f, const char *p, size_t capacity) {
    char out[64];
    const int n = f.rule('\\', p, out, capacity);
    return std::to_string(n) + ":" + out;
  };
  EXPECT_PAIRS(std::string, {{part(kName, "C:\\dir\\abcdef", 4), "3:abc"}, {part(kName, "ab\x95\x5C", 4), "2:ab"},
                             {part(kDir, "x\x95\x5C\\y", 4), "3:x\x95\x5C"},
                             {part(kName, "C:\\d\\\x95\x5C", 64), "2:\x95\x5C"},
                             {part(kDir, "C:\\d\\\x95\x5C", 64), "5:C:\\d\\"},
                             {part(kParent, "C:\\\x95\x5C", 64), "3:C:\\"},
                             {part(kLast, "a\\\x95\x5C", 64), "2:\x95\x5C"}});
  EXPECT_EQ(path::IsRootPath('\\', "\x95\x5C"), 0);
  char buffer[64];
  EXPECT_STREQ(path::JoinLastTwoNames("\\\x95\x5C\\b", buffer, sizeof buffer), "\x95\x5C-b");
  std::strcpy(buffer, "C:\\\x95\x5C");
  EXPECT_STREQ(path::AddSeparator('\\', buffer, sizeof buffer), "C:\\\x95\x5C\\");
  std::strcpy(buffer, "C:\\\x95\x5C");
  EXPECT_STREQ(path::RemoveSeparator('\\', buffer, sizeof buffer), "C:\\\x95\x5C");
  // The name before ".." is the double-byte one, not what follows its trail.
  std::strcpy(buffer, "C:\\\x95\x5C\\..\\x");
  EXPECT_EQ(path::MakeFull('\\', buffer, sizeof buffer, nullptr, nullptr), 1);
  EXPECT_STREQ(buffer, "C:\\x");
}
