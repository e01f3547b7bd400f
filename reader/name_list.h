// name_list.h - CNameListBase: turns name offsets into texts.
#ifndef VBS_READER_NAME_LIST_H
#define VBS_READER_NAME_LIST_H

#include <cstdint>

#include "base/core.h"

/// Holds the name pool of a Bex file.  Never fails: an offset that does not
/// lead into the pool yields a placeholder in the answer buffer.  Its
/// destructor releases nothing but the object: the pool belongs to whoever
/// filled it.
class CNameListBase : public CSalCore {
 public:
  /// The text at offset.  Offsets above the pool length give "$<offset>";
  /// negative offsets, or any offset without a pool, give "XUNDEF"; those
  /// answers share one buffer, valid until the next such lookup.  An offset
  /// inside the pool gives the pool's text there, always terminated because
  /// the pool keeps a zero byte after its last byte.
  const char *GetName(int32_t offset);

  uint32_t header = 0;     // the file's namelist word, carried
  char *pool = nullptr;    // poolLength bytes plus one zero byte; null without pool
  int32_t poolLength = -1; // -1 until a pool was read
  char answer[16] = {};
};

#endif  // VBS_READER_NAME_LIST_H
