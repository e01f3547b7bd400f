// directory_test.cpp - CSalDirectory: path and state rules, searches and the
// recursive walk, creation, renaming, deletion and removal, the current
// directory and the special folders.  Everything on disk happens inside a
// private temporary folder.
#include "platform/directory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "base/common_string.h"
#include "base/last_error.h"
#include "base/sal_config.h"
#include "base/sal_errors.h"
#include "platform/file.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {
constexpr uint32_t kSentinel = 0x12345678;
const char kSep = CSalDirectory::GetSeparator();

std::string Join(const std::string &a, const std::string &b) { return a + kSep + b; }

void Touch(const std::string &path) {
  std::FILE *f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr) << path;
  std::fputs("x", f);
  std::fclose(f);
}

void MakeDir(const std::string &path) { ASSERT_TRUE(fs::create_directory(path)) << path; }

// Hidden on every platform: a dot name, and the attribute where there is one.
std::string MakeHidden(const std::string &dir, const std::string &name, bool directory) {
  const std::string path = Join(dir, name);
  if (directory) {
    fs::create_directory(path);
  } else {
    Touch(path);
  }
  CSalFile file;
  file.SetPath(path.c_str());
  file.SetAttributes(SAL_ATTR_HIDDEN);
  return path;
}

void MakeReadOnly(const std::string &path) {
  fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
}

// The names a search delivers, in its order.
std::vector<std::string> Names(CSalDirectory &dir, const char *pattern, int recursive) {
  std::vector<std::string> names;
  if (!dir.FindFirst(pattern, recursive)) return names;
  do names.push_back(dir.GetFoundName());
  while (dir.FindNext());
  return names;
}

// The paths a search delivers through GetFoundFile, relative to root, with
// '/' between names; "." and ".." entries left out.
std::vector<std::string> FoundPaths(CSalDirectory &dir, const std::string &root, const char *pattern,
                                    int recursive) {
  std::vector<std::string> paths;
  if (!dir.FindFirst(pattern, recursive)) return paths;
  do {
    const std::string name = dir.GetFoundName();
    if (name == "." || name == "..") continue;
    CSalFile file;
    EXPECT_EQ(dir.GetFoundFile(file), 1);
    std::string p = file.Path();
    EXPECT_EQ(p.compare(0, root.size() + 1, root + kSep), 0) << p;
    p.erase(0, root.size() + 1);
    std::replace(p.begin(), p.end(), kSep, '/');
    paths.push_back(p);
  } while (dir.FindNext());
  return paths;
}

std::set<std::string> Sorted(const std::vector<std::string> &v) { return {v.begin(), v.end()}; }

// Puts the process in dir for one test and back afterwards.
class InDirectory {
 public:
  explicit InDirectory(const std::string &dir) : old_(fs::current_path()) { fs::current_path(dir); }
  ~InDirectory() { fs::current_path(old_); }

 private:
  fs::path old_;
};

}  // namespace

// ---- path and state --------------------------------------------------------

TEST(CSalDirectory, SetPathStoresTheTextAsItIsCutAt255Bytes) {
  CSalDirectory dir;
  EXPECT_STREQ(dir.Path(), "");
  EXPECT_EQ(dir.SetPath("x:\\not\\checked\\"), 1);
  char buffer[8];
  EXPECT_EQ(dir.GetPath(buffer, sizeof buffer), 1);
  EXPECT_STREQ(buffer, "x:\\not\\");
  EXPECT_STREQ(dir.Path(), "x:\\not\\checked\\");
  const std::string longPath(300, 'p');
  EXPECT_EQ(dir.SetPath(longPath.c_str()), 1);
  EXPECT_EQ(std::string(dir.Path()), longPath.substr(0, 255));
  EXPECT_EQ(dir.SetPath(nullptr), 1);
  EXPECT_STREQ(dir.Path(), "");
}

TEST(CSalDirectory, OperationsOnTheCutPathWorkOnWhatWasKept) {
  TempDir tmp;
  // A file whose path is exactly 255 bytes; the object is given more.
  const size_t dirLength = 240;
  const std::string dir = Join(tmp.Path(), std::string(dirLength - tmp.Path().size() - 1, 'd'));
  MakeDir(dir);
  const std::string file = Join(dir, std::string(255 - dirLength - 1, 'f'));
  ASSERT_EQ(file.size(), 255u);
  Touch(file);
  CSalDirectory d;
  d.SetPath((file + "-beyond-the-limit").c_str());
  EXPECT_EQ(std::string(d.Path()), file);
  EXPECT_EQ(d.Exists(), 1);
  EXPECT_EQ(d.IsReadOnly(), 0);  // a file is no read-only directory
}

