// module_test.cpp - CSalModule and its module information over a test
// module built beside the test program, the system's own libraries, the
// well-known module names and the kernel library's functions.
#include "platform/module.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/last_error.h"
#include "base/sal_config.h"
#include "base/sal_errors.h"
#include "platform/directory.h"
#include "platform/message_table.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {
constexpr uint32_t kSentinel = 0x12345678;
const char kSep = CSalDirectory::GetSeparator();

// Windows finds the module beside the program by its name alone; POSIX
// loads it by path.
std::string ModuleToLoad() {
  return SAL_OS_WINDOWS ? std::string(VBS_TEST_MODULE_NAME)
                        : std::string(VBS_TEST_MODULE_DIR) + "/" + VBS_TEST_MODULE_NAME;
}

// A library of the system that every process has loaded.
const char *SystemLibrary() { return SAL_OS_WINDOWS ? "kernel32.dll" : "libc.so.6"; }

using Answer = int (*)();

Answer AnswerOf(const CSalModule &module) {
  return reinterpret_cast<Answer>(module.GetProcAddress("VbsTestModuleAnswer"));
}

uintmax_t Size(const std::string &path) {
  std::error_code ec;
  const uintmax_t size = fs::file_size(path, ec);
  return ec ? 0 : size;
}

bool SameName(const char *a, const char *b) {
  return SAL_OS_WINDOWS ? CCommonString(a).CompareNoCase(b) == 0 : std::string(a) == b;
}

// The information is one path split in two.
void ExpectConsistent(const CSalModuleInfo &info) {
  const std::string full = info.GetFullPath().CStr();
  const std::string dir = info.GetDirectory().CStr();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), kSep);
  EXPECT_EQ(dir + info.GetFileName().CStr(), full);
  EXPECT_TRUE(fs::is_regular_file(full)) << full;
}
}  // namespace

TEST(CSalModule, EmptyObjectAndModulesThatCannotBeLoaded) {
  CSalModule module;
  EXPECT_EQ(module.GetModuleInfo(), nullptr);
  EXPECT_EQ(module.GetHandle(), nullptr);
  SalSetLastError(kSentinel);
  EXPECT_EQ(module.GetProcAddress("anything"), nullptr);
  EXPECT_EQ(SalGetLastError(), kSalErrNoObject);
  EXPECT_EQ(module.Unload(), 1);
  for (const char *bad : {static_cast<const char *>(nullptr), ""}) {
    SalSetLastError(kSentinel);
    EXPECT_EQ(module.Load(bad, 0), 0);
    EXPECT_EQ(SalGetLastError(), kSalErrArgument);
  }
  // A missing file, and a file that is no module at all: the object stays
  // empty, and the reason is the system's.
  TempDir tmp;
  const std::string text = tmp.Write("plain.txt", "not a module");
  for (const std::string &path : {tmp.File("no-such-module.bin"), text}) {
    for (uint32_t flags : {0u, 1u, 2u}) {
      SCOPED_TRACE(path + " " + std::to_string(flags));
      SalSetLastError(kSentinel);
      EXPECT_EQ(module.Load(path.c_str(), flags), 0);
      EXPECT_TRUE(path == text || SalGetLastError() == kSentinel);
      EXPECT_EQ(module.GetHandle(), nullptr);
      EXPECT_EQ(module.GetModuleInfo(), nullptr);
    }
  }
}

