// messages_fixture.h - helpers of the messages tests: the program's folder,
// language.ini beside it, and the companion modules that lie there.
#ifndef VBS_TESTS_MESSAGES_FIXTURE_H
#define VBS_TESTS_MESSAGES_FIXTURE_H

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "base/sal_config.h"
#include "platform/directory.h"
#include "platform/file.h"
#include "platform/message_table.h"
#include "platform/module.h"
#include "support/scoped_env.h"

/// The folder of the test program, with its trailing separator.
inline std::string ProgramFolder() {
  char name[1024];
  if (!sal::os::HostProgramFileName(name, sizeof name)) return "";
  std::string path(name);
  return path.substr(0, path.rfind(SAL_PATH_SEPARATOR) + 1);
}

/// A module's file name: stem + ".dll" or ".so".
inline std::string ModuleFile(const std::string &stem) { return stem + sal::os::ModuleSuffix(); }

/// Loads a module from the program's folder as code or as data; it stays loaded.
inline SalModuleHandle LoadBesideProgram(const std::string &file, uint32_t flags = 0) {
  CSalModule module;
  return module.Load((ProgramFolder() + file).c_str(), flags) ? module.GetHandle() : nullptr;
}

/// Points the temporary folder at path for the object's life: TMP on
/// Windows (GetTempPathA reads it first), TMPDIR on POSIX.
struct ScopedTempFolder {
  explicit ScopedTempFolder(const std::string &path) : env(SAL_OS_WINDOWS ? "TMP" : "TMPDIR", path.c_str()) {}
  ScopedEnv env;
};

/// language.ini beside the test program with the given bytes, removed at the
/// end of the scope.  Only messages_tests may do this: its folder is its own.
class LanguageIni {
 public:
  explicit LanguageIni(const std::string &content) : path_(ProgramFolder() + "language.ini") {
    std::ofstream(path_, std::ios::binary | std::ios::trunc) << content;
  }
  ~LanguageIni() { std::remove(path_.c_str()); }
  LanguageIni(const LanguageIni &) = delete;
  LanguageIni &operator=(const LanguageIni &) = delete;

 private:
  std::string path_;
};

/// text with the "YYYY-MM-DD HH:MM:SS " stamp at the start of each line
/// ("\r\n"-separated) replaced by "<T>", so that log lines compare in full.
inline std::string MaskStamps(const std::string &text) {
  static const char kPattern[] = "dddd-dd-dd dd:dd:dd ";
  std::string out;
  for (size_t pos = 0; pos < text.size();) {
    bool stamp = pos + 20 <= text.size();
    for (size_t i = 0; stamp && i < 20; ++i) {
      const char c = text[pos + i];
      stamp = kPattern[i] == 'd' ? (c >= '0' && c <= '9') : c == kPattern[i];
    }
    if (stamp) {
      out += "<T>";
      pos += 20;
    }
    const size_t end = text.find("\r\n", pos);
    const size_t next = end == std::string::npos ? text.size() : end + 2;
    out += text.substr(pos, next - pos);
    pos = next;
  }
  return out;
}

/// A folder that carries the read-only attribute for the object's life; Ok()
/// says whether this system keeps it (Wine does not).
class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(const std::string &path) : path_(path) {
    CSalDirectory::CreatePath(path.c_str());
    folder_.SetPath(path.c_str());
    folder_.SetAttributes(SAL_ATTR_READONLY);
  }
  ~ReadOnlyFolder() { folder_.SetAttributes(0); }
  ReadOnlyFolder(const ReadOnlyFolder &) = delete;
  ReadOnlyFolder &operator=(const ReadOnlyFolder &) = delete;
  const std::string &Path() const { return path_; }
  bool Ok() const {
    CSalDirectory probe;
    probe.SetPath(path_.c_str());
    return probe.IsReadOnly() == 1;
  }

 private:
  std::string path_;
  CSalFile folder_;  // the folder's path, to change its attributes
};

#endif  // VBS_TESTS_MESSAGES_FIXTURE_H
