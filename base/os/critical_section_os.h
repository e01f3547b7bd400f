// critical_section_os.h - private: what each OS supplies for
// CSalCriticalSection.  Not installed.
#ifndef SAL_CRITICAL_SECTION_OS_H
#define SAL_CRITICAL_SECTION_OS_H

#include <cstddef>

namespace sal::os {

struct CriticalSection;  // a CRITICAL_SECTION or a recursive mutex

/// Bytes of storage one section needs; calloc's alignment suffices.
size_t CriticalSectionSize();
/// Initializes a section in zero-filled storage of CriticalSectionSize bytes.
void InitializeSection(CriticalSection *section);
/// Ends a section that no thread owns; the storage may be freed afterwards.
void DeleteSection(CriticalSection *section);
/// Waits until the calling thread owns section; recursion is counted.
void EnterSection(CriticalSection *section);
/// Gives up one level of the calling thread's ownership.
void LeaveSection(CriticalSection *section);
/// A process-wide section, initialized on first use and never deleted.
CriticalSection *FallbackSection();

}  // namespace sal::os

#endif  // SAL_CRITICAL_SECTION_OS_H
