// env.h - changing the process environment in tests.
#ifndef VBS_TESTS_ENV_H
#define VBS_TESTS_ENV_H

#include <string>

/// Sets the environment variable name to value for the rest of the process
/// (an empty value removes it), so that both the C runtime and the
/// system's own calls see it.  Returns false when that failed.
bool SetTestEnvironment(const char *name, const std::string &value);

/// The variable's value; "" when it is not set.
std::string GetTestEnvironment(const char *name);

/// The environment variable that names the temporary folder: TMPDIR on
/// POSIX, TMP on Windows.
const char *TempFolderVariable();

/// Points the temporary folder at path for the object's life and restores
/// the previous setting afterwards.
class ScopedTempFolder {
 public:
  explicit ScopedTempFolder(const std::string &path)
      : saved_(GetTestEnvironment(TempFolderVariable())) {
    SetTestEnvironment(TempFolderVariable(), path);
  }
  ~ScopedTempFolder() { SetTestEnvironment(TempFolderVariable(), saved_); }
  ScopedTempFolder(const ScopedTempFolder &) = delete;
  ScopedTempFolder &operator=(const ScopedTempFolder &) = delete;

 private:
  std::string saved_;
};

#endif  // VBS_TESTS_ENV_H
