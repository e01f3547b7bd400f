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

/// Loads a module from the program's folder (where the companion modules
/// lie) as code or as data; the handle stays loaded.
inline SalModuleHandle LoadBesideProgram(const std::string &file, uint32_t flags = 0) {
  CSalModule module;
  return module.Load((ProgramFolder() + file).c_str(), flags) ? module.GetHandle() : nullptr;
}

/// Points the temporary folder at path for the object's life: TMP on
/// Windows (GetTempPathA reads it first), TMPDIR on POSIX.
class ScopedTempFolder {
 public:
  explicit ScopedTempFolder(const std::string &path)
      : env_(SAL_OS_WINDOWS ? "TMP" : "TMPDIR", path.c_str()) {}

 private:
  ScopedEnv env_;
};

/// language.ini beside the test program with the given bytes, removed again
/// at the end of the scope.  Only messages_tests may do this: its folder is
/// its own.
class LanguageIni {
 public:
  explicit LanguageIni(const std::string &content) : path_(ProgramFolder() + "language.ini") {
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out << content;
  }
  ~LanguageIni() { std::remove(path_.c_str()); }
  LanguageIni(const LanguageIni &) = delete;
  LanguageIni &operator=(const LanguageIni &) = delete;

 private:
  std::string path_;
};

/// True when text holds "YYYY-MM-DD HH:MM:SS " (digits where the letters
/// are) at pos.
inline bool IsStampAt(const std::string &text, size_t pos) {
  static const char kPattern[] = "dddd-dd-dd dd:dd:dd ";
  if (pos + sizeof kPattern - 1 > text.size()) return false;
  for (size_t i = 0; i + 1 < sizeof kPattern; ++i) {
    const char c = text[pos + i];
    if (kPattern[i] == 'd' ? (c < '0' || c > '9') : c != kPattern[i]) return false;
  }
  return true;
}

/// text with the time stamp at the start of each line ("\r\n"-separated)
/// replaced by "<T>", so that log lines compare in full.
inline std::string MaskStamps(const std::string &text) {
  std::string out;
  size_t pos = 0;
  while (pos < text.size()) {
    if (IsStampAt(text, pos)) {
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

/// A folder that carries the read-only attribute for the object's life.
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

 private:
  std::string path_;
  CSalFile folder_;  // the folder's path, to change its attributes
};

#endif  // VBS_TESTS_MESSAGES_FIXTURE_H
