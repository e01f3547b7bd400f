// system_info.h - CSalSystemInfo: the operating system, the processor and
// the memory of the machine the process runs on.
#ifndef SAL_SYSTEM_INFO_H
#define SAL_SYSTEM_INFO_H

#include <cstddef>
#include <cstdint>

#include "base/core.h"

/// Processor architectures of SalSystemRecord (the Windows values).
constexpr uint16_t SAL_ARCH_X86 = 0;
constexpr uint16_t SAL_ARCH_MIPS = 1;
constexpr uint16_t SAL_ARCH_ALPHA = 2;
constexpr uint16_t SAL_ARCH_PPC = 3;
constexpr uint16_t SAL_ARCH_ARM = 5;
constexpr uint16_t SAL_ARCH_IA64 = 6;
constexpr uint16_t SAL_ARCH_X64 = 9;
constexpr uint16_t SAL_ARCH_ARM64 = 12;
constexpr uint16_t SAL_ARCH_UNKNOWN = 0xFFFF;

/// Platform ids of SalVersionRecord: the Windows families, and the POSIX
/// systems, which name themselves in the record's systemName.
constexpr uint32_t SAL_PLATFORM_WIN32S = 0;
constexpr uint32_t SAL_PLATFORM_WIN9X = 1;
constexpr uint32_t SAL_PLATFORM_NT = 2;
constexpr uint32_t SAL_PLATFORM_POSIX = 100;

/// The system record: what the system says about its processors.
struct SalSystemRecord {
  uint16_t architecture;    // SAL_ARCH_*
  uint32_t processorCount;  // logical processors the process may use
  uint32_t processorType;   // 386, 486, 586 (x86), 8664 (x64), 0 elsewhere
  uint16_t level;           // x86: the processor family
  uint16_t revision;        // x86: model in the high byte, stepping in the low one
  uint32_t authenticAmd;    // 1 when the vendor identification is "AuthenticAMD"
};

/// The version record: which system, which version.
struct SalVersionRecord {
  uint32_t majorVersion;
  uint32_t minorVersion;
  uint32_t buildNumber;     // the whole 32-bit field (Windows 95/98 keep more than the build in it)
  uint32_t platformId;      // SAL_PLATFORM_*
  char servicePack[128];    // Windows: the service pack; POSIX: the kernel's full release text
  char systemName[64];      // POSIX: the system's name ("Linux"); empty on Windows
};

/// Questions about the machine, answered from one snapshot of its system
/// and version records taken when the object is built; memory figures and
/// the clock rate are read when asked.  Safe to read from several threads
/// once built.
///
/// The records are allocated apart from the object.  When an allocation
/// fails, the record is missing and the operations that need it fail
/// (return 0) as documented.
class CSalSystemInfo : public CSalCore {
 public:
  /// Takes the snapshot of this machine.
  CSalSystemInfo();
  /// Copies the given records instead (null: that record is missing): a
  /// description of another machine, or of one a test needs.
  CSalSystemInfo(const SalSystemRecord *system, const SalVersionRecord *version);
  ~CSalSystemInfo() override;

  /// 1 when the version record exists and names the NT family, else 0.
  int IsWindowsNT() const;
  /// The major version; 0 when the version record is missing.
  int GetMajorVersion() const;

  /// Clears the four buffers (those not null with a capacity above 0), then
  /// writes the system's name ("Win95/98", "WinNT", the POSIX system's own
  /// name, else the localized "Unknown System"), its version as
  /// "major.minor", its build number and its service-pack text, each cut to
  /// its buffer's capacity and terminated.  0 when the version record is
  /// missing (nothing written), else 1.
  int GetOSVersion(char *name, size_t nameCapacity, char *version, size_t versionCapacity, char *build,
                   size_t buildCapacity, char *servicePack, size_t servicePackCapacity) const;

  /// Sets *count to the number of processors, *clockMhz to the clock rate
  /// of the first processor (unchanged when the system does not say:
  /// Windows reads the registry, POSIX /proc/cpuinfo), name to a short name
  /// of the processor kind (cut to nameCapacity, terminated), *model and
  /// *stepping to the x86 model and stepping (0 where they are not known).
  /// Null outputs are skipped.  0 when the system record is missing, else 1.
  int GetProcessorInfo(uint32_t *count, uint32_t *clockMhz, char *name, size_t nameCapacity,
                       uint32_t *model, uint32_t *stepping) const;

  /// Total and available bytes of physical memory (0 and 0 when unknown).
  /// 0 when the version record is missing or the system refused, else 1.
  int GetPhysicalMemory(uint64_t *total, uint64_t *available) const;
  /// The same for the process's virtual address space.
  int GetVirtualMemory(uint64_t *total, uint64_t *available) const;

 private:
  int GetMemory(bool virtualSpace, uint64_t *total, uint64_t *available) const;

  SalSystemRecord *system_;    // owned; null when missing
  SalVersionRecord *version_;  // owned; null when missing
};

/// 1 when the processor's vendor identification (CPUID leaf 0: EBX, EDX,
/// ECX) reads "AuthenticAMD" in any case, 0 otherwise, also when CPUID
/// reports no leaf above 0 or the processor is not an x86 one.
int IsAuthenticAMD();

#endif  // SAL_SYSTEM_INFO_H
