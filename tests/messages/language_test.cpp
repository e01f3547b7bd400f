// language_test.cpp - language.ini, language variants (CLanguageDll), the
// resource table (CLanguageDllResources) and the attach sequence.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "base/text_lookup.h"
#include "messages/language_dll.h"
#include "messages/language_resources.h"
#include "messages/library_attach.h"
#include "messages_fixture.h"
#include "platform/file.h"
#include "platform/self_module.h"
#include "support/temp_dir.h"
#include "text/common_msg_buffer.h"
#include "text/parse_stream.h"

namespace {
using GetHandle = SalModuleHandle (*)();

// A shared string module's handle, as its handle function gives it.
SalModuleHandle StringModule(const char *stem, const char *function) {
  CSalModule module;
  if (!module.Load((ProgramFolder() + ModuleFile(stem)).c_str(), 0)) return nullptr;
  auto get = reinterpret_cast<GetHandle>(module.GetProcAddress(function));
  return get != nullptr ? get() : nullptr;
}

// Unloads a module at the end of the scope, so that later tests load it afresh.
struct Release {
  CSalModule &module;
  ~Release() { module.Unload(); }
};

// The resources of a test: a table of their own, created for the test and
// destroyed with it, so that no test sees another's cache.
class Resources : public ::testing::Test {
 protected:
  void SetUp() override {
    resources_ = new CLanguageDllResources();
    // Each test starts from an empty cache and no modules.
    resources_->ClearBindings();
    for (int i = 0; i < 4; ++i) resources_->SetModule(i, nullptr);
  }
  void TearDown() override {
    delete resources_;  // destroys the table of the process
    SalAllowNewResourceTable();
  }
  CLanguageDllResources *resources_ = nullptr;
};
}  // namespace

TEST(ReadLanguageFile, FirstLineTrimmedOfBlanks) {
  TempDir dir;
  const std::string line(100 * 1024, 'L');
  const struct {
    std::string content, expected;
  } cases[] = {
      {" \tDEU\t\r\nFRA\n", "DEU"},
      {"DEU", "DEU"},
      {"\nDEU\n", ""},
      {"\xEF\xBB\xBF" "DEU\n", "\xEF\xBB\xBF" "DEU"},
      {"D E U\n", "D E U"},
      {"DEU\r\r\n", "DEU\r"},  // only the carriage return of the line end goes
      {"  " + line + "\t\nX\n", line},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.content.substr(0, 12));
    const std::string path = dir.Write("language.ini", c.content);
    EXPECT_EQ(std::string(ReadLanguageFile(path.c_str()).CStr()), c.expected);
  }
  const std::string missing = dir.File("missing.ini");
  for (const char *none : {missing.c_str(), static_cast<const char *>(nullptr), dir.Path().c_str()})
    EXPECT_TRUE(ReadLanguageFile(none).IsEmpty()) << "missing, null or a folder";
  // Another program holds the file open for writing, sharing it.
  const std::string path = dir.Write("language.ini", "DEU\n");
  CSalFile writer;
  writer.SetPath(path.c_str());
  ASSERT_EQ(writer.Open(SAL_FILE_ACCESS_READ_WRITE, SAL_FILE_OPEN_EXISTING, SAL_FILE_SHARE_READ_WRITE), 1);
  EXPECT_STREQ(ReadLanguageFile(path.c_str()).CStr(), "DEU");
}

