// win32/code_page_os.cpp - the ANSI code page from the system.
#include <windows.h>

#include "base/os/code_page_os.h"

namespace sal::os {
uint32_t AnsiCodePage() { return GetACP(); }

bool IsLeadByteEx(uint32_t codePage, unsigned char byte) {
  return IsDBCSLeadByteEx(codePage, byte) != FALSE;
}
}  // namespace sal::os
