// posix/message_table_os.cpp - message texts and string resources of companion
// shared objects; strerror for the system's messages.
//
// A companion module answers through its exported entry points
// (vortLoadString, vortFindMessage).  The module that holds this code (the
// library) answers string lookups from the table that the library's entry
// point gives (SetOwnStringTable), since the library exports nothing but
// its fourteen functions.  "The host program's own" texts are the entry points
// that the main program exports, if any.
#include <dlfcn.h>
#include <errno.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstring>

#include "platform/message_inserts.h"
#include "platform/message_table.h"
#include "platform/self_module.h"

namespace sal::os {

namespace {
// The string table of the module holding this code, where one was given.
std::atomic<const SalTextEntry *> g_ownStrings{nullptr};
std::atomic<size_t> g_ownStringCount{0};

using LoadStringEntry = int (*)(uint32_t id, char *buffer, int capacity);
using FindMessageEntry = const char *(*)(uint32_t id);

void *HostProgram() {
  static void *const program = dlopen(nullptr, RTLD_LAZY);
  return program;
}

void *Self() {
  static void *const self = SelfModule();
  return self;
}

int CopyString(const char *text, char *buffer, int capacity) {
  if (buffer == nullptr || capacity <= 0) return 0;
  const size_t length = std::strlen(text);
  const size_t take = length < static_cast<size_t>(capacity - 1) ? length : static_cast<size_t>(capacity - 1);
  std::memcpy(buffer, text, take);
  buffer[take] = '\0';
  return static_cast<int>(take);
}

// The module's own message text, or null.
const char *ModuleMessage(void *module, uint32_t id) {
  if (module == nullptr) module = HostProgram();
  if (module == nullptr) return nullptr;
  auto find = reinterpret_cast<FindMessageEntry>(dlsym(module, kMessageEntryName));
  return find != nullptr ? find(id) : nullptr;
}

// The system's text for an error number; empty when it has none.
void SystemMessage(uint32_t id, char *buffer, size_t capacity) {
  buffer[0] = '\0';
  if (id == 0 || id > 4095) return;
  const int number = static_cast<int>(id);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 32))
  const char *text = strerrordesc_np(number);  // null for numbers the system does not know
  if (text == nullptr) return;
#else
  const char *text = strerror(number);
  if (text == nullptr || std::strncmp(text, "Unknown error", 13) == 0) return;
#endif
  if (std::strlen(text) + 3 > capacity) return;
  std::strcpy(buffer, text);
  std::strcat(buffer, "\r\n");  // the line break every message table text ends with
}
}  // namespace

const char *ModuleSuffix() { return ".so"; }

size_t ModuleStemLength(const char *fileName) {
  const char *slash = std::strrchr(fileName, '/');
  const char *name = slash != nullptr ? slash + 1 : fileName;
  // libvortBexScanner.so.1.0.0 -> libvortBexScanner: the ".so" that is
  // followed by the end or by a version.
  for (const char *p = std::strstr(name, ".so"); p != nullptr; p = std::strstr(p + 1, ".so")) {
    if (p[3] == '\0' || p[3] == '.') return static_cast<size_t>(p - fileName);
  }
  const char *dot = std::strrchr(name, '.');
  return dot != nullptr ? static_cast<size_t>(dot - fileName) : std::strlen(fileName);
}

bool CompanionFolder(const char *moduleFile, char *buffer, size_t capacity) {
  if (moduleFile == nullptr || buffer == nullptr) return false;
  const char *slash = std::strrchr(moduleFile, '/');
  if (slash == nullptr) return false;
  const size_t folder = static_cast<size_t>(slash - moduleFile) + 1;
  if (folder + 1 > capacity) return false;
  std::memcpy(buffer, moduleFile, folder);
  buffer[folder] = '\0';
  // The private folder: the name up to its ".so", without a leading "lib".
  const char *own = slash + 1;
  size_t length = ModuleStemLength(moduleFile) - folder;
  if (length > 3 && std::strncmp(own, "lib", 3) == 0) {
    own += 3;
    length -= 3;
  }
  if (length == 0 || folder + length + 2 > capacity) return true;
  std::memcpy(buffer + folder, own, length);
  std::memcpy(buffer + folder + length, "/", 2);
  struct stat st;
  if (stat(buffer, &st) != 0 || !S_ISDIR(st.st_mode)) buffer[folder] = '\0';
  return true;
}

