// code_page_convert_os.h - private: what each OS supplies for the code-page
// conversions and the enumeration of code pages.
#ifndef SAL_CODE_PAGE_CONVERT_OS_H
#define SAL_CODE_PAGE_CONVERT_OS_H

#include <cstdint>

#include "base/common_string.h"

namespace sal {
/// Called by the backend once per supported code page, with its number as
/// decimal text, on the enumerating thread (code_page_convert.cpp).
int EnumCodePageProc(const char *codePageText);
}  // namespace sal

namespace sal::os {
/// The conversions with the Windows functions' contract; codePage is never
/// 0 here (the caller has put in the ANSI code page).  0 on any failure.
int MultiByteToWide(uint32_t codePage, const char *source, int sourceLength, char16_t *target,
                    int targetCapacity, uint32_t flags);
int WideToMultiByte(uint32_t codePage, const char16_t *source, int sourceLength, char *target,
                    int targetCapacity, uint32_t flags, const char *defaultChar, int *usedDefault);
/// True when the system converts codePage.
bool IsValidCodePage(uint32_t codePage);
/// Sets *name to the system's name of codePage; false when it has none.
using CodePageNameFunction = bool (*)(uint32_t codePage, CCommonString *name);
/// The system's code-page naming, null when the system offers none.
CodePageNameFunction CodePageNamer();
/// Calls sal::EnumCodePageProc for every code page the system supports.
void EnumerateCodePages();
}  // namespace sal::os

#endif  // SAL_CODE_PAGE_CONVERT_OS_H
