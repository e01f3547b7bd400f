// directory_walk_test.cpp - CSalDirectory's recursive walk over a generated
// tree of more than 10,000 entries, checked for order and completeness
// against std::filesystem, then the tree's removal.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/directory.h"
#include "platform/file.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {
const char kSep = CSalDirectory::GetSeparator();

// 10 directories, each with 10 subdirectories of 99 files: 10,010 entries.
constexpr int kTop = 10, kSub = 10, kFiles = 99;

void MakeTree(const std::string &root) {
  for (int t = 0; t < kTop; ++t) {
    const std::string top = root + kSep + "dir" + std::to_string(t);
    ASSERT_TRUE(fs::create_directory(top));
    for (int s = 0; s < kSub; ++s) {
      const std::string sub = top + kSep + "sub" + std::to_string(s);
      ASSERT_TRUE(fs::create_directory(sub));
      for (int f = 0; f < kFiles; ++f) {
        const std::string file = sub + kSep + "file" + std::to_string(f) + ".dat";
        std::FILE *out = std::fopen(file.c_str(), "wb");
        ASSERT_NE(out, nullptr) << file;
        std::fclose(out);
      }
    }
  }
}

std::string Relative(const fs::path &p, const fs::path &root) {
  return p.lexically_relative(root).generic_string();
}
}  // namespace

TEST(CSalDirectory, RecursiveWalkOverTenThousandEntriesMatchesTheFileSystem) {
  TempDir tmp;
  const std::string root = tmp.Path() + kSep + "tree";
  ASSERT_TRUE(fs::create_directory(root));
  ASSERT_NO_FATAL_FAILURE(MakeTree(root));

  // The oracle: std::filesystem's recursive iterator is pre-order too, each
  // directory in the order the system lists it.
  std::vector<std::string> expected;
  for (const fs::directory_entry &e : fs::recursive_directory_iterator(root))
    expected.push_back(Relative(e.path(), root));
  ASSERT_EQ(expected.size(), static_cast<size_t>(kTop + kTop * kSub + kTop * kSub * kFiles));

  CSalDirectory dir;
  ASSERT_EQ(dir.SetPath(root.c_str()), 1);
  std::vector<std::string> walked;
  size_t dotEntries = 0;
  size_t directories = 0;
  ASSERT_EQ(dir.FindFirst("*", 1), 1);
  do {
    const std::string name = dir.GetFoundName();
    if (name == "." || name == "..") {
      ++dotEntries;
      continue;
    }
    if (dir.GetFoundAttributes() & SAL_DIR_ATTR_DIRECTORY) ++directories;
    CSalFile file;
    ASSERT_EQ(dir.GetFoundFile(file), 1);
    walked.push_back(Relative(fs::path(file.Path()), root));
  } while (dir.FindNext());

  EXPECT_EQ(walked.size(), expected.size());
  // Same entries in the same order; report the first difference only.
  const auto diff = std::mismatch(walked.begin(), walked.end(), expected.begin(), expected.end());
  EXPECT_TRUE(diff.first == walked.end() && diff.second == expected.end())
      << "first difference at " << (diff.first - walked.begin()) << ": walked "
      << (diff.first != walked.end() ? *diff.first : "(end)") << ", expected "
      << (diff.second != expected.end() ? *diff.second : "(end)");
  EXPECT_EQ(directories, static_cast<size_t>(kTop + kTop * kSub));
  // "." and ".." of the root and of every directory below it.
  EXPECT_EQ(dotEntries, 2 * (directories + 1));

  // The same tree goes away with Remove.
  EXPECT_EQ(dir.Remove(), 1);
  EXPECT_FALSE(fs::exists(root));
}
