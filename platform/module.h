// module.h - CSalModule: one loaded dynamic library; its file information;
// the table of well-known module names; the kernel library's functions.
#ifndef SAL_MODULE_H
#define SAL_MODULE_H

#include <cstdint>

#include "base/common_string.h"
#include "base/core.h"

/// The platform's module handle, one pointer wide: an HMODULE on Windows; on
/// POSIX a dlopen handle, or a marked handle of a module mapped as data.
using SalModuleHandle = void *;

/// Flags of CSalModule::Load.
enum : uint32_t {
  SAL_MODULE_ALREADY_LOADED = 1,  // take a module the process has loaded, load nothing
  SAL_MODULE_AS_DATA = 2,         // map the file as data: nothing of it runs
};

/// The file path of a module, split into file name and directory.
class CSalModuleInfo : public CSalCore {
 public:
  /// fullPath becomes path (empty for null); fileName and directory (with
  /// its trailing separator) are derived from it with SalPathGetFileName
  /// and SalPathGetDir.
  void SetFileName(const char *path);

  const CCommonString &GetFullPath() const { return fullPath_; }
  const CCommonString &GetFileName() const { return fileName_; }
  const CCommonString &GetDirectory() const { return directory_; }

 private:
  CCommonString fullPath_;   // the module's file path as the system reports it
  CCommonString fileName_;   // SalPathGetFileName of fullPath
  CCommonString directory_;  // SalPathGetDir of fullPath, trailing separator included
};

/// The information of one loaded module, filled from the system's record
/// of its file name.  A module mapped as data has no such record: its
/// strings stay empty.
class CWntModuleInfo : public CSalModuleInfo {
 public:
  /// value1 and value2 are stored and not otherwise used.
  CWntModuleInfo(SalModuleHandle module, uint32_t value1, uint32_t value2);

  SalModuleHandle GetModule() const { return module_; }
  uint32_t GetValue1() const { return value1_; }
  uint32_t GetValue2() const { return value2_; }

 private:
  SalModuleHandle module_;  // the module described
  uint32_t value1_;
  uint32_t value2_;
};

struct SalModuleCell;

/// One loaded module.  Empty (no handle, no information) or holding one
/// module with its CWntModuleInfo.  The destructor does not release the
/// module: give it back with Unload first.  One thread at a time.
class CSalModule : public CSalCore {
 public:
  CSalModule();
  ~CSalModule() override;

  /// Loads the module name (a file name, or a path), or with
  /// SAL_MODULE_ALREADY_LOADED takes the handle of a module the process has
  /// already loaded.  SAL_MODULE_AS_DATA maps it as data: nothing of it runs
  /// and no function can be looked up.  The new handle replaces the one
  /// held before (which is not released) together with its information.
  /// 1 when a handle was obtained; else 0 and the object is empty, with the
  /// system's own error value as the load left it.  0xE0280001 and 0 for a
  /// null or empty name.
  int Load(const char *name, uint32_t flags);
  /// The information of the module held, owned by this object; null when
  /// empty.
  CWntModuleInfo *GetModuleInfo() const;
  /// The exported function or variable name; null when it is not exported
  /// (always for a module mapped as data).  0xE0280002 and null when no
  /// module is held, 0xE0280001 and null for a null name.
  void *GetProcAddress(const char *name) const;
  /// Drops the information and releases a module that Load loaded; a handle
  /// taken with SAL_MODULE_ALREADY_LOADED is forgotten, since this object
  /// holds no reference to it.  1 when the object is empty afterwards
  /// (also when it was empty); 0 when the release failed (the handle stays).
  int Unload();
  /// The handle held; null when empty.
  SalModuleHandle GetHandle() const;

 private:
  SalModuleCell *handle_;  // owned handle cell
  CWntModuleInfo *info_;   // owned; present exactly while a module is held
};

/// The file name of a well-known module (0 the compression library, 3 the
/// terminal-services interface, 1, 2, 4, 5 modules of the product), with
/// the platform's module suffix; null with 0xE0280001 for any other index.
const char *GetKnownModuleName(int index);

/// A function of the system's kernel library (kernel32.dll on Windows, the
/// C library on POSIX); null when it is not exported or the library's
/// handle cannot be had (tried again on the next call).  Any thread.
void *GetKernel32Proc(const char *name);

#endif  // SAL_MODULE_H