TEST(CSalModule, LoadRunsTheModuleAndReportsItsFileLoadAsDataRunsNothing) {
  TempDir tmp;
  const std::string mark = tmp.File("mark");
  ScopedEnv markVar("VBS_TEST_MODULE_MARK", mark.c_str());

  CSalModule module;
  // Not loaded yet: nothing to take.
  EXPECT_EQ(module.Load(ModuleToLoad().c_str(), SAL_MODULE_ALREADY_LOADED), 0);
  EXPECT_EQ(Size(mark), 0u);

  ASSERT_EQ(module.Load(ModuleToLoad().c_str(), 0), 1);
  EXPECT_EQ(Size(mark), 1u);
  ASSERT_NE(module.GetHandle(), nullptr);
  const Answer answer = AnswerOf(module);
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);
  EXPECT_EQ(module.GetProcAddress("NotExported"), nullptr);
  SalSetLastError(kSentinel);
  EXPECT_EQ(module.GetProcAddress(nullptr), nullptr);
  EXPECT_EQ(SalGetLastError(), kSalErrArgument);

  const CWntModuleInfo *info = module.GetModuleInfo();
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->GetModule(), module.GetHandle());
  EXPECT_TRUE(SameName(info->GetFileName().CStr(), VBS_TEST_MODULE_NAME)) << info->GetFileName();
  ExpectConsistent(*info);
  if (SAL_OS_POSIX) {
    EXPECT_TRUE(fs::equivalent(info->GetFullPath().CStr(), ModuleToLoad()));
  }
  const std::string fullPath = info->GetFullPath().CStr();

  // A second object takes the loaded module without a reference of its own:
  // its Unload leaves the module loaded.
  {
    CSalModule other;
    ASSERT_EQ(other.Load(fullPath.c_str(), SAL_MODULE_ALREADY_LOADED), 1);
    EXPECT_EQ(other.GetHandle(), module.GetHandle());
    ASSERT_NE(other.GetModuleInfo(), nullptr);
    EXPECT_STREQ(other.GetModuleInfo()->GetFullPath().CStr(), fullPath.c_str());
    EXPECT_EQ(other.Unload(), 1);
    EXPECT_EQ(other.GetHandle(), nullptr);
  }
  EXPECT_EQ(answer(), 42);
  EXPECT_EQ(Size(mark), 1u);  // nothing was loaded again

  EXPECT_EQ(module.Unload(), 1);
  EXPECT_EQ(module.GetModuleInfo(), nullptr);
  EXPECT_EQ(module.GetHandle(), nullptr);
  EXPECT_EQ(module.GetProcAddress("VbsTestModuleAnswer"), nullptr);
  EXPECT_EQ(module.Unload(), 1);
  // Released: no longer among the loaded modules.
  CSalModule again;
  EXPECT_EQ(again.Load(fullPath.c_str(), SAL_MODULE_ALREADY_LOADED), 0);

  // As data: nothing runs, nothing is exported, and the system keeps no
  // file name for the mapping; nor is the module loaded as code by this.
  ASSERT_EQ(module.Load(ModuleToLoad().c_str(), SAL_MODULE_AS_DATA), 1);
  EXPECT_EQ(Size(mark), 1u);
  EXPECT_NE(module.GetHandle(), nullptr);
  EXPECT_EQ(module.GetProcAddress("VbsTestModuleAnswer"), nullptr);
  info = module.GetModuleInfo();
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(std::string(info->GetFullPath().CStr()) + info->GetFileName().CStr() + info->GetDirectory().CStr(), "");
  EXPECT_EQ(again.Load(ModuleToLoad().c_str(), SAL_MODULE_ALREADY_LOADED), 0);
  EXPECT_EQ(module.Unload(), 1);
  EXPECT_EQ(module.GetHandle(), nullptr);
}

TEST(CSalModule, DataLoadsSearchTheLibraryPath) {
  if (!SAL_OS_POSIX) GTEST_SKIP() << "the library path is the POSIX loader's";
  // A module in no folder of the program: found through LD_LIBRARY_PATH,
  // whose empty entries are skipped.
  TempDir tmp;
  fs::copy_file(ModuleToLoad(), tmp.File("vbs-data-module.so"));
  ScopedEnv path("LD_LIBRARY_PATH", ("::" + tmp.Path()).c_str());
  CSalModule module;
  EXPECT_EQ(module.Load("vbs-data-module.so", SAL_MODULE_AS_DATA), 1);
  EXPECT_EQ(module.Unload(), 1);  // a new Load leaves the old module mapped
  EXPECT_EQ(module.Load("vbs-no-such-module.so", SAL_MODULE_AS_DATA), 0);
}

TEST(CSalModule, ModuleInfoSplitsAPath) {
  CSalModuleInfo info;
  const std::string dir = std::string("C:") + kSep + "dir" + kSep;
  for (const std::string &path : {dir + "mod.dll", std::string("bare.so"), std::string()}) {
    info.SetFileName(path.empty() ? nullptr : path.c_str());
    const std::string expectedDir = path.find(kSep) != std::string::npos ? dir : "";
    EXPECT_EQ(std::string(info.GetFullPath().CStr()), path);
    EXPECT_EQ(std::string(info.GetDirectory().CStr()), expectedDir);
    EXPECT_EQ(std::string(info.GetFileName().CStr()), path.substr(expectedDir.size()));
  }
}