TEST(SalVariantModuleName, SuffixGoesBeforeTheEnding) {
  const std::string end = sal::os::ModuleSuffix();
  const std::string sep(1, SAL_PATH_SEPARATOR);
  for (auto [name, expected] : {std::pair<std::string, std::string>{"vortBexScanner.dll", "vortBexScannerDEU" + end},
                                {"dir.d" + sep + "noext", "dir.d" + sep + "noextDEU" + end},
                                {"a" + sep + "b.c.dll", "a" + sep + "b.cDEU" + end}}) {
    EXPECT_EQ(std::string(SalVariantModuleName(name.c_str(), "DEU").CStr()), expected) << name;
  }
  if (SAL_OS_POSIX) {
    EXPECT_STREQ(SalVariantModuleName("/lib/libvortBexScanner.so.1.0.0", "DEU").CStr(), "/lib/libvortBexScannerDEU.so");
  }
  EXPECT_EQ(std::string(SalLanguageFileBeside(("x" + sep + "lib.dll").c_str()).CStr()), "x" + sep + "language.ini");
  EXPECT_EQ(std::string(SalLanguageFileBeside("lib.dll").CStr()), "lib.dll" + sep + "language.ini")
      << "a name without folder is taken whole";
}

TEST(CLanguageDll, LoadsTheVariantBesideTheModule) {
  CSalModule loaded;
  ASSERT_EQ(loaded.Load((ProgramFolder() + VBS_LIBRARY_FILE).c_str(), 0), 1);
  Release release{loaded};
  const SalModuleHandle library = loaded.GetHandle();
  for (const char *language : {static_cast<const char *>(nullptr), "XYZ"}) {  // no language.ini, no variant
    CLanguageDll plain(library, language);
    EXPECT_FALSE(plain.OwnsModule());
    EXPECT_EQ(plain.GetModule(), library);
  }
  {
    CLanguageDll german(library, "DEU");
    ASSERT_TRUE(german.OwnsModule());
    // The variant's string table answers the library's ids.
    char text[256];
    EXPECT_GT(sal::os::LoadModuleString(german.GetModule(), 47208, text, sizeof text), 0);
    EXPECT_STREQ(text, "Schwerer Fehler %s(%d) in vortBexScanner.dll");
    EXPECT_EQ(sal::os::LoadModuleString(german.GetModule(), 47213, text, sizeof text), 0);
  }
  LanguageIni ini("DEU\r\n");
  CLanguageDll fromFile(library, nullptr);
  EXPECT_TRUE(fromFile.OwnsModule());
  CLanguageDll overridden(library, "XYZ");
  EXPECT_FALSE(overridden.OwnsModule()) << "the language given replaces language.ini";
  EXPECT_EQ(CLanguageDll(nullptr, "DEU").GetModule(), nullptr);
}

TEST(CLanguageDll, InstalledTreeKeepsTheVariantInThePrivateFolder) {
  // An installed library's companions lie in its private folder
  // (vortBexScanner/ beside libvortBexScanner.so.1) on POSIX; a DLL's lie
  // beside it, and a folder of that name means nothing there.
  TempDir dir;
  const std::string privateFolder = dir.File("vortBexScanner");
  const std::string variant = SalVariantModuleName(VBS_LIBRARY_FILE, "DEU").CStr();
  std::filesystem::create_directory(privateFolder);
  std::filesystem::copy_file(ProgramFolder() + VBS_LIBRARY_FILE, dir.File(VBS_LIBRARY_FILE));
  std::filesystem::copy_file(ProgramFolder() + variant, privateFolder + SAL_PATH_SEPARATOR + variant);
  dir.Write("vortBexScanner" + std::string(1, SAL_PATH_SEPARATOR) + "language.ini", "DEU\n");
  CSalModule loaded;
  ASSERT_EQ(loaded.Load(dir.File(VBS_LIBRARY_FILE).c_str(), 0), 1);
  Release release{loaded};
  CLanguageDll language(loaded.GetHandle(), nullptr);
  if (SAL_OS_WINDOWS) {
    EXPECT_FALSE(language.OwnsModule());
    return;
  }
  ASSERT_TRUE(language.OwnsModule());
  CWntModuleInfo info(language.GetModule(), 0, 0);
  EXPECT_EQ(std::filesystem::canonical(info.GetFullPath().CStr()),
            std::filesystem::canonical(privateFolder + "/" + variant));
}

