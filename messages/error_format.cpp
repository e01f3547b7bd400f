// error_format.cpp - names and message texts of error codes.
#include "messages/error_format.h"

#include <atomic>
#include <cstring>

#include "base/sal_config.h"
#include "base/sal_errors.h"
#include "base/text.h"
#include "base/text_lookup.h"
#include "messages/language_dll.h"
#include "messages/language_resources.h"
#include "messages/library_objects.h"
#include "platform/message_table.h"

namespace {
// Severity names: ids in the common strings module.
constexpr uint32_t kSeverityFirstId = 38213;  // "success"; 38220 is "unknown severity"
constexpr uint32_t kSeverityUnknownId = 38220;

// The product's components by customer facility; null: no entry.
constexpr const char *kProductModules[72] = {
    nullptr,      "KERNEL",     "COMMON",     "COMMONMEM",  "COMMONIO",   "COMMONSTR",
    "COMMONXML",  "COMMONNET",  "LICENSE",    "CONFIG",     "SCRIPT",     "COMPILER",
    "RUNTIME",    "AGENT",      "CONTROLLER", "SCHEDULER",  "MONITOR",    "COLLECTOR",
    nullptr,      nullptr,      "ANALYZER",   "REPORT",     "EXPORT",     "IMPORT",
    "DATABASE",   "REPOSITORY", "EVENTLOG",   "MESSAGES",   "LANGUAGE",   "SETUP",
    "UPDATE",     "PDH",        "SNMP",       "RESERR",     nullptr,      "HTTP",
    "HTTPS",      "FTP",        "SMTP",       "POP3",       "PLATFORM",   "DIRECTORY",
    "MODULE",     "SYSINFO",    "CODEPAGE",   "CLOCK",      nullptr,      "TCPIP",
    "DNS",        "LDAP",       "IIOP",       "DCOM",       "CORBA",      "JAVA",
    "DOTNET",     "ODBC",       "OLEDB",      "ORACLE",     "SAPGUI",     "CITRIX",
    "TUXEDO",     nullptr,      "WEBSERVICE", "XMLPARSER",  "SECURITY",   "CRYPTO",
    "PROXY",      "RECORDER",   "TRANSFORM",  "VALIDATOR",  nullptr,      "CLUSTER"};

constexpr const char *kSystemModules[16] = {
    "SYSTEM",  "RPC",  "DISPATCH", "STORAGE", "ITF",      nullptr,       nullptr, "WIN32",
    "WINDOWS", "SSPI", "CONTROL",  "CERT",    "INTERNET", "MEDIASERVER", "MSMQ",  "SETUPAPI"};

constexpr uint32_t kPdhFacility = 31;

// Module handles loaded on first need and never released.  Racing first
// uses may both load; one handle wins, the other stays loaded unused.
std::atomic<SalModuleHandle> g_messageModule{nullptr};
std::atomic<SalModuleHandle> g_pdhModule{nullptr};

SalModuleHandle LoadModule(const char *name, uint32_t flags) {
  char path[1024];
  CSalModule module;  // does not release what it loaded
  return module.Load(sal::os::LocateModule(name, path, sizeof path), flags) ? module.GetHandle()
                                                                            : nullptr;
}

SalModuleHandle PdhModule() {
  SalModuleHandle pdh = g_pdhModule.load();
  if (pdh != nullptr) return pdh;
  const char *name = sal::os::PdhModuleName();
  if (name == nullptr) return nullptr;
  pdh = LoadModule(name, SAL_MODULE_AS_DATA);
  if (pdh != nullptr) g_pdhModule.store(pdh);
  return pdh;
}
}  // namespace

const char *SalGetSeverityName(uint32_t severity) {
  const uint32_t id = severity <= 6 ? kSeverityFirstId + severity : kSeverityUnknownId;
  return SalGetLibraryResources().GetString(kSalCommonStringsModule, id, SalCommonStringDefault(id));
}

