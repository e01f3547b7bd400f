// env_win32.cpp - the test environment helpers over _putenv_s, which also
// changes the environment that Win32 calls such as GetTempPathA read.
#include <stdlib.h>

#include "support/env.h"

bool SetTestEnvironment(const char *name, const std::string &value) {
  return _putenv_s(name, value.c_str()) == 0;
}

std::string GetTestEnvironment(const char *name) {
  const char *value = getenv(name);
  return value != nullptr ? value : "";
}

const char *TempFolderVariable() { return "TMP"; }