TEST(CSalDirectory, ExistsAndIsReadOnly) {
  TempDir tmp;
  CSalDirectory dir;
  dir.SetPath(tmp.Path().c_str());
  EXPECT_EQ(dir.Exists(), 1);
  EXPECT_EQ(dir.IsReadOnly(), 0);
  dir.SetPath((tmp.Path() + kSep).c_str());
  EXPECT_EQ(dir.Exists(), 1);
  EXPECT_EQ(dir.IsReadOnly(), 0);

  dir.SetPath(Join(tmp.Path(), "missing").c_str());
  EXPECT_EQ(dir.Exists(), 0);
  EXPECT_EQ(dir.IsReadOnly(), 0);
  CSalDirectory none;
  EXPECT_EQ(none.Exists(), 0);

  const std::string locked = Join(tmp.Path(), "locked");
  MakeDir(locked);
  MakeReadOnly(locked);
  dir.SetPath(locked.c_str());
  // Wine keeps no read-only attribute on directories: check what the
  // platform reports, then that IsReadOnly follows it.
  CSalDirectory parent;
  parent.SetPath(tmp.Path().c_str());
  ASSERT_EQ(parent.FindFirst("locked", 0), 1);
  const bool readOnly = (parent.GetFoundAttributes() & SAL_DIR_ATTR_READONLY) != 0;
  if (SAL_OS_POSIX) {
    EXPECT_TRUE(readOnly);
  }
  EXPECT_EQ(dir.IsReadOnly(), readOnly ? 1 : 0);
}

TEST(CSalDirectory, OperationsThatCloseSearchesAndIsEmptyWhichLeavesItsOpen) {
  TempDir tmp;
  Touch(Join(tmp.Path(), "a"));
  CSalDirectory dir;
  dir.SetPath(tmp.Path().c_str());

  struct Step {
    const char *name;
    void (*run)(CSalDirectory &, const std::string &);
  } closers[] = {
      {"SetPath", [](CSalDirectory &d, const std::string &p) { d.SetPath(p.c_str()); }},
      {"Create", [](CSalDirectory &d, const std::string &p) { EXPECT_EQ(d.Create(p.c_str()), 0); }},
      {"DeleteFiles", [](CSalDirectory &d, const std::string &) { d.DeleteFiles("*.none", 0); }},
  };
  for (const Step &step : closers) {
    SCOPED_TRACE(step.name);
    ASSERT_EQ(dir.FindFirst("*", 0), 1);
    step.run(dir, tmp.Path());
    SalSetLastError(kSentinel);
    EXPECT_EQ(dir.FindNext(), 0);
    EXPECT_EQ(SalGetLastError(), kSalErrNoObject);
    CSalFile file;
    EXPECT_EQ(dir.GetFoundFile(file), 0);
    EXPECT_STREQ(dir.GetFoundName(), "");
  }

  // IsEmpty stops at "a" and leaves the search there.
  EXPECT_EQ(dir.IsEmpty(), 0);
  EXPECT_STREQ(dir.GetFoundName(), "a");
  CSalFile file;
  EXPECT_EQ(dir.GetFoundFile(file), 1);
  EXPECT_EQ(std::string(file.Path()), Join(tmp.Path(), "a"));
}

TEST(CSalDirectory, IsEmpty) {
  TempDir tmp;
  CSalDirectory dir;
  dir.SetPath(tmp.Path().c_str());
  EXPECT_EQ(dir.IsEmpty(), 1);
  EXPECT_STREQ(dir.GetFoundName(), "");  // the walk is over: no search open
  // A name ending in a dot is something (Windows drops the dot, POSIX keeps it).
  Touch(Join(tmp.Path(), "end."));
  EXPECT_EQ(dir.IsEmpty(), 0);
  dir.SetPath(Join(tmp.Path(), "missing").c_str());
  EXPECT_EQ(dir.IsEmpty(), 1);
  CSalDirectory none;
  EXPECT_EQ(none.IsEmpty(), 1);
}

// ---- searches ------------------------------------------------------------------