TEST_F(Resources, LookupRulesTheSharedCacheAndTheStringModules) {
  EXPECT_STREQ(resources_->GetString(0, 0, "d"), "d");
  EXPECT_STREQ(resources_->GetString(4, 38400, "d"), "d");
  EXPECT_STREQ(resources_->GetString(-1, 38400, "d"), "d");
  const SalModuleHandle kernel = StringModule("locStringsKernelCommon", "GetKernelCommonHandle");
  const SalModuleHandle common = StringModule("locStringsCommon", "GetCommonHandle");
  const SalModuleHandle features = StringModule("locStringsKernelFeatures", "GetKernelFeaturesHandle");
  ASSERT_TRUE(kernel != nullptr && common != nullptr && features != nullptr);
  resources_->SetModule(7, kernel);
  EXPECT_EQ(resources_->GetModule(7), nullptr);
  resources_->SetModule(1, common);
  resources_->SetModule(2, kernel);
  resources_->SetModule(3, features);
  EXPECT_EQ(resources_->GetModule(2), kernel);
  EXPECT_STREQ(resources_->GetString(1, 38210, "d"), " on nesting level %u");
  EXPECT_STREQ(resources_->GetString(3, 38500, "d"), "kernel features strings");
  EXPECT_STREQ(resources_->GetString(3, 38400, "d"), "d") << "index 3 has no module with the id";
  EXPECT_EQ(resources_->FindString(38400), nullptr) << "a missing text is not cached";
  const char *text = resources_->GetString(2, 38400, "d");
  EXPECT_STREQ(text, "kernel common strings");
  EXPECT_EQ(resources_->GetString(3, 38400, "other"), text) << "the cache answers every index";
  EXPECT_EQ(resources_->LoadModuleString(4, 38400), nullptr);
  // The table is the process's: another object sees the same cache.
  EXPECT_EQ(SalGetLibraryResources().FindString(38400), text);
  // Storing the same text keeps the copy; another text replaces it.
  EXPECT_EQ(resources_->StoreString(38400, "kernel common strings"), 1);
  EXPECT_EQ(resources_->FindString(38400), text);
  EXPECT_EQ(resources_->StoreString(38400, "new"), 1);
  EXPECT_STREQ(resources_->FindString(38400), "new");
  EXPECT_EQ(resources_->StoreString(38400, nullptr), 0);
}

TEST_F(Resources, BoundVariablesReloadAndRestore) {
  resources_->SetModule(2, StringModule("locStringsKernelCommon", "GetKernelCommonHandle"));
  const char *bound = "before";
  const char *missing = "keeps";
  const char *ignored = "zero id";
  resources_->BindString(2, 38400, &bound, "default");
  EXPECT_STREQ(bound, "default");
  resources_->BindString(2, 38499, &missing);
  resources_->BindString(2, 0, &ignored, "set anyway");
  EXPECT_STREQ(ignored, "set anyway") << "the default is set even when nothing is bound";
  resources_->ReloadBoundStrings();
  EXPECT_STREQ(bound, "kernel common strings");
  EXPECT_STREQ(missing, "keeps");
  ignored = "unchanged";
  resources_->ReloadBoundStrings();
  EXPECT_STREQ(ignored, "unchanged");
  resources_->RestoreBoundStrings();
  EXPECT_STREQ(bound, "default") << "the text the variable held when it was bound";
  resources_->ClearBindings();
  EXPECT_EQ(resources_->FindString(38400), nullptr) << "the cache is emptied";
  resources_->ReloadBoundStrings();
  EXPECT_STREQ(bound, "default") << "no binding is left";

  // A destroyed table restores the bindings and ends every object's texts.
  resources_->StoreString(1, "cached");
  resources_->BindString(0, 47208, &bound);
  bound = "changed";
  { CLanguageDllResources other; }
  EXPECT_STREQ(bound, "default");
  EXPECT_EQ(resources_->FindString(1), nullptr);
  EXPECT_STREQ(resources_->GetString(0, 1, "default"), "default");
  EXPECT_EQ(resources_->StoreString(1, "x"), 0);
  resources_->SetModule(1, reinterpret_cast<SalModuleHandle>(1));
  EXPECT_EQ(resources_->GetModule(1), nullptr);
  CLanguageDllResources late;
  EXPECT_EQ(late.StoreString(2, "y"), 0) << "a destroyed table is not created again";
}

