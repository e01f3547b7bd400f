// win32/self_module_os.cpp - the handle of the module holding this code,
// or any address.
#include <windows.h>

#include "platform/self_module.h"

namespace sal::os {

void *ModuleHolding(const void *address) {
  HMODULE module = nullptr;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                              GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          static_cast<LPCSTR>(address), &module))
    return nullptr;
  return module;
}

void *SelfModule() { return ModuleHolding(reinterpret_cast<const void *>(&SelfModule)); }

}  // namespace sal::os
