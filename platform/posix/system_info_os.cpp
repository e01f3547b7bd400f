// posix/system_info_os.cpp - the system and version records from uname,
// sysconf and CPUID; clock rate and memory from /proc where the system has
// it.  Implementation here must contain only POSIX code; the /proc files
// are Linux's, and their absence is handled.
//
//   architecture    uname's machine: x86_64/amd64 x64, i386-i686/x86 x86,
//                   aarch64/arm64 ARM64, arm* ARM, mips* MIPS, alpha Alpha,
//                   ppc*/powerpc* PowerPC, ia64 IA-64, else unknown
//   level/revision  x86: CPUID leaf 1 family, and model << 8 | stepping,
//                   with the extended family and model folded in as
//                   Windows reports them; 0 elsewhere
//   version         uname's release "major.minor.patch-...": the numbers,
//                   with the whole release text as the service-pack text
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <sys/resource.h>
#include <sys/utsname.h>
#include <unistd.h>

#include "base/text.h"
#include "platform/cpu_id.h"
#include "platform/os/system_info_os.h"
#include "platform/system_info.h"

namespace sal::os {
namespace {

uint16_t ArchitectureOf(const char *machine) {
  auto starts = [machine](const char *prefix) { return strncasecmp(machine, prefix, strlen(prefix)) == 0; };
  if (strcasecmp(machine, "x86_64") == 0 || strcasecmp(machine, "amd64") == 0) return SAL_ARCH_X64;
  if ((starts("i") && strlen(machine) == 4 && machine[2] == '8' && machine[3] == '6') || strcasecmp(machine, "x86") == 0)
    return SAL_ARCH_X86;
  if (starts("aarch64") || starts("arm64")) return SAL_ARCH_ARM64;
  if (starts("arm")) return SAL_ARCH_ARM;
  if (starts("mips")) return SAL_ARCH_MIPS;
  if (starts("alpha")) return SAL_ARCH_ALPHA;
  if (starts("ppc") || starts("powerpc")) return SAL_ARCH_PPC;
  if (starts("ia64")) return SAL_ARCH_IA64;
  return SAL_ARCH_UNKNOWN;
}

// The value after "name<blanks>:" on the first line of path that starts
// with name, as text in value; false when there is none.
bool ProcField(const char *path, const char *name, char *value, size_t capacity) {
  FILE *file = fopen(path, "re");
  if (file == nullptr) return false;
  char line[512];
  bool found = false;
  const size_t n = strlen(name);
  while (!found && fgets(line, sizeof line, file) != nullptr) {
    if (strncmp(line, name, n) != 0) continue;
    const char *p = line + n;
    while (*p == ' ' || *p == '\t') ++p;
    if (*p != ':') continue;
    ++p;
    while (*p == ' ' || *p == '\t') ++p;
    (void)BoundedCopy(value, capacity, p);
    value[strcspn(value, "\r\n")] = '\0';
    found = true;
  }
  fclose(file);
  return found;
}

uint64_t PageSize() {
  const long size = sysconf(_SC_PAGESIZE);
  return size > 0 ? static_cast<uint64_t>(size) : 4096u;
}

bool PhysicalMemory(uint64_t *total, uint64_t *available) {
  const long pages = sysconf(_SC_PHYS_PAGES);
  if (pages <= 0) return false;
  *total = static_cast<uint64_t>(pages) * PageSize();
  // MemAvailable counts what can be had without swapping (caches included);
  // without it, the free pages.
  char text[64];
  if (ProcField("/proc/meminfo", "MemAvailable", text, sizeof text)) {
    *available = strtoull(text, nullptr, 10) * 1024u;
  } else {
    const long free = sysconf(_SC_AVPHYS_PAGES);
    *available = free > 0 ? static_cast<uint64_t>(free) * PageSize() : 0;
  }
  return true;
}

bool VirtualMemory(uint64_t *total, uint64_t *available) {
  // The address space a process may use: its RLIMIT_AS when limited, else
  // the user part of the address space (128 TiB with 64-bit pointers, as
  // on x86-64 Linux and Windows; 3 GiB with 32-bit ones).
  uint64_t space = sizeof(void *) == 8 ? (uint64_t{1} << 47) : (uint64_t{3} << 30);
  rlimit limit{};
  if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < space)
    space = limit.rlim_cur;
  *total = space;
  // In use: the process's virtual size, the first figure of statm in pages.
  uint64_t used = 0;
  if (FILE *file = fopen("/proc/self/statm", "re")) {
    unsigned long long pages = 0;
    if (fscanf(file, "%llu", &pages) == 1) used = pages * PageSize();
    fclose(file);
  }
  *available = used < space ? space - used : 0;
  return true;
}

}  // namespace

