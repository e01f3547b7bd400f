// system_info.cpp - CSalSystemInfo: the records, the names of systems and
// processors, and the CPUID vendor test.
//
// The x86 naming follows the processor generation: the family (the
// record's level) on the NT family and on POSIX systems, whose records
// carry it; the processor type (386, 486, 586) on the older Windows
// family.  x64 processors are x86 ones for naming purposes.
#include "platform/system_info.h"

#include <cstring>

#include "base/mem.h"
#include "base/text.h"
#include "base/text_lookup.h"
#include "platform/cpu_id.h"
#include "platform/os/system_info_os.h"

namespace {

// String ids of the localized names in the common strings module.
constexpr uint32_t kStrUnknownSystem = 38336;
constexpr uint32_t kStrAdvancedIntel = 38337;
constexpr uint32_t kStrUnknownIntel = 38338;
constexpr uint32_t kStrUnknownPpc = 38339;
constexpr uint32_t kStrUnknownType = 38340;

void Clear(char *buffer, size_t capacity) {
  if (buffer != nullptr && capacity > 0) buffer[0] = '\0';
}

void Put(char *buffer, size_t capacity, const char *text) {
  if (buffer != nullptr && capacity > 0) (void)BoundedAppend(buffer, capacity, text);
}

// Copies a text field of size bytes, which may lack its terminator, into
// out (size + 1 bytes).
void FieldText(const char *field, size_t size, char *out) {
  size_t n = 0;
  while (n < size && field[n] != '\0') ++n;
  std::memcpy(out, field, n);
  out[n] = '\0';
}

template <typename T>
T *CopyOf(const T *record, const char *tag) {
  T *copy = nullptr;
  if (record != nullptr && MemAllocT(&copy, 1, tag)) *copy = *record;
  return copy;
}

// The name of an x86 processor of generation g; model and stepping are
// those of the record (0 when the record does not carry them).
const char *X86Name(uint32_t g, uint32_t model, bool authenticAmd) {
  if (g > 15) {
    switch (g) {
      case 386: return "Intel 386";
      case 486: return "Intel 486";
      case 586: return "Intel Pentium";
      default: return SalCommonText(kStrUnknownIntel);
    }
  }
  switch (g) {
    case 3: return "Intel 386";
    case 4: return "Intel 486";
    case 5: return "Intel Pentium";
    case 7: return "advanced Intel";
    case 15: return "Intel Pentium IV";
    case 6:
      switch (model) {
        case 1: return "Intel Pentium Pro";
        case 3:
        case 5: return "Intel Pentium II";
        case 6: return authenticAmd ? "AMD" : "Intel Celeron";
        case 7:
        case 8: return "Intel Pentium III";
        default:
          return model < 9 ? "Intel Pentium ?" : SalCommonText(kStrAdvancedIntel);
      }
    default:  // 0, 1, 2 and 8 to 14
      return SalCommonText(kStrUnknownIntel);
  }
}

const char *PpcName(uint32_t level) {
  switch (level) {
    case 1: return "PPC 601";
    case 3: return "PPC 603";
    case 4: return "PPC 604";
    case 6: return "PPC 603+";
    case 9: return "PPC 604+";
    case 20: return "PPC 620";
    default: return SalCommonText(kStrUnknownPpc);
  }
}

}  // namespace

CSalSystemInfo::CSalSystemInfo() : system_(nullptr), version_(nullptr) {
  if (MemAllocT(&system_, 1, "CSalSystemInfo.system")) sal::os::ReadSystemRecord(system_);
  if (MemAllocT(&version_, 1, "CSalSystemInfo.version")) sal::os::ReadVersionRecord(version_);
}

CSalSystemInfo::CSalSystemInfo(const SalSystemRecord *system, const SalVersionRecord *version)
    : system_(CopyOf(system, "CSalSystemInfo.system")), version_(CopyOf(version, "CSalSystemInfo.version")) {}

CSalSystemInfo::~CSalSystemInfo() {
  MemFree(system_);
  MemFree(version_);
}

int CSalSystemInfo::IsWindowsNT() const {
  return version_ != nullptr && version_->platformId == SAL_PLATFORM_NT ? 1 : 0;
}

int CSalSystemInfo::GetMajorVersion() const {
  return version_ != nullptr ? static_cast<int>(version_->majorVersion) : 0;
}

