// library_test.cpp - the shipped library loaded as a host program loads it:
// its entry point attaches it, and a failing ReadBex leaves the composed,
// localized text that LastRBexErr returns, in English and, with
// language.ini naming DEU, in German.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "messages_fixture.h"
#include "support/temp_dir.h"
#include "tools/bex_writer.h"

namespace {
// The library beside the test program, with the companion modules; loaded
// for the object's life and released afterwards, which runs its unload.
class Library {
 public:
  Library() {
    if (module_.Load((ProgramFolder() + VBS_LIBRARY_FILE).c_str(), 0)) {
      readBex_ = reinterpret_cast<ReadBexFunction>(module_.GetProcAddress("ReadBex"));
      lastError_ = reinterpret_cast<LastErrorFunction>(module_.GetProcAddress("LastRBexErr"));
      freeBex_ = reinterpret_cast<FreeBexFunction>(module_.GetProcAddress("FreeBex"));
    }
  }
  ~Library() { module_.Unload(); }
  bool Loaded() const { return readBex_ != nullptr && lastError_ != nullptr && freeBex_ != nullptr; }
  // ReadBex of path; the text LastRBexErr gives after it.
  std::string Fail(const char *path) {
    EXPECT_EQ(readBex_(path), 0);
    freeBex_();
    return lastError_();
  }
  std::string Fail(const std::string &path) { return Fail(path.c_str()); }

 private:
  using ReadBexFunction = int32_t (*)(const char *);
  using LastErrorFunction = const char *(*)();
  using FreeBexFunction = void (*)();
  CSalModule module_;
  ReadBexFunction readBex_ = nullptr;
  LastErrorFunction lastError_ = nullptr;
  FreeBexFunction freeBex_ = nullptr;
};

// A Bex file that ends inside its last transaction-call record.
std::string ShortTraCall(const TempDir &dir) {
  const std::vector<uint8_t> file = bexgen::WriteBex(bexgen::DemoSpec());
  return dir.Write("short.bex", std::vector<uint8_t>(file.begin(), file.end() - 30));
}
}  // namespace

TEST(ShippedLibrary, TextsInTheLanguageThatLanguageIniNames) {
  TempDir dir;
  const std::string missing = dir.File("missing.bex");
  const std::string english[] = {
      "Severe Error RESERR: 19 - The Bex file " + missing + " cannot be opened.(19) in vortBexScanner.dll",
      "Severe Error RESERR: 170 - Reading TRACALLNODE from the Bex file failed or came up short.(170) in "
      "vortBexScanner.dll"};
  const std::string german[] = {
      "Schwerer Fehler RESERR: 19 - Die Bex-Datei " + missing + " kann nicht geoeffnet werden.(19) in "
      "vortBexScanner.dll",
      "Schwerer Fehler RESERR: 170 - Das Lesen von TRACALLNODE aus der Bex-Datei ist fehlgeschlagen oder "
      "unvollstaendig.(170) in vortBexScanner.dll"};
  // The same file names the library's variant (beside the library) and the
  // message module's (beside the program): both lie in this folder.
  for (const char *language : {"", "DEU\r\n", "  FRA \n"}) {
    SCOPED_TRACE(language);
    std::unique_ptr<LanguageIni> ini(*language != '\0' ? new LanguageIni(language) : nullptr);
    Library library;
    ASSERT_TRUE(library.Loaded());
    const std::string *expected = language[0] == 'D' ? german : english;
    EXPECT_EQ(library.Fail(missing), expected[0]);
    EXPECT_EQ(library.Fail(ShortTraCall(dir)), expected[1]);
  }
}
