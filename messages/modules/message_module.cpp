// message_module.cpp - the message-table entry point of a message module on
// POSIX.  The table is the text file named by VBS_MESSAGE_DEF, the file the
// Windows message compiler is fed from; each text ends with "\r\n" as in a
// message table.
#include <cstdint>

#include "base/sal_config.h"

namespace {
struct Message {
  uint32_t id;
  const char *text;
};
constexpr Message kMessages[] = {
#define SAL_MESSAGE(id, text) {id, text "\r\n"},
#include VBS_MESSAGE_DEF
#undef SAL_MESSAGE
};
}  // namespace

extern "C" VBS_EXPORT const char *vortFindMessage(uint32_t id) {
  for (const Message &m : kMessages)
    if (m.id == id) return m.text;
  return nullptr;
}
