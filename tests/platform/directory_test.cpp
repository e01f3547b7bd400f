// directory_test.cpp - CSalDirectory: path and state, searches and the
// recursive walk (against std::filesystem), creation, renaming, deletion and
// removal, the current directory and the special folders.  Everything on
// disk happens inside a private temporary folder.
#include "platform/directory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
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
  std::fclose(f);
}

// Creates the entries under root: names with '/' between them, a trailing
// '/' for a directory.
void MakeTree(const std::string &root, std::initializer_list<std::string> entries) {
  for (std::string e : entries) {
    const bool directory = e.back() == '/';
    if (directory) e.pop_back();
    std::replace(e.begin(), e.end(), '/', kSep);
    if (directory) {
      ASSERT_TRUE(fs::create_directories(Join(root, e))) << e;
    } else {
      Touch(Join(root, e));
    }
  }
}

// Hidden on every platform: a dot name, and the attribute where there is one.
void SetAttributes(const std::string &path, uint32_t attributes) {
  CSalFile file;
  file.SetPath(path.c_str());
  file.SetAttributes(attributes);
}

void MakeReadOnly(const std::string &path) {
  fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
}

// Expects the call to fail with result 0 (or as given) and the error code.
template <typename F>
void ExpectFailure(F call, uint32_t error, int result = 0) {
  SalSetLastError(kSentinel);
  EXPECT_EQ(call(), result);
  EXPECT_EQ(SalGetLastError(), error);
}

// The entries a search delivers, in its order, as paths relative to root
// with '/' between names ("." and ".." left out); each path as GetFoundFile
// composes it.
std::vector<std::string> Walk(CSalDirectory &dir, const std::string &root, const char *pattern, int recursive,
                              size_t *dotEntries = nullptr) {
  std::vector<std::string> paths;
  if (!dir.FindFirst(pattern, recursive)) return paths;
  do {
    const std::string name = dir.GetFoundName();
    if (name == "." || name == "..") {
      if (dotEntries != nullptr) ++*dotEntries;
      continue;
    }
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

bool ReadOnlyEntry(const std::string &dir, const char *name) {
  CSalDirectory parent;
  parent.SetPath(dir.c_str());
  return parent.FindFirst(name, 0) == 1 && (parent.GetFoundAttributes() & SAL_DIR_ATTR_READONLY) != 0;
}
}  // namespace

TEST(CSalDirectory, PathStateAndWhatClosesASearch) {
  CSalDirectory dir;
  EXPECT_STREQ(dir.Path(), "");
  EXPECT_EQ(dir.SetPath("x:\\not\\checked\\"), 1);
  char buffer[8];
  EXPECT_EQ(dir.GetPath(buffer, sizeof buffer), 1);
  EXPECT_STREQ(buffer, "x:\\not\\");
  EXPECT_EQ(dir.SetPath(nullptr), 1);
  EXPECT_EQ(dir.Exists(), 0);

  // A file whose path is exactly 255 bytes; the object is given more, and
  // works on what it kept.  A file is no read-only directory.
  TempDir tmp;
  const std::string parent = Join(tmp.Path(), std::string(240 - tmp.Path().size() - 1, 'd'));
  ASSERT_TRUE(fs::create_directory(parent));
  const std::string file = Join(parent, std::string(255 - 240 - 1, 'f'));
  Touch(file);
  dir.SetPath((file + "-beyond-the-limit").c_str());
  EXPECT_EQ(std::string(dir.Path()), file);
  EXPECT_EQ(dir.Exists() * 2 + dir.IsReadOnly(), 2);

  MakeTree(tmp.Path(), {"empty/"});
  for (const std::string &p : {Join(tmp.Path(), "empty") + kSep, Join(tmp.Path(), "missing")}) {
    dir.SetPath(p.c_str());
    EXPECT_EQ(dir.Exists(), p.back() == kSep ? 1 : 0);
    EXPECT_EQ(dir.IsReadOnly(), 0);
    EXPECT_EQ(dir.IsEmpty(), 1);
    EXPECT_STREQ(dir.GetFoundName(), "");  // the walk is over: no search open
  }
  const std::string locked = Join(tmp.Path(), "locked");
  MakeTree(tmp.Path(), {"locked/"});
  MakeReadOnly(locked);
  // Wine keeps no read-only attribute on directories: IsReadOnly follows
  // what the platform reports.
  const bool readOnly = ReadOnlyEntry(tmp.Path(), "locked");
  EXPECT_TRUE(readOnly || !SAL_OS_POSIX);
  dir.SetPath(locked.c_str());
  EXPECT_EQ(dir.IsReadOnly(), readOnly ? 1 : 0);

  // A name ending in a dot is something (Windows drops the dot, POSIX keeps
  // it); IsEmpty stops at it and leaves the search there.
  Touch(Join(tmp.Path(), "end."));
  dir.SetPath(tmp.Path().c_str());
  EXPECT_EQ(dir.IsEmpty(), 0);
  CSalFile found;
  ASSERT_EQ(dir.GetFoundFile(found), 1);
  EXPECT_TRUE(fs::exists(found.Path()));

  // SetPath, Create and DeleteFiles close an open search.
  void (*const closers[])(CSalDirectory &, const std::string &) = {
      [](CSalDirectory &d, const std::string &p) { d.SetPath(p.c_str()); },
      [](CSalDirectory &d, const std::string &p) { EXPECT_EQ(d.Create(p.c_str()), 0); },
      [](CSalDirectory &d, const std::string &) { d.DeleteFiles("*.none", 0); },
  };
  // Each closes every search it holds (POSIX: no directory stays open).
  const auto openFiles = [] {
    return SAL_OS_POSIX ? std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()) : 0;
  };
  dir.SetPath(tmp.Path().c_str());
  const auto filesBefore = openFiles();
  for (auto close : closers) {
    ASSERT_EQ(dir.FindFirst("*", 0), 1);
    close(dir, tmp.Path());
    ExpectFailure([&] { return dir.FindNext(); }, kSalErrNoObject);
    EXPECT_EQ(dir.GetFoundFile(found), 0);
    EXPECT_STREQ(dir.GetFoundName(), "");
    EXPECT_EQ(openFiles(), filesBefore);
  }
}