TEST_F(Resources, ConcurrentLookupsAndStores) {
  resources_->SetModule(2, StringModule("locStringsKernelCommon", "GetKernelCommonHandle"));
  std::vector<std::thread> threads;
  std::vector<int> wrong(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([this, t, &wrong] {
      const std::string own = "text of thread " + std::to_string(t);
      for (int i = 0; i < 2000; ++i) {
        if (std::string(resources_->GetString(2, 38400, "d")) != "kernel common strings") ++wrong[t];
        resources_->StoreString(50000 + t, own.c_str());
        const char *back = resources_->FindString(50000 + t);
        if (back == nullptr || own != back) ++wrong[t];
        if (i % 100 == 0) resources_->ReloadBoundStrings();
      }
    });
  }
  for (std::thread &t : threads) t.join();
  EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

TEST_F(Resources, ATranslatedCommonStringsModuleLocalizesTheParseStream) {
  const SalModuleHandle translated = LoadBesideProgram(ModuleFile("vortTestCommonStrings"));
  ASSERT_NE(translated, nullptr);
  resources_->SetModule(1, translated);
  SalInstallTextLookup(resources_);
  const char data[] = "\x01\x02\x03\x04\x05";
  CCommonMsgBuffer messages("|");
  CParseStream stream(TextSpan{data, 5}, 0, &messages);
  uint32_t value = 0;
  ASSERT_EQ(stream.EnterLevelBytes(5), 1);
  ASSERT_EQ(stream.ReadUInt32(&value), 1);
  EXPECT_EQ(stream.ReadBytes(2), 0);
  CCommonString text;
  messages.GetText(text);
  SalInstallTextLookup(nullptr);
  // 38210 has "%s" where its default has "%u": the default stands in.
  EXPECT_STREQ(text.CStr(), "bei Binaeroffset dez 4 (hex 4)|unerwartetes Ende der Daten on nesting level 1");
  // Without the lookup the parse stream speaks English again.
  CCommonMsgBuffer english("|");
  CParseStream again(TextSpan{data, 1}, 0, &english);
  EXPECT_EQ(again.ReadBytes(2), 0);
  english.GetText(text);
  EXPECT_STREQ(text.CStr(), "at binary offset dec 0 (hex 0)|unexpected end of data");
}

TEST(SalLibraryAttach, RegistersTheModulesOnce) {
  // The program stands in for the library: its folder holds the string
  // modules and no language.ini.
  const SalModuleHandle self = sal::os::SelfModule();
  ASSERT_NE(self, nullptr);
  CLanguageDllResources &resources = SalGetLibraryResources();
  SalLibraryAttach(self);
  EXPECT_EQ(resources.GetModule(0), self);
  EXPECT_FALSE(resources.IsLanguageModuleLoaded());
  for (int index = 1; index <= 3; ++index) EXPECT_NE(resources.GetModule(index), nullptr) << index;
  EXPECT_STREQ(resources.GetString(1, 38216, "default"), "error");
  // The lower layers' texts now come through the library's resources.
  ASSERT_EQ(resources.StoreString(38339, "PPC?"), 1);
  EXPECT_STREQ(SalCommonText(38339), "PPC?");
  ASSERT_EQ(resources.StoreString(38339, SalCommonStringDefault(38339)), 1);
  // Attaching again keeps the language object of the first attach.
  LanguageIni ini("DEU\n");
  SalLibraryAttach(self);
  EXPECT_FALSE(resources.IsLanguageModuleLoaded());
  EXPECT_STREQ(SalGetEventSourceName(), "vortBexScanner");
}