TEST(CSalDirectory, FindListsTheEntriesThatMatch) {
  TempDir tmp;
  for (const char *name : {"a.txt", "b.txt", "c.log", "noext"}) Touch(Join(tmp.Path(), name));
  MakeDir(Join(tmp.Path(), "sub.txt"));
  CSalDirectory dir;
  dir.SetPath(tmp.Path().c_str());

  EXPECT_EQ(Sorted(Names(dir, "*", 0)),
            (std::set<std::string>{".", "..", "a.txt", "b.txt", "c.log", "noext", "sub.txt"}));
  EXPECT_EQ(Sorted(Names(dir, "*.*", 0)), Sorted(Names(dir, "*", 0)));
  EXPECT_EQ(Sorted(Names(dir, "*.txt", 0)), (std::set<std::string>{"a.txt", "b.txt", "sub.txt"}));
  EXPECT_EQ(Sorted(Names(dir, "?.txt", 0)), (std::set<std::string>{"a.txt", "b.txt"}));

  // Attributes: directory bit on the subdirectory, not on files.
  ASSERT_EQ(dir.FindFirst("sub.txt", 0), 1);
  EXPECT_EQ(dir.GetFoundAttributes(), static_cast<uint32_t>(SAL_DIR_ATTR_DIRECTORY));
  ASSERT_EQ(dir.FindFirst("a.txt", 0), 1);
  EXPECT_EQ(dir.GetFoundAttributes() & SAL_DIR_ATTR_DIRECTORY, 0u);
  // The walk ends, and then no search is open.
  EXPECT_EQ(dir.FindNext(), 0);
  SalSetLastError(kSentinel);
  EXPECT_EQ(dir.FindNext(), 0);
  EXPECT_EQ(SalGetLastError(), kSalErrNoObject);
}

TEST(CSalDirectory, FindFailures) {
  TempDir tmp;
  CSalDirectory dir;
  SalSetLastError(kSentinel);
  EXPECT_EQ(dir.FindFirst("*", 0), 0);
  EXPECT_EQ(SalGetLastError(), kSalErrNoObject);
  EXPECT_EQ(dir.FindNext(), 0);
  EXPECT_EQ(SalGetLastError(), kSalErrNoObject);
  CSalFile file;
  SalSetLastError(kSentinel);
  EXPECT_EQ(dir.GetFoundFile(file), 0);
  EXPECT_EQ(SalGetLastError(), kSalErrNoObject);

  dir.SetPath(tmp.Path().c_str());
  for (const char *pattern : {"*.none", "", static_cast<const char *>(nullptr)}) {
    SalSetLastError(kSentinel);
    EXPECT_EQ(dir.FindFirst(pattern, 1), 0);
    EXPECT_EQ(SalGetLastError(), kSalErrNotFound);
  }
  dir.SetPath(Join(tmp.Path(), "missing").c_str());
  SalSetLastError(kSentinel);
  EXPECT_EQ(dir.FindFirst("*", 0), 0);
  EXPECT_EQ(SalGetLastError(), kSalErrNotFound);
}

TEST(CSalDirectory, GetFoundFileComposesTheEntryPath) {
  TempDir tmp;
  MakeDir(Join(tmp.Path(), "sub"));
  Touch(Join(Join(tmp.Path(), "sub"), "inner.txt"));
  Touch(Join(tmp.Path(), "top.txt"));
  CSalDirectory dir;
  // One trailing separator of the object's path is not doubled.
  dir.SetPath((tmp.Path() + kSep).c_str());
  EXPECT_EQ(Sorted(FoundPaths(dir, tmp.Path(), "*", 0)), (std::set<std::string>{"sub", "top.txt"}));
  // A recursive search composes with the directory it is in.
  EXPECT_EQ(Sorted(FoundPaths(dir, tmp.Path(), "*", 1)),
            (std::set<std::string>{"sub", "sub/inner.txt", "top.txt"}));
}

TEST(CSalDirectory, RecursiveWalkIsPreOrderAndEntersOnlyPlainDirectories) {
  TempDir tmp;
  const std::string root = tmp.Path();
  MakeDir(Join(root, "a"));
  Touch(Join(Join(root, "a"), "a1"));
  MakeDir(Join(Join(root, "a"), "deep"));
  Touch(Join(Join(Join(root, "a"), "deep"), "d1"));
  MakeDir(Join(root, "b"));
  Touch(Join(Join(root, "b"), "b1"));
  Touch(Join(root, "f"));
  const std::string hidden = MakeHidden(root, ".hid", true);
  Touch(Join(hidden, "inside-hidden"));
  const std::string locked = Join(root, "locked");
  MakeDir(locked);
  Touch(Join(locked, "inside-locked"));
  MakeReadOnly(locked);

  CSalDirectory dir;
  dir.SetPath(root.c_str());
  const std::vector<std::string> walk = FoundPaths(dir, root, "*", 1);
  // The walk ends with every search closed.
  EXPECT_STREQ(dir.GetFoundName(), "");
  // Everything but the contents of the hidden directory (and, where the
  // platform keeps the attribute, of the read-only one).
  std::set<std::string> expected = {"a", "a/a1", "a/deep", "a/deep/d1", "b", "b/b1",
                                    "f", ".hid", "locked"};
  ASSERT_EQ(dir.FindFirst("locked", 0), 1);
  if ((dir.GetFoundAttributes() & SAL_DIR_ATTR_READONLY) == 0) expected.insert("locked/inside-locked");
  EXPECT_EQ(Sorted(walk), expected);
  // Pre-order: every entry comes after its directory's entry, and a
  // directory's contents are contiguous.
  for (size_t i = 0; i < walk.size(); ++i) {
    const size_t slash = walk[i].rfind('/');
    if (slash == std::string::npos) continue;
    const std::string parent = walk[i].substr(0, slash);
    const auto at = std::find(walk.begin(), walk.end(), parent);
    ASSERT_NE(at, walk.end());
    for (auto k = at + 1; k != walk.begin() + static_cast<long>(i); ++k)
      EXPECT_EQ(k->compare(0, parent.size() + 1, parent + "/"), 0) << *k << " inside " << parent;
  }
}

