// string_module.cpp - the string-table entry point of a companion module
// on POSIX, where modules carry no string resources.  The table is the
// text file named by VBS_TEXT_DEF, the file the Windows resource compiler
// reads for the same module.
#include <cstdint>
#include <cstring>

#include "base/sal_config.h"
#include "base/text_table.h"

namespace {
constexpr SalTextEntry kTexts[] = {
#define SAL_TEXT(id, text) {id, text},
#include VBS_TEXT_DEF
#undef SAL_TEXT
};
}  // namespace

// LoadStringA's contract: at most capacity - 1 bytes, terminated; the bytes
// copied, 0 for an id the table does not hold.
extern "C" VBS_EXPORT int vortLoadString(uint32_t id, char *buffer, int capacity) {
  if (buffer == nullptr || capacity <= 0) return 0;
  const char *text = SalFindText(kTexts, id);
  if (text == nullptr) {
    buffer[0] = '\0';
    return 0;
  }
  const size_t length = std::strlen(text);
  const size_t take = length < static_cast<size_t>(capacity - 1) ? length : static_cast<size_t>(capacity - 1);
  std::memcpy(buffer, text, take);
  buffer[take] = '\0';
  return static_cast<int>(take);
}