TEST(CSalDirectory, FindListsTheEntriesThatMatch) {
  TempDir tmp;
  MakeTree(tmp.Path(), {"a.txt", "b.txt", "c.log", "noext", "sub.txt/"});
  CSalDirectory dir;
  dir.SetPath(tmp.Path().c_str());
  size_t dots = 0;
  EXPECT_EQ(Sorted(Walk(dir, tmp.Path(), "*", 0, &dots)),
            (std::set<std::string>{"a.txt", "b.txt", "c.log", "noext", "sub.txt"}));
  EXPECT_EQ(dots, 2u);
  EXPECT_EQ(Sorted(Walk(dir, tmp.Path(), "*.txt", 0)), (std::set<std::string>{"a.txt", "b.txt", "sub.txt"}));
  EXPECT_EQ(Sorted(Walk(dir, tmp.Path(), "?.txt", 0)), (std::set<std::string>{"a.txt", "b.txt"}));

  // Attributes: directory bit on the subdirectory, not on files.
  ASSERT_EQ(dir.FindFirst("sub.txt", 0), 1);
  EXPECT_EQ(dir.GetFoundAttributes(), static_cast<uint32_t>(SAL_DIR_ATTR_DIRECTORY));
  ASSERT_EQ(dir.FindFirst("a.txt", 0), 1);
  EXPECT_EQ(dir.GetFoundAttributes() & SAL_DIR_ATTR_DIRECTORY, 0u);
  // POSIX files have no archive bit: a plain file is "normal" there.
  if (SAL_OS_POSIX) {
    EXPECT_EQ(dir.GetFoundAttributes(), static_cast<uint32_t>(SAL_DIR_ATTR_NORMAL));
  }
  // The walk ends, and then no search is open.
  EXPECT_EQ(dir.FindNext(), 0);
  ExpectFailure([&] { return dir.FindNext(); }, kSalErrNoObject);

  for (const char *pattern : {"*.none", "", static_cast<const char *>(nullptr)})
    ExpectFailure([&] { return dir.FindFirst(pattern, 1); }, kSalErrNotFound);
  dir.SetPath(Join(tmp.Path(), "missing").c_str());
  ExpectFailure([&] { return dir.FindFirst("*", 0); }, kSalErrNotFound);
  CSalDirectory none;
  CSalFile file;
  ExpectFailure([&] { return none.FindFirst("*", 0); }, kSalErrNoObject);
  ExpectFailure([&] { return none.GetFoundFile(file); }, kSalErrNoObject);
  ExpectFailure([&] { return none.DeleteFiles("*", 1); }, kSalErrNoObject);
  ExpectFailure([&] { return none.Remove(); }, kSalErrNoObject);
  ExpectFailure([&] { return none.Rename("x"); }, kSalErrNoObject);
}