TEST(CSalDirectory, RecursivePatternFiltersSubdirectoryNames) {
  TempDir tmp;
  const std::string root = tmp.Path();
  MakeDir(Join(root, "plain"));
  Touch(Join(Join(root, "plain"), "x.txt"));
  MakeDir(Join(root, "dir.txt"));
  Touch(Join(Join(root, "dir.txt"), "y.txt"));
  Touch(Join(Join(root, "dir.txt"), "z.log"));
  Touch(Join(root, "top.txt"));
  CSalDirectory dir;
  dir.SetPath(root.c_str());
  EXPECT_EQ(Sorted(FoundPaths(dir, root, "*.txt", 1)),
            (std::set<std::string>{"dir.txt", "dir.txt/y.txt", "top.txt"}));
}

TEST(CSalDirectory, WalkGoesOnWhenASubdirectoryVanishes) {
  TempDir tmp;
  const std::string root = tmp.Path();
  for (const char *name : {"a", "b", "c"}) {
    MakeDir(Join(root, name));
    Touch(Join(Join(root, name), "file"));
  }
  CSalDirectory dir;
  dir.SetPath(root.c_str());
  ASSERT_EQ(dir.FindFirst("*", 1), 1);
  std::vector<std::string> seen;
  int steps = 0;
  do {
    const std::string name = dir.GetFoundName();
    CSalFile file;
    dir.GetFoundFile(file);
    seen.push_back(file.Path());
    // Take the directory away after its entry was reported, before the walk
    // would descend into it.
    if (name == "b") fs::remove_all(Join(root, "b"));
  } while (dir.FindNext() && ++steps < 100);
  EXPECT_LT(steps, 100);
  EXPECT_NE(std::find(seen.begin(), seen.end(), Join(Join(root, "a"), "file")), seen.end());
  EXPECT_NE(std::find(seen.begin(), seen.end(), Join(Join(root, "c"), "file")), seen.end());
  EXPECT_EQ(std::find(seen.begin(), seen.end(), Join(Join(root, "b"), "file")), seen.end());
}

TEST(CSalDirectory, SearchEndsCleanlyWhenItsDirectoryIsRemoved) {
  TempDir tmp;
  const std::string root = Join(tmp.Path(), "going");
  MakeDir(root);
  for (int i = 0; i < 20; ++i) Touch(Join(root, "f" + std::to_string(i)));
  CSalDirectory dir;
  dir.SetPath(root.c_str());
  ASSERT_EQ(dir.FindFirst("*", 1), 1);
  std::error_code ec;
  fs::remove_all(root, ec);  // Windows may refuse while the search is open
  int steps = 0;
  while (dir.FindNext()) ASSERT_LT(++steps, 100);
  EXPECT_EQ(dir.FindNext(), 0);
  EXPECT_STREQ(dir.GetFoundName(), "");
}

// ---- creating and renaming -------------------------------------------------------