int CSalSystemInfo::GetOSVersion(char *name, size_t nameCapacity, char *version, size_t versionCapacity,
                                 char *build, size_t buildCapacity, char *servicePack,
                                 size_t servicePackCapacity) const {
  if (version_ == nullptr) return 0;
  Clear(name, nameCapacity);
  Clear(version, versionCapacity);
  Clear(build, buildCapacity);
  Clear(servicePack, servicePackCapacity);

  const SalVersionRecord &v = *version_;
  // The record's texts are read no further than their fields: a record
  // built by hand may lack the terminator.
  char systemName[sizeof v.systemName + 1];
  char servicePackText[sizeof v.servicePack + 1];
  FieldText(v.systemName, sizeof v.systemName, systemName);
  FieldText(v.servicePack, sizeof v.servicePack, servicePackText);
  const char *system = nullptr;
  switch (v.platformId) {
    case SAL_PLATFORM_WIN9X: system = "Win95/98"; break;
    case SAL_PLATFORM_NT: system = "WinNT"; break;
    case SAL_PLATFORM_POSIX: system = systemName[0] != '\0' ? systemName : nullptr; break;
    default: break;
  }
  Put(name, nameCapacity, system != nullptr ? system : SalCommonText(kStrUnknownSystem));

  char number[32];
  (void)BoundedFormat(number, sizeof number, "%u.%u", v.majorVersion, v.minorVersion);
  Put(version, versionCapacity, number);
  (void)BoundedFormat(number, sizeof number, "%u", v.buildNumber);
  Put(build, buildCapacity, number);
  Put(servicePack, servicePackCapacity, servicePackText);
  return 1;
}

int CSalSystemInfo::GetProcessorInfo(uint32_t *count, uint32_t *clockMhz, char *name, size_t nameCapacity,
                                     uint32_t *model, uint32_t *stepping) const {
  if (system_ == nullptr) return 0;
  const SalSystemRecord &s = *system_;
  uint32_t m = 0, st = 0;
  Clear(name, nameCapacity);
  if (count != nullptr) *count = s.processorCount;

  char alpha[32];
  const char *kind = nullptr;
  switch (s.architecture) {
    case SAL_ARCH_X86:
    case SAL_ARCH_X64: {
      // Records of the NT family and of POSIX systems carry the family in
      // the level and model and stepping in the revision; those of the
      // older family only the processor type.
      const bool family = IsWindowsNT() != 0 || (version_ != nullptr && version_->platformId == SAL_PLATFORM_POSIX);
      const uint32_t g = family ? s.level : s.processorType;
      if (family && s.level > 4) {
        m = s.revision >> 8;
        st = s.revision & 0xFF;
      }
      kind = X86Name(g, m, s.authenticAmd != 0);
      break;
    }
    case SAL_ARCH_MIPS:
      kind = s.level == 4 ? "MIPS R4000" : "MIPS";
      break;
    case SAL_ARCH_ALPHA:
      (void)BoundedFormat(alpha, sizeof alpha, "Alpha %u", static_cast<unsigned>(s.level));
      kind = alpha;
      break;
    case SAL_ARCH_PPC:
      kind = PpcName(s.level);
      break;
    default:
      kind = SalCommonText(kStrUnknownType);
      break;
  }
  Put(name, nameCapacity, kind);
  if (model != nullptr) *model = m;
  if (stepping != nullptr) *stepping = st;

  uint32_t mhz = 0;
  if (clockMhz != nullptr && sal::os::ReadClockMhz(&mhz)) *clockMhz = mhz;
  return 1;
}

int CSalSystemInfo::GetMemory(bool virtualSpace, uint64_t *total, uint64_t *available) const {
  uint64_t t = 0, a = 0;
  if (total != nullptr) *total = 0;
  if (available != nullptr) *available = 0;
  if (version_ == nullptr) return 0;
  const bool ntFive = IsWindowsNT() != 0 && version_->majorVersion >= 5;
  if (!sal::os::ReadMemory(virtualSpace, ntFive, &t, &a)) return 0;
  // Wine gives a 32-bit process a total of physical memory cut below 4 GiB
  // but the machine's whole available memory: never more available than
  // there is.
  if (a > t) a = t;
  if (total != nullptr) *total = t;
  if (available != nullptr) *available = a;
  return 1;
}

int CSalSystemInfo::GetPhysicalMemory(uint64_t *total, uint64_t *available) const {
  return GetMemory(false, total, available);
}

int CSalSystemInfo::GetVirtualMemory(uint64_t *total, uint64_t *available) const {
  return GetMemory(true, total, available);
}

int IsAuthenticAMD() {
  uint32_t regs[4] = {0, 0, 0, 0};  // EAX, EBX, ECX, EDX
  if (!sal::Cpuid(0, regs) || regs[0] == 0) return 0;
  char vendor[13];
  std::memcpy(vendor, &regs[1], 4);
  std::memcpy(vendor + 4, &regs[3], 4);
  std::memcpy(vendor + 8, &regs[2], 4);
  vendor[12] = '\0';
  return SafeStrICmp(vendor, "AuthenticAMD") == 0 ? 1 : 0;
}
