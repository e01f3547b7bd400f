// posix/module_os.cpp - module loading, lookup and file names over the
// dynamic loader (dlopen, dlsym, dlclose, dladdr).
// Implementation here must contain only POSIX code; the loader's link map
// (dlinfo) is used where the system has it.
//
// Loading as data: the dynamic loader always runs a shared object's
// initialisers, so a data load does not go through it.  The file is mapped
// read-only (mmap, PROT_READ) after a check of its ELF signature: nothing
// of it runs, its dependencies are not loaded, and no symbol can be looked
// up in it, as with a data-file module on Windows.  A name without a slash
// is looked for in the folder of the main program, then in the folders of
// LD_LIBRARY_PATH, then in the current directory.  The handle of such a
// mapping is the address of its record with the lowest bit set, which no
// dlopen handle has.
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <link.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <new>

#include "platform/os/module_os.h"

namespace sal::os {

namespace {
struct DataImage {
  void *base;   // the read-only mapping of the whole file
  size_t size;  // its length
};

constexpr uintptr_t kDataMark = 1;

const char *const kKnownModules[6] = {
    "libz.so.1",               // the compression library
    "vortVersion.so",          // the product's version module
    "vortMessages.so",         // the product's message module
    "libsystemd.so.0",         // sessions (logind), where Windows has terminal services
    "locStringsCommon.so",     // the product's shared string modules
    "locStringsKernelCommon.so",
};

bool IsData(void *module) { return (reinterpret_cast<uintptr_t>(module) & kDataMark) != 0; }

DataImage *Image(void *module) {
  return reinterpret_cast<DataImage *>(reinterpret_cast<uintptr_t>(module) & ~kDataMark);
}

// Copies dir + "/" + name into out (PATH_MAX bytes); false when too long.
bool Join(char *out, const char *dir, size_t dirLength, const char *name) {
  const size_t nameLength = std::strlen(name);
  if (dirLength + 1 + nameLength + 1 > PATH_MAX) return false;
  std::memcpy(out, dir, dirLength);
  out[dirLength] = '/';
  std::memcpy(out + dirLength + 1, name, nameLength + 1);
  return true;
}

// Opens name for a data load: as given when it holds a slash, else in the
// folders of the search order above.
int OpenForData(const char *name) {
  if (std::strchr(name, '/') != nullptr) return open(name, O_RDONLY | O_CLOEXEC);
  char candidate[PATH_MAX];
  char program[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", program, sizeof program - 1);
  if (n > 0) {
    program[n] = '\0';
    const char *slash = std::strrchr(program, '/');
    if (slash != nullptr &&
        Join(candidate, program, static_cast<size_t>(slash - program), name)) {
      const int fd = open(candidate, O_RDONLY | O_CLOEXEC);
      if (fd >= 0) return fd;
    }
  }
  if (const char *paths = getenv("LD_LIBRARY_PATH")) {
    for (const char *p = paths; *p != '\0';) {
      const size_t length = std::strcspn(p, ":");
      if (length != 0 && Join(candidate, p, length, name)) {
        const int fd = open(candidate, O_RDONLY | O_CLOEXEC);
        if (fd >= 0) return fd;
      }
      p += length;
      if (*p == ':') ++p;
    }
  }
  return open(name, O_RDONLY | O_CLOEXEC);
}

void *MapAsData(const char *name) {
  const int fd = OpenForData(name);
  if (fd < 0) return nullptr;
  struct stat st;
  void *base = MAP_FAILED;
  size_t size = 0;
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= 4) {
    size = static_cast<size_t>(st.st_size);
    base = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  } else {
    errno = ENOEXEC;
  }
  const int error = errno;
  close(fd);
  errno = error;
  if (base == MAP_FAILED) return nullptr;
  if (std::memcmp(base, "\x7f" "ELF", 4) != 0) {
    munmap(base, size);
    errno = ENOEXEC;
    return nullptr;
  }
  DataImage *image = new (std::nothrow) DataImage{base, size};
  if (image == nullptr) {
    munmap(base, size);
    errno = ENOMEM;
    return nullptr;
  }
  return reinterpret_cast<void *>(reinterpret_cast<uintptr_t>(image) | kDataMark);
}

bool CopyOut(const char *text, char *buffer, size_t capacity) {
  const size_t length = std::strlen(text);
  if (length == 0 || length + 1 > capacity) return false;
  std::memcpy(buffer, text, length + 1);
  return true;
}
}  // namespace

void *FindLoadedModule(const char *name) {
  void *module = dlopen(name, RTLD_LAZY | RTLD_NOLOAD);
  if (module == nullptr) return nullptr;
  // RTLD_NOLOAD still counts a reference; give it back at once, so that the
  // handle, like GetModuleHandle's, lives as long as the module's owners
  // keep it loaded.
  dlclose(module);
  return module;
}

void *OpenModule(const char *name, bool asData) {
  if (asData) return MapAsData(name);
  return dlopen(name, RTLD_LAZY | RTLD_LOCAL);
}

bool ReleaseModule(void *module) {
  if (IsData(module)) {
    DataImage *image = Image(module);
    const bool ok = munmap(image->base, image->size) == 0;
    delete image;
    return ok;
  }
  return dlclose(module) == 0;
}

void *ModuleSymbol(void *module, const char *name) {
  if (IsData(module)) return nullptr;
  return dlsym(module, name);
}

bool ModuleFileName(void *module, char *buffer, size_t capacity) {
  if (IsData(module)) return false;
#if defined(RTLD_DI_LINKMAP) || defined(__GLIBC__)  // glibc has it as an enumerator
  struct link_map *map = nullptr;
  if (dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr) return false;
  const char *name = map->l_name;
  char program[PATH_MAX];
  if (name == nullptr || name[0] == '\0') {  // the main program
    const ssize_t n = readlink("/proc/self/exe", program, sizeof program - 1);
    if (n <= 0) return false;
    program[n] = '\0';
    name = program;
  }
  // The loader keeps the name it was given, which may be relative.
  char resolved[PATH_MAX];
  if (realpath(name, resolved) != nullptr) name = resolved;
  return CopyOut(name, buffer, capacity);
#else
  (void)module;
  (void)buffer;
  (void)capacity;
  return false;
#endif
}

void *KernelModule() {
  // The C library is the kernel's interface here; find the file that
  // defines one of its functions and take its handle.
  void *entry = dlsym(RTLD_DEFAULT, "getpid");
  Dl_info info;
  if (entry == nullptr || dladdr(entry, &info) == 0 || info.dli_fname == nullptr) return nullptr;
  return FindLoadedModule(info.dli_fname);
}

const char *KnownModuleName(int index) { return kKnownModules[index]; }

}  // namespace sal::os
