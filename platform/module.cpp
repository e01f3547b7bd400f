// module.cpp - CSalModule, CSalModuleInfo and CWntModuleInfo, the well-known
// module names and the kernel library's functions; the loader calls are in
// {win32,posix}/module_os.cpp.
#include "platform/module.h"

#include <atomic>
#include <new>

#include "base/last_error.h"
#include "base/sal_errors.h"
#include "platform/os/module_os.h"
#include "platform/path.h"

/// The module handle held by a CSalModule.
struct SalModuleCell {
  SalModuleHandle handle;  // null when no module is held
  bool owned;              // true when Load loaded it (and Unload must release it)
};

namespace {
constexpr size_t kFileNameCapacity = 1024;

int Fail(uint32_t code) {
  SalSetLastError(code);
  return 0;
}
}  // namespace

// ---- module information ---------------------------------------------------------

void CSalModuleInfo::SetFileName(const char *path) {
  if (fullPath_.Assign(path) == 0) fullPath_.Empty();
  (void)SalPathGetFileName(fullPath_.CStr(), fileName_);
  (void)SalPathGetDir(fullPath_.CStr(), directory_);
}

CWntModuleInfo::CWntModuleInfo(SalModuleHandle module, uint32_t value1, uint32_t value2)
    : module_(module), value1_(value1), value2_(value2) {
  char buffer[kFileNameCapacity];
  if (sal::os::ModuleFileName(module, buffer, sizeof buffer)) SetFileName(buffer);
}

// ---- CSalModule -----------------------------------------------------------------

CSalModule::CSalModule() : handle_(new (std::nothrow) SalModuleCell{nullptr, false}), info_(nullptr) {}

CSalModule::~CSalModule() {
  delete info_;
  delete handle_;
}

int CSalModule::Load(const char *name, uint32_t flags) {
  if (name == nullptr || name[0] == '\0') return Fail(kSalErrArgument);
  if (handle_ == nullptr) return Fail(kCommonErrNoStorage);
  const bool takeLoaded = (flags & SAL_MODULE_ALREADY_LOADED) != 0;
  SalModuleHandle module = takeLoaded
                               ? sal::os::FindLoadedModule(name)
                               : sal::os::OpenModule(name, (flags & SAL_MODULE_AS_DATA) != 0);
  // The new handle replaces the old one, which stays loaded as it was.
  handle_->handle = module;
  handle_->owned = module != nullptr && !takeLoaded;
  delete info_;
  info_ = module != nullptr ? new (std::nothrow) CWntModuleInfo(module, 0, 0) : nullptr;
  return module != nullptr ? 1 : 0;
}

CWntModuleInfo *CSalModule::GetModuleInfo() const { return info_; }

void *CSalModule::GetProcAddress(const char *name) const {
  if (handle_ == nullptr || handle_->handle == nullptr) {
    SalSetLastError(kSalErrNoObject);
    return nullptr;
  }
  if (name == nullptr) {
    SalSetLastError(kSalErrArgument);
    return nullptr;
  }
  return sal::os::ModuleSymbol(handle_->handle, name);
}

int CSalModule::Unload() {
  delete info_;
  info_ = nullptr;
  if (handle_ == nullptr || handle_->handle == nullptr) return 1;
  // A handle taken from the loaded modules carries no reference of ours:
  // releasing it would take away someone else's.
  if (handle_->owned && !sal::os::ReleaseModule(handle_->handle)) return 0;
  handle_->handle = nullptr;
  handle_->owned = false;
  return 1;
}

SalModuleHandle CSalModule::GetHandle() const {
  return handle_ != nullptr ? handle_->handle : nullptr;
}

// ---- free functions ---------------------------------------------------------------

const char *GetKnownModuleName(int index) {
  if (index < 0 || index > 5) {
    SalSetLastError(kSalErrArgument);
    return nullptr;
  }
  return sal::os::KnownModuleName(index);
}

void *GetKernel32Proc(const char *name) {
  // Every thread would store the same handle; a failed lookup is tried
  // again on the next call.
  static std::atomic<void *> kernel{nullptr};
  void *module = kernel.load(std::memory_order_acquire);
  if (module == nullptr) {
    module = sal::os::KernelModule();
    if (module == nullptr) return nullptr;
    kernel.store(module, std::memory_order_release);
  }
  return name != nullptr ? sal::os::ModuleSymbol(module, name) : nullptr;
}
