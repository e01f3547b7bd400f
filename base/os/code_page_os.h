// code_page_os.h - private: what each OS supplies for code pages.
#ifndef SAL_CODE_PAGE_OS_H
#define SAL_CODE_PAGE_OS_H

#include <cstdint>

namespace sal::os {
/// The system's ANSI code page (Windows: GetACP; POSIX: from LC_CTYPE).
uint32_t AnsiCodePage();
/// Lead-byte test for code pages without a built-in table; false when the
/// system does not know the code page.
bool IsLeadByteEx(uint32_t codePage, unsigned char byte);
}  // namespace sal::os

#endif  // SAL_CODE_PAGE_OS_H
