// win32/module_os.cpp - module loading, lookup and file names over Win32.
#include <windows.h>

#include "platform/os/module_os.h"

namespace sal::os {

namespace {
// DONT_RESOLVE_DLL_REFERENCES | LOAD_LIBRARY_AS_DATAFILE: the file is mapped
// as data, its imports are not resolved and its entry point never runs.
constexpr DWORD kAsData = 3;

const char *const kKnownModules[6] = {
    "zlib.dll",              // the compression library
    "vortVersion.dll",       // the product's version module
    "vortMessages.dll",      // the product's message module
    "wtsapi32.dll",          // the terminal-services interface
    "locStringsCommon.dll",  // the product's shared string modules
    "locStringsKernelCommon.dll",
};
}  // namespace

void *FindLoadedModule(const char *name) { return GetModuleHandleA(name); }

void *OpenModule(const char *name, bool asData) {
  return LoadLibraryExA(name, nullptr, asData ? kAsData : 0);
}

bool ReleaseModule(void *module) { return FreeLibrary(static_cast<HMODULE>(module)) != FALSE; }

void *ModuleSymbol(void *module, const char *name) {
  return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(module), name));
}

bool ModuleFileName(void *module, char *buffer, size_t capacity) {
  const DWORD size = static_cast<DWORD>(capacity);
  const DWORD length = GetModuleFileNameA(static_cast<HMODULE>(module), buffer, size);
  // A name that filled the buffer was cut (and on old systems is not even
  // terminated): no name rather than a wrong one.
  return length != 0 && length < size;
}

void *KernelModule() { return GetModuleHandleA("kernel32.dll"); }

const char *KnownModuleName(int index) { return kKnownModules[index]; }

}  // namespace sal::os
