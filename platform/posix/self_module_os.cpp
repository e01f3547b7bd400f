// posix/self_module_os.cpp - the handle of the module holding this code,
// or of any address, through the dynamic loader (dladdr, dlopen with
// RTLD_NOLOAD).
#include <dlfcn.h>

#include "platform/self_module.h"

namespace sal::os {

void *ModuleHolding(const void *address) {
  Dl_info info;
  if (dladdr(address, &info) == 0) return nullptr;
  if (info.dli_fname != nullptr && info.dli_fname[0] != '\0') {
    if (void *module = dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD)) {
      // RTLD_NOLOAD counted a reference; give it back, the module stays
      // loaded as long as its owners keep it.
      dlclose(module);
      return module;
    }
  }
  // The loader knows the main program under no file name: the address lies
  // in the program itself.
  return dlopen(nullptr, RTLD_LAZY);
}

void *SelfModule() { return ModuleHolding(reinterpret_cast<const void *>(&SelfModule)); }

}  // namespace sal::os