TEST(CSalDirectory, RecursiveWalkMatchesTheFileSystemAndRemoveTakesItAway) {
  // 10 directories of 10 subdirectories of 99 files: 10,010 entries; and a
  // hidden and a read-only directory, which the walk does not enter (the
  // read-only one where the platform keeps the attribute).
  TempDir tmp;
  const std::string root = Join(tmp.Path(), "tree");
  for (int t = 0; t < 10; ++t) {
    for (int s = 0; s < 10; ++s) {
      const std::string sub = Join(Join(root, "dir" + std::to_string(t)), "sub" + std::to_string(s));
      ASSERT_TRUE(fs::create_directories(sub));
      for (int f = 0; f < 99; ++f) Touch(Join(sub, "file" + std::to_string(f) + ".dat"));
    }
  }
  MakeTree(root, {".hid/", ".hid/inside-hidden", "locked/", "locked/inside-locked"});
  SetAttributes(Join(root, ".hid"), SAL_ATTR_HIDDEN);
  const std::string secret = Join(Join(Join(root, "dir0"), "sub0"), ".secret");
  Touch(secret);
  SetAttributes(secret, SAL_ATTR_HIDDEN);
  MakeReadOnly(Join(root, "locked"));
  const bool lockedIsReadOnly = ReadOnlyEntry(root, "locked");

  // The oracle: std::filesystem's recursive iterator is pre-order too, each
  // directory in the order the system lists it.
  std::vector<std::string> expected;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
    const std::string name = it->path().filename().string();
    if (name == ".hid" || (name == "locked" && lockedIsReadOnly)) it.disable_recursion_pending();
    expected.push_back(it->path().lexically_relative(root).generic_string());
  }
  ASSERT_GT(expected.size(), 10010u);

  CSalDirectory dir;
  // One trailing separator of the object's path is not doubled.
  ASSERT_EQ(dir.SetPath((root + kSep).c_str()), 1);
  size_t dots = 0;
  const std::vector<std::string> walked = Walk(dir, root, "*", 1, &dots);
  EXPECT_STREQ(dir.GetFoundName(), "") << "the walk ends with every search closed";
  EXPECT_EQ(walked.size(), expected.size());
  const auto diff = std::mismatch(walked.begin(), walked.end(), expected.begin(), expected.end());
  EXPECT_TRUE(diff.first == walked.end() && diff.second == expected.end())
      << "first difference at " << (diff.first - walked.begin()) << ": walked "
      << (diff.first != walked.end() ? *diff.first : "(end)") << ", expected "
      << (diff.second != expected.end() ? *diff.second : "(end)");
  // "." and ".." of the root and of every directory entered.
  EXPECT_EQ(dots, 2u * (1 + 10 + 100 + (lockedIsReadOnly ? 0 : 1)));

  // With a pattern the walk enters only subdirectories whose names match.
  MakeTree(root, {"plain/", "plain/x.txt", "dir.txt/", "dir.txt/y.txt", "dir.txt/z.log", "top.txt"});
  EXPECT_EQ(Sorted(Walk(dir, root, "*.txt", 1)), (std::set<std::string>{"dir.txt", "dir.txt/y.txt", "top.txt"}));

  // Remove stops at the hidden file; without it the tree goes.
  dir.SetPath(root.c_str());
  EXPECT_EQ(dir.Remove(), 0);
  EXPECT_TRUE(fs::exists(secret));
  EXPECT_FALSE(fs::exists(Join(root, "dir3")));
  EXPECT_EQ(std::string(dir.Path()), root);
  fs::remove(secret);
  std::error_code ec;  // gone already where the directory was not read-only
  fs::permissions(Join(root, "locked"), fs::perms::owner_all, fs::perm_options::add, ec);
  EXPECT_EQ(dir.Remove(), 1);
  EXPECT_FALSE(fs::exists(root));
  EXPECT_STREQ(dir.Path(), "");
}

