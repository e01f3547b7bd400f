// critical_section.cpp - CSalCriticalSection and CSalLock over the
// backend's section (platform/{win32,posix}/critical_section_os.cpp).
#include "base/critical_section.h"

#include <atomic>
#include <cstdlib>

#include "base/os/critical_section_os.h"

namespace {
using SectionFunction = void (*)(sal::os::CriticalSection *);

// Every lock enters and leaves through these two.  Each constructor stores
// the same two functions, so constructing locks on several threads while
// others enter theirs is harmless; the atomics keep it free of data races.
std::atomic<SectionFunction> g_enterFunction{nullptr};
std::atomic<SectionFunction> g_leaveFunction{nullptr};
}  // namespace

CSalCriticalSection::CSalCriticalSection() : section_(nullptr), owned_(true) {
  g_enterFunction.store(&sal::os::EnterSection, std::memory_order_relaxed);
  g_leaveFunction.store(&sal::os::LeaveSection, std::memory_order_relaxed);
  // calloc, not MemAlloc: a lock is infrastructure, and MemAlloc's test hook
  // must not turn a later allocation-failure test into a lock that is absent.
  section_ = static_cast<sal::os::CriticalSection *>(std::calloc(1, sal::os::CriticalSectionSize()));
  if (section_ != nullptr) {
    sal::os::InitializeSection(section_);
  } else {
    // No storage: share the process-wide section rather than not lock at all.
    section_ = sal::os::FallbackSection();
    owned_ = false;
  }
}

CSalCriticalSection::~CSalCriticalSection() {
  if (!owned_) return;
  sal::os::DeleteSection(section_);
  std::free(section_);
}

void CSalCriticalSection::Enter() {
  g_enterFunction.load(std::memory_order_relaxed)(section_);
}

void CSalCriticalSection::Leave() {
  g_leaveFunction.load(std::memory_order_relaxed)(section_);
}

CSalLock::CSalLock(CSalCriticalSection *lock) : lock_(lock) {
  if (lock_ != nullptr) lock_->Enter();
}

CSalLock::~CSalLock() {
  if (lock_ != nullptr) lock_->Leave();
  lock_ = nullptr;
}
