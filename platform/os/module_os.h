// module_os.h - private: what each OS supplies for CSalModule.  Not installed.
//
// Failures set no library error code: the system's own error value (the
// thread's last error on Windows; dlerror and errno on POSIX) keeps the
// reason.
#ifndef SAL_MODULE_OS_H
#define SAL_MODULE_OS_H

#include <cstddef>

namespace sal::os {

/// A module the process has already loaded, found by name; takes no
/// reference on it.  Null when it is not loaded.
void *FindLoadedModule(const char *name);
/// Loads a module as code, or maps its file as data (nothing of it runs).
/// Null on failure.
void *OpenModule(const char *name, bool asData);
/// Releases a handle from OpenModule.
bool ReleaseModule(void *module);
/// The address of an exported name; null when not exported and for a
/// module mapped as data.
void *ModuleSymbol(void *module, const char *name);
/// The module's file path into buffer; false when the system has none
/// (a module mapped as data) or it does not fit.
bool ModuleFileName(void *module, char *buffer, size_t capacity);
/// The handle of the system's kernel library, which is always loaded; no
/// reference is taken.  Null when it cannot be found.
void *KernelModule();
/// The well-known module names, indexes 0 to 5.
const char *KnownModuleName(int index);

}  // namespace sal::os

#endif  // SAL_MODULE_OS_H