TEST(CSalDirectory, CreatePathCreatesEveryMissingLevel) {
  TempDir tmp;
  const std::string top = Join(tmp.Path(), "x");
  const std::string deep = Join(Join(top, "y"), "z");
  EXPECT_EQ(CSalDirectory::CreatePath(deep.c_str()), 1);
  EXPECT_TRUE(fs::is_directory(deep));
  EXPECT_EQ(CSalDirectory::CreatePath(deep.c_str()), 0);
  EXPECT_EQ(CSalDirectory::CreatePath((Join(deep, "w") + kSep).c_str()), 1);
  EXPECT_EQ(CSalDirectory::CreatePath(""), 0);
  EXPECT_EQ(CSalDirectory::CreatePath(nullptr), 0);

  // A file in the way is a failure, and nothing is created under it.
  Touch(Join(tmp.Path(), "file"));
  EXPECT_EQ(CSalDirectory::CreatePath(Join(Join(tmp.Path(), "file"), "sub").c_str()), -2);

  // A relative path succeeds only from an existing first name.
  InDirectory here(tmp.Path());
  SalSetLastError(kSentinel);
  EXPECT_EQ(CSalDirectory::CreatePath("vbs-no-such-name"), -2);
  EXPECT_EQ(SalGetLastError(), kSalErrNotFound);
  EXPECT_FALSE(fs::exists(Join(tmp.Path(), "vbs-no-such-name")));
  EXPECT_EQ(CSalDirectory::CreatePath(Join("missing", "sub").c_str()), -2);
  EXPECT_FALSE(fs::exists(Join(tmp.Path(), "missing")));
  EXPECT_EQ(CSalDirectory::CreatePath(Join("x", "new").c_str()), 1);
  EXPECT_TRUE(fs::is_directory(Join(top, "new")));
}

TEST(CSalDirectory, CreateBindsThePathOnSuccessOnly) {
  TempDir tmp;
  CSalDirectory dir;
  const std::string target = Join(Join(tmp.Path(), "p"), "q");
  SalSetLastError(kSentinel);
  EXPECT_EQ(dir.Create(nullptr), -2);
  EXPECT_EQ(SalGetLastError(), kSalErrArgument);
  EXPECT_EQ(dir.Create(""), -2);
  EXPECT_EQ(dir.Create(target.c_str()), 1);
  EXPECT_EQ(std::string(dir.Path()), target);
  EXPECT_EQ(dir.Exists(), 1);
  EXPECT_EQ(dir.Create(tmp.Path().c_str()), 0);
  EXPECT_EQ(std::string(dir.Path()), tmp.Path());
  Touch(Join(tmp.Path(), "file"));
  EXPECT_EQ(dir.Create(Join(Join(tmp.Path(), "file"), "x").c_str()), -2);
  EXPECT_EQ(std::string(dir.Path()), tmp.Path());
}

TEST(CSalDirectory, RenameKeepsTheParentForABareName) {
  TempDir tmp;
  const std::string old = Join(tmp.Path(), "old");
  MakeDir(old);
  CSalDirectory dir;
  SalSetLastError(kSentinel);
  EXPECT_EQ(dir.Rename("x"), 0);
  EXPECT_EQ(SalGetLastError(), kSalErrNoObject);
  dir.SetPath(old.c_str());
  EXPECT_EQ(dir.Rename(""), 0);
  EXPECT_EQ(SalGetLastError(), kSalErrArgument);
  EXPECT_EQ(dir.Rename(nullptr), 0);

  EXPECT_EQ(dir.Rename("other"), 1);
  EXPECT_EQ(std::string(dir.Path()), Join(tmp.Path(), "other") + kSep);
  EXPECT_TRUE(fs::is_directory(Join(tmp.Path(), "other")));
  EXPECT_FALSE(fs::exists(old));

  const std::string full = Join(tmp.Path(), "new");
  EXPECT_EQ(dir.Rename(full.c_str()), 1);
  EXPECT_EQ(std::string(dir.Path()), full);

  // An existing target is not replaced.
  MakeDir(Join(tmp.Path(), "taken"));
  EXPECT_EQ(dir.Rename("taken"), 0);
  EXPECT_EQ(std::string(dir.Path()), full);
  EXPECT_TRUE(fs::is_directory(full));
}

// ---- deleting and removing ---------------------------------------------------------

