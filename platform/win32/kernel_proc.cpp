// win32/kernel_proc.cpp - kernel32.dll exports resolved at run time.
#include <windows.h>

#include "platform/win32/kernel_proc.h"

namespace sal::os {
void *SalKernelProcSeam(const char *name) {
  // kernel32.dll is loaded in every process and never unloaded.
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (kernel == nullptr || name == nullptr) return nullptr;
  return reinterpret_cast<void *>(GetProcAddress(kernel, name));
}
}  // namespace sal::os
