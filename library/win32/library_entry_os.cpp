// win32/library_entry_os.cpp - the DLL's entry point.  Linked into the DLL
// only.
//
// The attach sequence loads the shared string modules and the library's
// language variant while the loader lock is held.  Those modules are the
// product's resource modules: they start no threads and wait for nothing in
// their own entry points, which is what makes loading them here safe.
#include <windows.h>

#include "messages/library_attach.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) SalLibraryAttach(instance);
  return TRUE;
}