TEST(CSalDirectory, WalkGoesOnWhenDirectoriesVanish) {
  TempDir tmp;
  const std::string root = tmp.Path();
  MakeTree(root, {"a/", "a/file", "b/", "b/file", "c/", "c/file"});
  CSalDirectory dir;
  dir.SetPath(root.c_str());
  ASSERT_EQ(dir.FindFirst("*", 1), 1);
  std::set<std::string> seen;
  int steps = 0;
  do {
    CSalFile file;
    dir.GetFoundFile(file);
    seen.insert(file.Path());
    // Take the directory away after its entry was reported, before the walk
    // would descend into it.
    if (std::string(dir.GetFoundName()) == "b") fs::remove_all(Join(root, "b"));
  } while (dir.FindNext() && ++steps < 100);
  EXPECT_LT(steps, 100);
  EXPECT_EQ(seen.count(Join(Join(root, "a"), "file")) + seen.count(Join(Join(root, "c"), "file")), 2u);
  EXPECT_EQ(seen.count(Join(Join(root, "b"), "file")), 0u);

  // The searched directory itself goes away during the walk.
  ASSERT_EQ(dir.FindFirst("*", 1), 1);
  std::error_code ec;
  fs::remove_all(root, ec);  // Windows may refuse while the search is open
  steps = 0;
  while (dir.FindNext()) ASSERT_LT(++steps, 100);
  EXPECT_EQ(dir.FindNext(), 0);
  EXPECT_STREQ(dir.GetFoundName(), "");
}