// The dynamic loader would search the run path of the library ($ORIGIN)
// for a bare name, but it takes the run path of whoever calls dlopen, which
// is not the library when dlopen is intercepted (the sanitizers do), and an
// installed library keeps its companions in its private folder, which no
// run path names: look in the library's companion folder explicitly.
const char *LocateModule(const char *name, char *buffer, size_t capacity) {
  if (name == nullptr || std::strchr(name, '/') != nullptr || buffer == nullptr) return name;
  Dl_info info;
  char self[PATH_MAX];
  if (dladdr(reinterpret_cast<void *>(&LocateModule), &info) == 0 || info.dli_fname == nullptr ||
      realpath(info.dli_fname, self) == nullptr)  // the loader may know it by a relative name
    return name;
  if (!CompanionFolder(self, buffer, capacity)) return name;
  const size_t folder = std::strlen(buffer);
  const size_t length = std::strlen(name);
  if (folder + length + 1 > capacity) return name;
  std::memcpy(buffer + folder, name, length + 1);
  return access(buffer, F_OK) == 0 ? buffer : name;
}

bool HostProgramFileName(char *buffer, size_t capacity) {
  if (buffer == nullptr || capacity < 2) return false;
  const ssize_t n = readlink("/proc/self/exe", buffer, capacity - 1);
  if (n <= 0 || static_cast<size_t>(n) >= capacity - 1) return false;  // none, or possibly cut
  buffer[n] = '\0';
  return true;
}

// The message module is loaded as code: its texts are reached through an
// entry point, which a module mapped as data cannot offer.
uint32_t MessageModuleLoadFlags() { return 0; }

const char *PdhModuleName() { return nullptr; }

const char *VersionSourceEntry() { return "GetEventSourceName"; }

void SetOwnStringTable(const SalTextEntry *table, size_t count) {
  // A reader that sees the table sees its count.
  g_ownStrings.store(nullptr);
  g_ownStringCount.store(count);
  g_ownStrings.store(table);
}

int LoadModuleString(void *module, uint32_t id, char *buffer, int capacity) {
  if (module == nullptr) module = HostProgram();
  if (module != nullptr && module == Self()) {
    const SalTextEntry *table = g_ownStrings.load();
    const char *text = table != nullptr ? SalFindText(table, g_ownStringCount.load(), id) : nullptr;
    return text != nullptr ? CopyString(text, buffer, capacity) : 0;
  }
  if (module == nullptr) return 0;
  auto load = reinterpret_cast<LoadStringEntry>(dlsym(module, kStringEntryName));
  if (load == nullptr || buffer == nullptr || capacity <= 0) return 0;
  const int n = load(id, buffer, capacity);
  if (n <= 0) return 0;
  buffer[capacity - 1] = '\0';  // whatever the module did, the text ends inside the buffer
  return n < capacity ? n : capacity - 1;
}

char *FindMessageText(void *module, uint32_t id) {
  char system[512];
  const char *raw = ModuleMessage(module, id);
  if (raw == nullptr) {
    SystemMessage(id, system, sizeof system);
    if (system[0] == '\0') return nullptr;
    raw = system;
  }
  // Without inserts the text can only keep its length or shrink.
  const size_t capacity = std::strlen(raw) + 1;
  char *text = static_cast<char *>(malloc(capacity));
  if (text == nullptr) return nullptr;
  if (SalExpandMessageInserts(raw, nullptr, 0, true, text, capacity) < 0) {
    free(text);
    return nullptr;
  }
  return text;
}

void FreeMessageText(char *text) { free(text); }

bool FormatMessageWithStrings(void *module, uint32_t id, const char *const *strings,
                              uint16_t count, char *buffer, size_t capacity) {
  const char *raw = ModuleMessage(module, id);
  if (raw == nullptr) return false;
  return SalExpandMessageInserts(raw, strings, count, false, buffer, capacity) >= 0;
}

}  // namespace sal::os
