// library_attach.cpp - the attach sequence and the companion modules the
// library reaches through entry points.
#include "messages/library_attach.h"

#include <atomic>

#include "base/common_string.h"
#include "messages/language_dll.h"
#include "messages/language_resources.h"
#include "platform/message_table.h"

namespace {
// The shared string modules and the functions that hand out their handles.
struct StringModule {
  int index;
  const char *name;      // without the module ending
  const char *function;  // returns the module handle of the string table
};
constexpr StringModule kStringModules[] = {
    {SAL_RESOURCES_COMMON, "locStringsCommon", "GetCommonHandle"},
    {SAL_RESOURCES_KERNEL_COMMON, "locStringsKernelCommon", "GetKernelCommonHandle"},
    {SAL_RESOURCES_KERNEL_FEATURES, "locStringsKernelFeatures", "GetKernelFeaturesHandle"},
};

using HandleFunction = SalModuleHandle (*)();
using SourceNameFunction = const char *(*)();

// Loads name + the module ending as code and finds function in it.  The
// module stays loaded for the life of the process: what the function hands
// out belongs to it.
void *FindFunction(const char *name, const char *function) {
  CCommonString file(name);
  if (file.Append(sal::os::ModuleSuffix()) == 0) return nullptr;
  char path[1024];
  CSalModule module;  // does not release what it loaded
  if (!module.Load(sal::os::LocateModule(file.CStr(), path, sizeof path), 0)) return nullptr;
  return module.GetProcAddress(function);
}

SalModuleHandle StringModuleHandle(const StringModule &m) {
  auto get = reinterpret_cast<HandleFunction>(FindFunction(m.name, m.function));
  return get != nullptr ? get() : nullptr;
}

std::atomic<SourceNameFunction> g_sourceName{nullptr};
}  // namespace

void SalLibraryAttach(SalModuleHandle self) {
  CLanguageDllResources &resources = SalGetLibraryResources();
  for (const StringModule &m : kStringModules) resources.SetModule(m.index, StringModuleHandle(m));
  // Built at the first attach, destroyed at unload before the resources
  // object (which was built before it).
  static CLanguageDll language(self, nullptr);
  resources.SetModule(SAL_RESOURCES_LIBRARY, language.GetModule());
  resources.SetLanguageModuleLoaded(language.OwnsModule());
  resources.ReloadBoundStrings();
  SalInstallTextLookup(&resources);
}

const char *SalGetEventSourceName() {
  SourceNameFunction get = g_sourceName.load();
  if (get == nullptr) {
    get = reinterpret_cast<SourceNameFunction>(FindFunction("vortVersion", sal::os::VersionSourceEntry()));
    if (get == nullptr) return "";  // tried again at the next call
    g_sourceName.store(get);
  }
  const char *name = get();
  return name != nullptr ? name : "";
}