TEST(SalModule, KnownModuleNamesAndKernelProcedures) {
  std::string names;
  for (int i = 0; i < 6; ++i) {
    const char *name = GetKnownModuleName(i);
    ASSERT_NE(name, nullptr) << i;
    EXPECT_EQ(names.find(std::string("|") + name + "|"), std::string::npos) << "twice: " << name;
    names += std::string("|") + name + "|";
  }
  EXPECT_NE(std::string(GetKnownModuleName(0)).find('z'), std::string::npos);
  for (int bad : {6, -1, 100}) {
    SalSetLastError(kSentinel);
    EXPECT_EQ(GetKnownModuleName(bad), nullptr);
    EXPECT_EQ(SalGetLastError(), kSalErrArgument);
  }
  using Length = int (*)(const char *);
  const auto length = reinterpret_cast<Length>(GetKernel32Proc(SAL_OS_WINDOWS ? "lstrlenA" : "strlen"));
  ASSERT_NE(length, nullptr);
  EXPECT_EQ(length("four"), 4);
  EXPECT_EQ(GetKernel32Proc("VbsNoSuchFunction"), nullptr);
  EXPECT_EQ(GetKernel32Proc(nullptr), nullptr);
}

// Runs last: the module it loads stays loaded, as the second Load keeps the
// first module's reference.
TEST(CSalModule, SystemLibraryIsAlreadyLoadedAndASecondLoadReplacesTheFirst) {
  CSalModule module;
  ASSERT_EQ(module.Load(SystemLibrary(), SAL_MODULE_ALREADY_LOADED), 1);
  const CWntModuleInfo *info = module.GetModuleInfo();
  ASSERT_NE(info, nullptr);
  EXPECT_TRUE(SameName(info->GetFileName().CStr(), SystemLibrary())) << info->GetFullPath();
  ExpectConsistent(*info);
  EXPECT_EQ(info->GetValue1() + info->GetValue2(), 0u);
  EXPECT_EQ(module.Unload(), 1);  // forgotten, not released

  ASSERT_EQ(module.Load(ModuleToLoad().c_str(), 0), 1);
  const Answer answer = AnswerOf(module);
  ASSERT_NE(answer, nullptr);
  ASSERT_EQ(module.Load(SystemLibrary(), SAL_MODULE_ALREADY_LOADED), 1);
  ASSERT_NE(module.GetModuleInfo(), nullptr);
  EXPECT_TRUE(SameName(module.GetModuleInfo()->GetFileName().CStr(), SystemLibrary()));
  EXPECT_EQ(module.GetProcAddress("VbsTestModuleAnswer"), nullptr);
  EXPECT_EQ(answer(), 42);  // the earlier module was not released
  // A failed load empties the object.
  EXPECT_EQ(module.Load("vbs-no-such-module", 0), 0);
  EXPECT_EQ(module.GetHandle(), nullptr);
  EXPECT_EQ(module.GetModuleInfo(), nullptr);
}

// The folder of a module's companions: beside it, or on POSIX its private
// folder (named after it without "lib" and the ending) once that exists.
TEST(CompanionFolder, BesideTheModuleOrInItsPrivateFolder) {
  TempDir dir;
  const std::string folder = dir.Path() + kSep;
  const std::string library = folder + (SAL_OS_WINDOWS ? "vbsCompanion.dll" : "libvbsCompanion.so.1");
  char buffer[1024];
  ASSERT_TRUE(sal::os::CompanionFolder(library.c_str(), buffer, sizeof buffer));
  EXPECT_EQ(std::string(buffer), folder);

  // A file of that name is no folder.
  dir.Write("vbsCompanion", "");
  ASSERT_TRUE(sal::os::CompanionFolder(library.c_str(), buffer, sizeof buffer));
  EXPECT_EQ(std::string(buffer), folder);
  fs::remove(dir.File("vbsCompanion"));

  fs::create_directory(dir.File("vbsCompanion"));
  ASSERT_TRUE(sal::os::CompanionFolder(library.c_str(), buffer, sizeof buffer));
  EXPECT_EQ(std::string(buffer), SAL_OS_WINDOWS ? folder : folder + "vbsCompanion/");
  // Without the version and without "lib" the same folder is meant.
  const std::string plain = folder + "vbsCompanion" + sal::os::ModuleSuffix();
  ASSERT_TRUE(sal::os::CompanionFolder(plain.c_str(), buffer, sizeof buffer));
  EXPECT_EQ(std::string(buffer), SAL_OS_WINDOWS ? folder : folder + "vbsCompanion/");

  // The folder and its separator must fit with the terminator.
  EXPECT_FALSE(sal::os::CompanionFolder(library.c_str(), buffer, folder.size()));
  EXPECT_TRUE(sal::os::CompanionFolder(library.c_str(), buffer, folder.size() + 1));
  EXPECT_EQ(std::string(buffer), folder) << "the private folder does not fit: the module's own";
  EXPECT_FALSE(sal::os::CompanionFolder("libvbsCompanion.so", buffer, sizeof buffer)) << "no folder";
}