const char *SalGetErrorModuleName(uint32_t code) {
  const uint32_t facility = SalGetErrorFacility(code);
  if (SalIsProductCode(code)) {
    const char *name = facility < 72 ? kProductModules[facility] : nullptr;
    return name != nullptr ? name : "Unknown module";
  }
  const char *name = facility < 16 ? kSystemModules[facility] : nullptr;
  return name != nullptr ? name : "Unknown system module";
}

int SalRegisterErrorFormatter(uint32_t facility, SalErrorFormatter formatter) {
  if (facility > 4095) return 0;
  if (SalFormatterRegistry *registry = SalGetFormatterRegistry()) registry->Set(facility, formatter);
  return 1;
}

char *SalFormatErrorCode(uint32_t code, char *buffer, size_t capacity, uint32_t flags) {
  if (SalFormatterRegistry *registry = SalGetFormatterRegistry()) {
    if (SalErrorFormatter formatter = registry->Find(SalGetErrorFacility(code))) {
      if (char *text = formatter(code, buffer, capacity, flags)) return text;
    }
  }
  if (buffer == nullptr) return nullptr;
  if (capacity == 0) return buffer;  // no room even for a terminator
  size_t prefix = 0;
  if (flags & SAL_FORMAT_PREFIX) {
    const int n = BoundedFormat(buffer, capacity, "%s: %u - ", SalGetErrorModuleName(code),
                                static_cast<unsigned>(SalGetErrorNumber(code)));
    if (n <= 0) return buffer;  // the prefix alone fills the buffer
    prefix = static_cast<size_t>(n);
  }
  if (SalLoadMessageText(code, code, buffer + prefix, capacity - prefix) != nullptr) return buffer;
  if (!SalIsProductCode(code) && (flags & SAL_FORMAT_SYSTEM_NUMBER) &&
      SalLoadMessageText(code, SalGetErrorNumber(code), buffer + prefix, capacity - prefix) != nullptr)
    return buffer;
  BoundedFormat(buffer, capacity, "%u - unknown error code", static_cast<unsigned>(code));
  return buffer;
}

char *SalLoadMessageText(uint32_t code, uint32_t messageId, char *buffer, size_t capacity) {
  if (buffer == nullptr || capacity == 0) return nullptr;
  SalModuleHandle module = SalGetMessageModule();
  if (SalIsProductCode(code) && SalGetErrorFacility(code) == kPdhFacility) {
    // The performance-data texts carry the system's layout: severity and
    // number, no customer flag, no facility.
    module = PdhModule();
    messageId &= 0xC000FFFFu;
  }
  // A null module searches the host program's own table.
  char *text = sal::os::FindMessageText(module, messageId);
  if (text == nullptr) return nullptr;
  const size_t length = std::strlen(text);
  char *result = nullptr;
  if (length >= 2) {
    text[length - 2] = '\0';  // the line break that ends every message
    BoundedCopy(buffer, capacity, text);
    result = buffer;
  }
  sal::os::FreeMessageText(text);
  return result;
}

SalModuleHandle SalGetMessageModule() {
  SalModuleHandle module = g_messageModule.load();
  if (module != nullptr) return module;
  CCommonString base("vortMessages");
  if (base.Append(sal::os::ModuleSuffix()) == 0) return nullptr;
  const CCommonString localized = SalGetLocalizedModuleName(base.CStr());
  const uint32_t flags = sal::os::MessageModuleLoadFlags();
  if (!localized.IsEmpty()) module = LoadModule(localized.CStr(), flags);
  if (module == nullptr && localized.Compare(base.CStr()) != 0) module = LoadModule(base.CStr(), flags);
  if (module != nullptr) g_messageModule.store(module);
  return module;
}

void SalSetMessageModule(SalModuleHandle module) { g_messageModule.store(module); }

CCommonString SalGetLocalizedModuleName(const char *name) {
  CCommonString result(name != nullptr ? name : "");
  char program[512];
  if (!sal::os::HostProgramFileName(program, sizeof program)) return result;
  const CCommonString language = ReadLanguageFile(SalLanguageFileBeside(program).CStr());
  if (language.IsEmpty()) return result;
  CCommonString variant = SalVariantModuleName(result.CStr(), language.CStr());
  return variant.IsEmpty() ? result : variant;
}
