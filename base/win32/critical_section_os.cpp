// win32/critical_section_os.cpp - CSalCriticalSection's section as a Win32
// CRITICAL_SECTION.
#include <windows.h>

#include <cstddef>

#include "base/os/critical_section_os.h"

namespace sal::os {

struct CriticalSection {
  CRITICAL_SECTION section;  // counts the owner's recursion itself
};

static_assert(alignof(CriticalSection) <= alignof(std::max_align_t),
              "calloc'd storage must be aligned enough for the section");

size_t CriticalSectionSize() { return sizeof(CriticalSection); }

void InitializeSection(CriticalSection *section) { InitializeCriticalSection(&section->section); }

void DeleteSection(CriticalSection *section) { DeleteCriticalSection(&section->section); }

void EnterSection(CriticalSection *section) { EnterCriticalSection(&section->section); }

void LeaveSection(CriticalSection *section) { LeaveCriticalSection(&section->section); }

CriticalSection *FallbackSection() {
  // Initialized once, on first use, and never deleted.
  static CriticalSection *const fallback = [] {
    static CriticalSection storage;
    InitializeCriticalSection(&storage.section);
    return &storage;
  }();
  return fallback;
}

}  // namespace sal::os
