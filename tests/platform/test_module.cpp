// test_module.cpp - a tiny module for the CSalModule and message-table
// tests.  Loading it as code runs its initialiser, which appends one byte to
// the file named by VBS_TEST_MODULE_MARK; loading it as data must not run
// anything.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

// The entry points of a companion module on POSIX (platform/message_table.h):
// the string 5 and the message 7.
extern "C" VBS_EXPORT int vortLoadString(uint32_t id, char *buffer, int capacity) {
  if (id != 5 || buffer == nullptr || capacity <= 0) return 0;
  std::snprintf(buffer, static_cast<size_t>(capacity), "%s", "five");
  return static_cast<int>(std::strlen(buffer));
}

extern "C" VBS_EXPORT const char *vortFindMessage(uint32_t id) { return id == 7 ? "seven %1\r\n" : nullptr; }
