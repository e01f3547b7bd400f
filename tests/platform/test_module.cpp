// test_module.cpp - a tiny module for the CSalModule tests.  Loading it as
// code runs its initialiser, which appends one byte to the file named by
// VBS_TEST_MODULE_MARK; loading it as data must not run anything.
#include <cstdio>
#include <cstdlib>

#include "base/sal_config.h"

namespace {
struct MarkOnLoad {
  MarkOnLoad() {
    const char *path = std::getenv("VBS_TEST_MODULE_MARK");
    if (path == nullptr) return;
    if (std::FILE *f = std::fopen(path, "ab")) {
      std::fputc('x', f);
      std::fclose(f);
    }
  }
} markOnLoad;
}  // namespace

extern "C" VBS_EXPORT int VbsTestModuleAnswer() { return 42; }
