// posix/critical_section_os.cpp - CSalCriticalSection's section as a
// std::recursive_mutex.  Implementation here must contain only generic
// POSIX (and standard C++) code.
#include <cstddef>
#include <mutex>
#include <new>

#include "base/os/critical_section_os.h"

namespace sal::os {

struct CriticalSection {
  std::recursive_mutex mutex;  // counts the owner's recursion like a Win32 section
};

static_assert(alignof(CriticalSection) <= alignof(std::max_align_t),
              "calloc'd storage must be aligned enough for the section");

size_t CriticalSectionSize() { return sizeof(CriticalSection); }

void InitializeSection(CriticalSection *section) { new (section) CriticalSection(); }

void DeleteSection(CriticalSection *section) { section->~CriticalSection(); }

void EnterSection(CriticalSection *section) { section->mutex.lock(); }

void LeaveSection(CriticalSection *section) { section->mutex.unlock(); }

CriticalSection *FallbackSection() {
  // Built on first use in static storage (the heap is what failed) and
  // never destroyed, so that a lock using it stays valid during exit.
  alignas(CriticalSection) static unsigned char storage[sizeof(CriticalSection)];
  static CriticalSection *const fallback = new (storage) CriticalSection();
  return fallback;
}

}  // namespace sal::os