void ReadSystemRecord(SalSystemRecord *record) {
  utsname names{};
  const bool named = uname(&names) == 0;
  record->architecture = named ? ArchitectureOf(names.machine) : SAL_ARCH_UNKNOWN;
  const long online = sysconf(_SC_NPROCESSORS_ONLN);
  record->processorCount = online > 0 ? static_cast<uint32_t>(online) : 1;
  record->authenticAmd = static_cast<uint32_t>(IsAuthenticAMD());

  uint32_t regs[4];
  const bool x86 = record->architecture == SAL_ARCH_X86 || record->architecture == SAL_ARCH_X64;
  if (!x86 || !sal::Cpuid(1, regs)) return;
  const uint32_t signature = regs[0];
  uint32_t family = (signature >> 8) & 0xF;
  uint32_t model = (signature >> 4) & 0xF;
  const uint32_t stepping = signature & 0xF;
  if (family == 6 || family == 15) model += ((signature >> 16) & 0xF) << 4;
  if (family == 15) family += (signature >> 20) & 0xFF;
  record->level = static_cast<uint16_t>(family);
  record->revision = static_cast<uint16_t>((model << 8) | stepping);
  if (record->architecture == SAL_ARCH_X64) {
    record->processorType = 8664;
  } else {
    record->processorType = family >= 5 ? 586 : family == 4 ? 486 : 386;
  }
}

void ReadVersionRecord(SalVersionRecord *record) {
  utsname names{};
  record->platformId = SAL_PLATFORM_POSIX;
  if (uname(&names) != 0) return;
  (void)BoundedCopy(record->systemName, sizeof record->systemName, names.sysname);
  (void)BoundedCopy(record->servicePack, sizeof record->servicePack, names.release);
  // "6.1.0-13-amd64": major, minor and the third number as the build.
  uint32_t numbers[3] = {0, 0, 0};
  const char *p = names.release;
  for (int i = 0; i < 3; ++i) {
    char *end = nullptr;
    const unsigned long value = strtoul(p, &end, 10);
    if (end == p) break;
    numbers[i] = static_cast<uint32_t>(value);
    if (*end != '.') break;
    p = end + 1;
  }
  record->majorVersion = numbers[0];
  record->minorVersion = numbers[1];
  record->buildNumber = numbers[2];
}

bool ReadClockMhz(uint32_t *mhz) {
  char text[64];
  if (!ProcField("/proc/cpuinfo", "cpu MHz", text, sizeof text)) return false;
  // "2799.998": read by hand, since strtod would follow the locale's
  // decimal separator.
  uint64_t whole = 0;
  const char *p = text;
  for (; *p >= '0' && *p <= '9' && whole < 0xFFFFFFFFu; ++p) whole = whole * 10 + static_cast<uint64_t>(*p - '0');
  if (p == text || whole >= 0xFFFFFFFFu) return false;
  if (*p == '.' && p[1] >= '5' && p[1] <= '9') ++whole;
  if (whole == 0) return false;
  *mhz = static_cast<uint32_t>(whole);
  return true;
}

bool ReadMemory(bool virtualSpace, bool, uint64_t *total, uint64_t *available) {
  return virtualSpace ? VirtualMemory(total, available) : PhysicalMemory(total, available);
}

}  // namespace sal::os