TEST(CSalDirectory, CreateAndRename) {
  TempDir tmp;
  const std::string top = Join(tmp.Path(), "x");
  const std::string deep = Join(Join(top, "y"), "z");
  EXPECT_EQ(CSalDirectory::CreatePath(deep.c_str()), 1);
  EXPECT_TRUE(fs::is_directory(deep));
  EXPECT_EQ(CSalDirectory::CreatePath(deep.c_str()), 0);
  EXPECT_EQ(CSalDirectory::CreatePath((Join(deep, "w") + kSep).c_str()), 1);
  EXPECT_EQ(CSalDirectory::CreatePath("") + CSalDirectory::CreatePath(nullptr), 0);
  // A file in the way is a failure, and nothing is created under it.
  Touch(Join(tmp.Path(), "file"));
  EXPECT_EQ(CSalDirectory::CreatePath(Join(Join(tmp.Path(), "file"), "sub").c_str()), -2);

  // A relative path succeeds only from an existing first name.
  const fs::path old = fs::current_path();
  fs::current_path(tmp.Path());
  ExpectFailure([] { return CSalDirectory::CreatePath("vbs-no-such-name"); }, kSalErrNotFound, -2);
  EXPECT_EQ(CSalDirectory::CreatePath(Join("missing", "sub").c_str()), -2);
  EXPECT_EQ(CSalDirectory::CreatePath(Join("x", "new").c_str()), 1);
  fs::current_path(old);
  EXPECT_FALSE(fs::exists(Join(tmp.Path(), "vbs-no-such-name")) || fs::exists(Join(tmp.Path(), "missing")));
  EXPECT_TRUE(fs::is_directory(Join(top, "new")));

  // Create binds the path on success only.
  CSalDirectory dir;
  ExpectFailure([&] { return dir.Create(nullptr); }, kSalErrArgument, -2);
  EXPECT_EQ(dir.Create(""), -2);
  const std::string target = Join(Join(tmp.Path(), "p"), "q");
  EXPECT_EQ(dir.Create(target.c_str()), 1);
  EXPECT_EQ(std::string(dir.Path()), target);
  EXPECT_EQ(dir.Create(tmp.Path().c_str()), 0);
  EXPECT_EQ(std::string(dir.Path()), tmp.Path());
  EXPECT_EQ(dir.Create(Join(Join(tmp.Path(), "file"), "x").c_str()), -2);
  EXPECT_EQ(std::string(dir.Path()), tmp.Path());

  // Rename: a bare name keeps the parent; an existing target is not replaced.
  dir.SetPath(target.c_str());
  ExpectFailure([&] { return dir.Rename(""); }, kSalErrArgument);
  EXPECT_EQ(dir.Rename(nullptr), 0);
  EXPECT_EQ(dir.Rename("other"), 1);
  EXPECT_EQ(std::string(dir.Path()), Join(Join(tmp.Path(), "p"), "other") + kSep);
  EXPECT_TRUE(fs::is_directory(Join(Join(tmp.Path(), "p"), "other")));
  EXPECT_FALSE(fs::exists(target));
  const std::string full = Join(tmp.Path(), "new");
  EXPECT_EQ(dir.Rename(full.c_str()), 1);
  EXPECT_EQ(std::string(dir.Path()), full);
  EXPECT_EQ(dir.Rename("x"), 0);
  EXPECT_EQ(std::string(dir.Path()), full);
  EXPECT_TRUE(fs::is_directory(full));
}

TEST(CSalDirectory, DeleteFilesLeavesHiddenSystemReadOnlyAndSubdirectories) {
  TempDir tmp;
  const std::string root = tmp.Path();
  MakeTree(root, {"a.tmp", "b.tmp", "keep.txt", ".h.tmp", "s.tmp", "r.tmp", "d.tmp/"});
  SetAttributes(Join(root, ".h.tmp"), SAL_ATTR_HIDDEN);
  SetAttributes(Join(root, "s.tmp"), SAL_ATTR_SYSTEM);
  MakeReadOnly(Join(root, "r.tmp"));

  CSalDirectory dir;
  dir.SetPath(root.c_str());
  ASSERT_EQ(dir.FindFirst("s.tmp", 0), 1);
  const bool systemKept = (dir.GetFoundAttributes() & SAL_DIR_ATTR_SYSTEM) != 0;
  EXPECT_EQ(dir.DeleteFiles("*.tmp", 0), 0) << "the read-only file was refused";
  for (const char *gone : {"a.tmp", "b.tmp"}) EXPECT_FALSE(fs::exists(Join(root, gone))) << gone;
  for (const char *kept : {"keep.txt", ".h.tmp", "r.tmp", "d.tmp"}) EXPECT_TRUE(fs::exists(Join(root, kept))) << kept;
  EXPECT_EQ(fs::exists(Join(root, "s.tmp")), systemKept);

  fs::permissions(Join(root, "r.tmp"), fs::perms::owner_write, fs::perm_options::add);
  // Nothing matches: nothing to do, success.
  EXPECT_EQ(dir.DeleteFiles("*.none", 1), 1);
  // With recursive = 1 the matching subdirectory goes too; only exactly 1
  // means recursive.  A read-only file inside stops the subdirectory's Remove.
  MakeTree(root, {"e.tmp/", "d.tmp/inner", "d.tmp/locked"});
  MakeReadOnly(Join(Join(root, "d.tmp"), "locked"));
  EXPECT_EQ(dir.DeleteFiles("*.tmp", 2), 1);
  EXPECT_TRUE(fs::exists(Join(root, "e.tmp")));
  EXPECT_EQ(dir.DeleteFiles("*.tmp", 1), 0);
  EXPECT_TRUE(fs::exists(Join(Join(root, "d.tmp"), "locked")));
  EXPECT_FALSE(fs::exists(Join(Join(root, "d.tmp"), "inner")) || fs::exists(Join(root, "r.tmp")));
  fs::permissions(Join(Join(root, "d.tmp"), "locked"), fs::perms::owner_write, fs::perm_options::add);
  EXPECT_EQ(dir.DeleteFiles("*.tmp", 1), 1);
  EXPECT_FALSE(fs::exists(Join(root, "d.tmp")));

  // A link is taken away without touching its target (where the system
  // makes directory links: Wine does not).
  MakeTree(root, {"outside/", "outside/precious", "tree.tmp/"});
  std::error_code ec;
  fs::create_directory_symlink(Join(root, "outside"), Join(Join(root, "tree.tmp"), "link"), ec);
  if (!ec) {
    EXPECT_EQ(dir.DeleteFiles("*.tmp", 1), 1);
    EXPECT_FALSE(fs::exists(Join(root, "tree.tmp")));
    EXPECT_TRUE(fs::exists(Join(Join(root, "outside"), "precious")));
  }
}