TEST(CSalDirectory, DeleteFilesLeavesHiddenSystemAndSubdirectories) {
  TempDir tmp;
  const std::string root = tmp.Path();
  Touch(Join(root, "a.tmp"));
  Touch(Join(root, "b.tmp"));
  Touch(Join(root, "keep.txt"));
  MakeHidden(root, ".h.tmp", false);
  const std::string system = Join(root, "s.tmp");
  Touch(system);
  CSalFile sys;
  sys.SetPath(system.c_str());
  sys.SetAttributes(SAL_ATTR_SYSTEM);
  MakeDir(Join(root, "d.tmp"));

  CSalDirectory dir;
  dir.SetPath(root.c_str());
  ASSERT_EQ(dir.FindFirst("s.tmp", 0), 1);
  const bool systemKept = (dir.GetFoundAttributes() & SAL_DIR_ATTR_SYSTEM) != 0;
  EXPECT_EQ(dir.DeleteFiles("*.tmp", 0), 1);
  EXPECT_FALSE(fs::exists(Join(root, "a.tmp")));
  EXPECT_FALSE(fs::exists(Join(root, "b.tmp")));
  EXPECT_TRUE(fs::exists(Join(root, "keep.txt")));
  EXPECT_TRUE(fs::exists(Join(root, ".h.tmp")));
  EXPECT_TRUE(fs::is_directory(Join(root, "d.tmp")));
  EXPECT_EQ(fs::exists(system), systemKept);

  // Nothing matches: nothing to do, success.
  EXPECT_EQ(dir.DeleteFiles("*.none", 1), 1);
  // With recursive = 1 the matching subdirectory goes too.
  Touch(Join(Join(root, "d.tmp"), "inner"));
  EXPECT_EQ(dir.DeleteFiles("*.tmp", 1), 1);
  EXPECT_FALSE(fs::exists(Join(root, "d.tmp")));
  // Only exactly 1 means recursive.
  MakeDir(Join(root, "e.tmp"));
  EXPECT_EQ(dir.DeleteFiles("*.tmp", 2), 1);
  EXPECT_TRUE(fs::exists(Join(root, "e.tmp")));

  CSalDirectory none;
  SalSetLastError(kSentinel);
  EXPECT_EQ(none.DeleteFiles("*", 1), 0);
  EXPECT_EQ(SalGetLastError(), kSalErrNoObject);
}

TEST(CSalDirectory, DeleteFilesGoesOnAfterARefusedFile) {
  TempDir tmp;
  const std::string root = tmp.Path();
  for (const char *name : {"1", "2", "3", "4"}) Touch(Join(root, name));
  MakeReadOnly(Join(root, "2"));
  CSalDirectory dir;
  dir.SetPath(root.c_str());
  EXPECT_EQ(dir.DeleteFiles("*", 0), 0);
  EXPECT_TRUE(fs::exists(Join(root, "2")));
  for (const char *name : {"1", "3", "4"}) EXPECT_FALSE(fs::exists(Join(root, name))) << name;
}

TEST(CSalDirectory, DeleteFilesNeverDeletesInPlaceOfAPathItCannotHold) {
  TempDir tmp;
  // root + separator + 19 bytes is 255 bytes, the longest path the object
  // holds; the .tmp file's path is 259 bytes, and cut to 255 it would name
  // the victim.
  const std::string root = Join(tmp.Path(), std::string(235 - tmp.Path().size() - 1, 'r'));
  MakeDir(root);
  const std::string victim = Join(root, std::string(19, 'a'));
  const std::string longer = victim + ".tmp";
  ASSERT_EQ(victim.size(), 255u);
  Touch(victim);
  Touch(longer);
  CSalDirectory dir;
  dir.SetPath(root.c_str());
  EXPECT_EQ(dir.DeleteFiles("*.tmp", 0), 0);
  EXPECT_TRUE(fs::exists(victim));
  EXPECT_TRUE(fs::exists(longer));
}

TEST(CSalDirectory, RemoveDeletesTheWholeTree) {
  TempDir tmp;
  const std::string root = Join(tmp.Path(), "tree");
  CSalDirectory dir;
  ASSERT_EQ(dir.Create(Join(Join(root, "a"), "b").c_str()), 1);
  Touch(Join(Join(Join(root, "a"), "b"), "f"));
  Touch(Join(Join(root, "a"), "g"));
  Touch(Join(root, "h"));
  MakeDir(Join(root, "empty"));
  dir.SetPath(root.c_str());
  EXPECT_EQ(dir.Remove(), 1);
  EXPECT_FALSE(fs::exists(root));
  EXPECT_STREQ(dir.Path(), "");
  SalSetLastError(kSentinel);
  EXPECT_EQ(dir.Remove(), 0);
  EXPECT_EQ(SalGetLastError(), kSalErrNoObject);
}

TEST(CSalDirectory, RemoveStopsAtHiddenAndReadOnlyFiles) {
  TempDir tmp;
  for (const bool hidden : {true, false}) {
    SCOPED_TRACE(hidden ? "hidden" : "read-only");
    const std::string root = Join(tmp.Path(), hidden ? "h" : "r");
    const std::string inner = Join(root, "inner");
    ASSERT_EQ(CSalDirectory::CreatePath(inner.c_str()), 1);
    Touch(Join(root, "plain"));
    Touch(Join(inner, "plain"));
    std::string kept;
    if (hidden) {
      kept = MakeHidden(inner, ".secret", false);
    } else {
      kept = Join(inner, "locked");
      Touch(kept);
      MakeReadOnly(kept);
    }
    CSalDirectory dir;
    dir.SetPath(root.c_str());
    EXPECT_EQ(dir.Remove(), 0);
    EXPECT_TRUE(fs::exists(kept));
    EXPECT_FALSE(fs::exists(Join(root, "plain")));
    EXPECT_FALSE(fs::exists(Join(inner, "plain")));
    EXPECT_EQ(std::string(dir.Path()), root);
  }
}

