// system_info_os.h - private: what each OS supplies for CSalSystemInfo.
#ifndef SAL_SYSTEM_INFO_OS_H
#define SAL_SYSTEM_INFO_OS_H

#include <cstdint>

#include "platform/system_info.h"

namespace sal::os {
/// Fills the records of this machine (the records arrive zeroed).
void ReadSystemRecord(SalSystemRecord *record);
void ReadVersionRecord(SalVersionRecord *record);
/// The clock rate of the first processor in MHz; false when unknown.
bool ReadClockMhz(uint32_t *mhz);
/// Total and available bytes of physical memory or of the process's
/// virtual address space.  ntFive: the system is of the NT family, version
/// 5 or later (Windows then asks for 64-bit figures).  False when the
/// system refused.
bool ReadMemory(bool virtualSpace, bool ntFive, uint64_t *total, uint64_t *available);
}  // namespace sal::os

#endif  // SAL_SYSTEM_INFO_OS_H