TEST(CSalDirectory, DeleteFilesNeverDeletesInPlaceOfAPathItCannotHold) {
  TempDir tmp;
  // root + separator + 19 bytes is 255 bytes, the longest path the object
  // holds; the .tmp file's path is 259 bytes, and cut to 255 it would name
  // the victim.
  const std::string root = Join(tmp.Path(), std::string(235 - tmp.Path().size() - 1, 'r'));
  ASSERT_TRUE(fs::create_directory(root));
  const std::string victim = Join(root, std::string(19, 'a'));
  ASSERT_EQ(victim.size(), 255u);
  Touch(victim);
  Touch(victim + ".tmp");
  CSalDirectory dir;
  dir.SetPath(root.c_str());
  EXPECT_EQ(dir.DeleteFiles("*.tmp", 0), 0);
  EXPECT_TRUE(fs::exists(victim) && fs::exists(victim + ".tmp"));
}

TEST(CSalDirectory, CurrentDirectory) {
  TempDir tmp;
  char saved[512], now[512], tiny[4];
  ASSERT_EQ(CSalDirectory::GetCurrentDir(saved, sizeof saved), 1);
  ASSERT_EQ(CSalDirectory::SetCurrentDir(tmp.Path().c_str()), 1);
  EXPECT_EQ(CSalDirectory::GetCurrentDir(now, sizeof now), 1);
  EXPECT_TRUE(fs::equivalent(now, tmp.Path()));
  CCommonString s;
  EXPECT_EQ(CSalDirectory::GetCurrentDir(s), 1);
  EXPECT_STREQ(s.CStr(), now);
  // Too small: no partial text reported as success.
  EXPECT_EQ(CSalDirectory::GetCurrentDir(tiny, sizeof tiny) + CSalDirectory::SetCurrentDir(nullptr) +
                CSalDirectory::SetCurrentDir(Join(tmp.Path(), "missing").c_str()),
            0);
  ExpectFailure([] { return CSalDirectory::GetCurrentDir(nullptr, 8); }, kSalErrArgument);
  EXPECT_EQ(CSalDirectory::SetCurrentDir(saved), 1);
}

namespace {
// The special folder's path, "<none>" when there is none.
std::string Folder(int number, int create) {
  CCommonString folder("unchanged");
  if (CSalDirectory::GetSpecialFolder(number, folder, create) != 1) {
    EXPECT_STREQ(folder.CStr(), "unchanged");
    return "<none>";
  }
  return folder.CStr();
}
}  // namespace

