// win32/self_module_os.cpp - the handle of the module holding this code.
#include <windows.h>

#include "platform/self_module.h"

namespace sal::os {

void *SelfModule() {
  HMODULE module = nullptr;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                              GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCSTR>(&SelfModule), &module))
    return nullptr;
  return module;
}

}  // namespace sal::os