TEST(CSalDirectory, RemoveTakesALinkAwayWithoutTouchingItsTarget) {
  TempDir tmp;
  const std::string outside = Join(tmp.Path(), "outside");
  MakeDir(outside);
  Touch(Join(outside, "precious"));
  const std::string root = Join(tmp.Path(), "tree");
  MakeDir(root);
  std::error_code ec;
  fs::create_directory_symlink(outside, Join(root, "link"), ec);
  if (ec) GTEST_SKIP() << "no directory links here: " << ec.message();
  CSalDirectory dir;
  dir.SetPath(root.c_str());
  EXPECT_EQ(dir.Remove(), 1);
  EXPECT_FALSE(fs::exists(root));
  EXPECT_TRUE(fs::exists(Join(outside, "precious")));
}

// ---- current directory and special folders -------------------------------------

TEST(CSalDirectory, CurrentDirectory) {
  TempDir tmp;
  char saved[512];
  ASSERT_EQ(CSalDirectory::GetCurrentDir(saved, sizeof saved), 1);
  ASSERT_EQ(CSalDirectory::SetCurrentDir(tmp.Path().c_str()), 1);
  char now[512];
  EXPECT_EQ(CSalDirectory::GetCurrentDir(now, sizeof now), 1);
  EXPECT_TRUE(fs::equivalent(now, tmp.Path()));
  CCommonString s;
  EXPECT_EQ(CSalDirectory::GetCurrentDir(s), 1);
  EXPECT_STREQ(s.CStr(), now);
  // Too small: no partial text reported as success.
  char tiny[4];
  EXPECT_EQ(CSalDirectory::GetCurrentDir(tiny, sizeof tiny), 0);
  SalSetLastError(kSentinel);
  EXPECT_EQ(CSalDirectory::GetCurrentDir(nullptr, 8), 0);
  EXPECT_EQ(SalGetLastError(), kSalErrArgument);
  EXPECT_EQ(CSalDirectory::SetCurrentDir(nullptr), 0);
  EXPECT_EQ(CSalDirectory::SetCurrentDir(Join(tmp.Path(), "missing").c_str()), 0);
  EXPECT_EQ(CSalDirectory::SetCurrentDir(saved), 1);
}

TEST(CSalDirectory, TemporaryFolderEndsWithASeparator) {
  CCommonString folder;
  ASSERT_EQ(CSalDirectory::GetSpecialFolder(SAL_FOLDER_TEMP, folder, 1), 1);
  ASSERT_GT(folder.GetLength(), 1u);
  EXPECT_EQ(folder.CStr()[folder.GetLength() - 1], kSep);
  // Without the separator: the Windows runtime's stat refuses a trailing one.
  std::string oracle = fs::temp_directory_path().string();
  while (oracle.size() > 1 && oracle.back() == kSep) oracle.pop_back();
  const std::string found(folder.CStr(), folder.GetLength() - 1);
  EXPECT_TRUE(fs::equivalent(found, oracle)) << found << " / " << oracle;
  // The road of the event log and the log file: a directory that exists and
  // is writable, to which a bare file name is appended.
  CSalDirectory dir;
  ASSERT_EQ(dir.SetPath(folder.CStr()), 1);
  EXPECT_EQ(dir.Exists(), 1);
  EXPECT_EQ(dir.IsReadOnly(), 0);
}

TEST(CSalDirectory, SpecialFolderRejectsUnknownNumbers) {
  for (int number : {10, -1, 1000}) {
    CCommonString folder("unchanged");
    EXPECT_EQ(CSalDirectory::GetSpecialFolder(number, folder, 1), 0);
    EXPECT_STREQ(folder.CStr(), "unchanged");
  }
}