TEST(CSalDirectory, SpecialFolders) {
  // The temporary folder is the system's, with a separator (compared
  // without it: the Windows runtime's stat refuses a trailing one).
  const std::string temp = Folder(SAL_FOLDER_TEMP, 1);
  ASSERT_GT(temp.size(), 1u);
  EXPECT_EQ(temp.back(), kSep);
  std::string oracle = fs::temp_directory_path().string();
  while (oracle.size() > 1 && oracle.back() == kSep) oracle.pop_back();
  EXPECT_TRUE(fs::equivalent(temp.substr(0, temp.size() - 1), oracle)) << temp << " / " << oracle;
  EXPECT_EQ(Folder(10, 1) + Folder(-1, 1) + Folder(1000, 1), "<none><none><none>");
  // The shell folders are directories with a separator; POSIX: /opt need
  // not exist.
  for (int number : {SAL_FOLDER_WINDOWS, SAL_FOLDER_SYSTEM, SAL_FOLDER_PROGRAM_FILES}) {
    const std::string folder = Folder(number, 0);
    if (folder == "<none>" && SAL_OS_POSIX && number == SAL_FOLDER_PROGRAM_FILES) continue;
    EXPECT_EQ(folder.back(), kSep) << folder;
    EXPECT_TRUE(fs::is_directory(folder)) << folder;
  }
  if (SAL_OS_WINDOWS) {
    ASSERT_NE(std::getenv("windir"), nullptr);
    EXPECT_EQ(CCommonString(Folder(SAL_FOLDER_SYSTEM, 0).c_str())
                  .CompareNoCase((std::string(std::getenv("windir")) + "\\system32\\").c_str()),
              0);
  }

  // The temporary folder is created, one level only.  On Windows
  // GetTempPathA reads TMP first, on POSIX TMPDIR.
  TempDir tmp;
  const std::string fresh = Join(tmp.Path(), "fresh"), twoLevels = Join(Join(tmp.Path(), "p"), "q");
  ScopedEnv tmpVar("TMP", fresh.c_str()), tmpDirVar("TMPDIR", fresh.c_str());
  EXPECT_EQ(Folder(SAL_FOLDER_TEMP, 0), fresh + kSep);
  EXPECT_FALSE(fs::exists(fresh));
  EXPECT_EQ(Folder(SAL_FOLDER_TEMP, 1), fresh + kSep);
  EXPECT_TRUE(fs::is_directory(fresh));
  ScopedEnv tmp2("TMP", twoLevels.c_str()), tmpDir2("TMPDIR", twoLevels.c_str());
  EXPECT_EQ(Folder(SAL_FOLDER_TEMP, 1), twoLevels + kSep);
  EXPECT_FALSE(fs::exists(Join(tmp.Path(), "p")));
}

TEST(CSalDirectory, XdgFoldersOnPosix) {
  if (!SAL_OS_POSIX) GTEST_SKIP() << "the XDG table is the POSIX backend's";
  TempDir tmp;
  const std::string home = Join(tmp.Path(), "home");
  MakeTree(tmp.Path(), {"home/"});
  ScopedEnv homeVar("HOME", home.c_str()), config("XDG_CONFIG_HOME", nullptr), docs("XDG_DOCUMENTS_DIR", nullptr);
  ScopedEnv data("XDG_DATA_HOME", "relative/is/ignored");
  ScopedEnv dataDirs("XDG_DATA_DIRS", (Join(tmp.Path(), "shared") + ":/usr/share").c_str());
  // Missing, and not to be created: no folder; else created with its parents.
  EXPECT_EQ(Folder(SAL_FOLDER_APPDATA, 0), "<none>");
  EXPECT_EQ(Folder(SAL_FOLDER_LOCAL_APPDATA, 1), home + "/.local/share/");
  EXPECT_TRUE(fs::is_directory(home + "/.local/share"));
  EXPECT_EQ(Folder(SAL_FOLDER_APPDATA, 1), home + "/.config/");
  // Documents: user-dirs.dirs names it relative to $HOME.
  std::FILE *f = std::fopen((home + "/.config/user-dirs.dirs").c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fputs("# written by a test\nXDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n", f);
  std::fclose(f);
  EXPECT_EQ(Folder(SAL_FOLDER_PERSONAL, 1), home + "/Papers/");
  // Common application data: the first of XDG_DATA_DIRS.
  EXPECT_EQ(Folder(SAL_FOLDER_COMMON_APPDATA, 1), Join(tmp.Path(), "shared") + "/");
}
