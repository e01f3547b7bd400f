// env_posix.cpp - the test environment helpers over setenv.
#include <stdlib.h>

#include "support/env.h"

bool SetTestEnvironment(const char *name, const std::string &value) {
  return (value.empty() ? unsetenv(name) : setenv(name, value.c_str(), 1)) == 0;
}

std::string GetTestEnvironment(const char *name) {
  const char *value = getenv(name);
  return value != nullptr ? value : "";
}

const char *TempFolderVariable() { return "TMPDIR"; }