TEST(CSalDirectory, MissingTemporaryFolderIsCreatedOneLevel) {
  TempDir tmp;
  const std::string fresh = Join(tmp.Path(), "fresh");
  // On Windows GetTempPathA reads TMP first, on POSIX TMPDIR.
  ScopedEnv tmpVar("TMP", fresh.c_str());
  ScopedEnv tmpDirVar("TMPDIR", fresh.c_str());
  CCommonString folder;
  ASSERT_EQ(CSalDirectory::GetSpecialFolder(SAL_FOLDER_TEMP, folder, 0), 1);
  EXPECT_EQ(std::string(folder.CStr()), fresh + kSep);
  EXPECT_FALSE(fs::exists(fresh));
  ASSERT_EQ(CSalDirectory::GetSpecialFolder(SAL_FOLDER_TEMP, folder, 1), 1);
  EXPECT_TRUE(fs::is_directory(fresh));

  const std::string twoLevels = Join(Join(tmp.Path(), "p"), "q");
  ScopedEnv tmp2("TMP", twoLevels.c_str());
  ScopedEnv tmpDir2("TMPDIR", twoLevels.c_str());
  ASSERT_EQ(CSalDirectory::GetSpecialFolder(SAL_FOLDER_TEMP, folder, 1), 1);
  EXPECT_FALSE(fs::exists(Join(tmp.Path(), "p")));
}

TEST(CSalDirectory, ShellFoldersAreDirectoriesWithASeparator) {
  for (int number : {SAL_FOLDER_WINDOWS, SAL_FOLDER_SYSTEM, SAL_FOLDER_PROGRAM_FILES}) {
    CCommonString folder;
    if (!CSalDirectory::GetSpecialFolder(number, folder, 0)) {
      // POSIX: /opt need not exist.
      EXPECT_TRUE(SAL_OS_POSIX && number == SAL_FOLDER_PROGRAM_FILES) << number;
      continue;
    }
    SCOPED_TRACE(folder.CStr());
    EXPECT_EQ(folder.CStr()[folder.GetLength() - 1], kSep);
    EXPECT_TRUE(fs::is_directory(folder.CStr()));
  }
  if (SAL_OS_WINDOWS) {
    const char *windir = std::getenv("windir");
    ASSERT_NE(windir, nullptr);
    CCommonString folder;
    ASSERT_EQ(CSalDirectory::GetSpecialFolder(SAL_FOLDER_WINDOWS, folder, 0), 1);
    EXPECT_EQ(folder.CompareNoCase((std::string(windir) + "\\").c_str()), 0) << folder.CStr();
    ASSERT_EQ(CSalDirectory::GetSpecialFolder(SAL_FOLDER_SYSTEM, folder, 0), 1);
    EXPECT_EQ(folder.CompareNoCase((std::string(windir) + "\\system32\\").c_str()), 0)
        << folder.CStr();
  }
}

TEST(CSalDirectory, XdgFoldersOnPosix) {
  if (!SAL_OS_POSIX) GTEST_SKIP() << "the XDG table is the POSIX backend's";
  TempDir tmp;
  const std::string home = Join(tmp.Path(), "home");
  MakeDir(home);
  ScopedEnv homeVar("HOME", home.c_str());
  ScopedEnv config("XDG_CONFIG_HOME", nullptr);
  ScopedEnv data("XDG_DATA_HOME", "relative/is/ignored");
  ScopedEnv docs("XDG_DOCUMENTS_DIR", nullptr);
  ScopedEnv dataDirs("XDG_DATA_DIRS", (Join(tmp.Path(), "shared") + ":/usr/share").c_str());

  CCommonString folder("unchanged");
  // Missing, and not to be created: no folder.
  EXPECT_EQ(CSalDirectory::GetSpecialFolder(SAL_FOLDER_APPDATA, folder, 0), 0);
  EXPECT_STREQ(folder.CStr(), "unchanged");
  // Created with its parents.
  ASSERT_EQ(CSalDirectory::GetSpecialFolder(SAL_FOLDER_LOCAL_APPDATA, folder, 1), 1);
  EXPECT_EQ(std::string(folder.CStr()), home + "/.local/share/");
  EXPECT_TRUE(fs::is_directory(home + "/.local/share"));
  ASSERT_EQ(CSalDirectory::GetSpecialFolder(SAL_FOLDER_APPDATA, folder, 1), 1);
  EXPECT_EQ(std::string(folder.CStr()), home + "/.config/");

  // Documents: user-dirs.dirs names it relative to $HOME.
  std::FILE *f = std::fopen((home + "/.config/user-dirs.dirs").c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fputs("# written by a test\nXDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n", f);
  std::fclose(f);
  ASSERT_EQ(CSalDirectory::GetSpecialFolder(SAL_FOLDER_PERSONAL, folder, 1), 1);
  EXPECT_EQ(std::string(folder.CStr()), home + "/Papers/");

  // Common application data: the first of XDG_DATA_DIRS.
  ASSERT_EQ(CSalDirectory::GetSpecialFolder(SAL_FOLDER_COMMON_APPDATA, folder, 1), 1);
  EXPECT_EQ(std::string(folder.CStr()), Join(tmp.Path(), "shared") + "/");
}
