// win32/message_table_os.cpp - message tables through FormatMessageA, string
// tables through LoadStringA.
#include <windows.h>

#include <cstring>

#include "platform/message_table.h"
#include "platform/module.h"

namespace sal::os {

namespace {
// The user's default language: MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT).
constexpr DWORD kUserDefaultLanguage = 0x0400;
// The most inserts a message text can name ("%99").
constexpr uint16_t kMaxInserts = 99;
}  // namespace

const char *ModuleSuffix() { return ".dll"; }

size_t ModuleStemLength(const char *fileName) {
  const char *name = fileName;
  for (const char *p = fileName; *p != '\0'; ++p)
    if (*p == '\\' || *p == '/') name = p + 1;
  const char *dot = std::strrchr(name, '.');
  return dot != nullptr ? static_cast<size_t>(dot - fileName) : std::strlen(fileName);
}

// A DLL's companions lie beside it: the DLL search order finds them there
// when the host program lies in the same folder.
bool CompanionFolder(const char *moduleFile, char *buffer, size_t capacity) {
  if (moduleFile == nullptr || buffer == nullptr) return false;
  const char *name = nullptr;
  for (const char *p = moduleFile; *p != '\0'; ++p)
    if (*p == '\\' || *p == '/') name = p + 1;
  if (name == nullptr) return false;
  const size_t folder = static_cast<size_t>(name - moduleFile);
  if (folder + 1 > capacity) return false;
  std::memcpy(buffer, moduleFile, folder);
  buffer[folder] = '\0';
  return true;
}

const char *LocateModule(const char *name, char *, size_t) { return name; }

bool HostProgramFileName(char *buffer, size_t capacity) {
  if (buffer == nullptr || capacity < 2) return false;
  const DWORD size = static_cast<DWORD>(capacity);
  const DWORD length = GetModuleFileNameA(nullptr, buffer, size);
  // A name that filled the buffer was cut: no name rather than a wrong one.
  return length != 0 && length < size;
}

uint32_t MessageModuleLoadFlags() { return SAL_MODULE_AS_DATA; }

const char *PdhModuleName() { return "pdh.dll"; }

const char *VersionSourceEntry() { return MAKEINTRESOURCEA(17); }

// The library's string table is a resource of its module (the .rc file).
void SetOwnStringTable(const SalTextEntry *, size_t) {}

int LoadModuleString(void *module, uint32_t id, char *buffer, int capacity) {
  if (buffer == nullptr || capacity <= 0) return 0;
  HMODULE instance = module != nullptr ? static_cast<HMODULE>(module) : GetModuleHandleA(nullptr);
  const int n = LoadStringA(instance, id, buffer, capacity);
  return n > 0 ? n : 0;
}

char *FindMessageText(void *module, uint32_t id) {
  char *text = nullptr;
  const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_FROM_SYSTEM |
                                     FORMAT_MESSAGE_IGNORE_INSERTS |
                                     FORMAT_MESSAGE_ALLOCATE_BUFFER,
                                 module, id, kUserDefaultLanguage,
                                 reinterpret_cast<LPSTR>(&text), 0, nullptr);
  if (n == 0) {
    if (text != nullptr) LocalFree(text);
    return nullptr;
  }
  return text;
}

void FreeMessageText(char *text) {
  if (text != nullptr) LocalFree(text);
}

bool FormatMessageWithStrings(void *module, uint32_t id, const char *const *strings,
                              uint16_t count, char *buffer, size_t capacity) {
  if (buffer == nullptr || capacity == 0) return false;
  // The formatter reads the argument of every "%n" in the text without
  // knowing how many were given: offer all 99, the missing ones empty.
  // The argument array is one pointer-sized value per insert.
  DWORD_PTR arguments[kMaxInserts];
  for (uint16_t i = 0; i < kMaxInserts; ++i) {
    const char *text = (strings != nullptr && i < count && strings[i] != nullptr) ? strings[i] : "";
    arguments[i] = reinterpret_cast<DWORD_PTR>(text);
  }
  const DWORD size = capacity > 0xFFFF ? 0xFFFF : static_cast<DWORD>(capacity);
  const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                                 module, id, kUserDefaultLanguage, buffer, size,
                                 reinterpret_cast<va_list *>(arguments));
  if (n == 0) {
    buffer[0] = '\0';
    return false;
  }
  return true;
}

}  // namespace sal::os
