// critical_section.h - CSalCriticalSection, the platform layer's recursive
// lock, and CSalLock, the guard that holds one for the length of a block.
#ifndef SAL_CRITICAL_SECTION_H
#define SAL_CRITICAL_SECTION_H

#include "base/core.h"

namespace sal::os {
struct CriticalSection;  // laid out by the backend
}  // namespace sal::os

/// A mutual-exclusion lock that the owning thread may enter again: each
/// Enter needs its own Leave, and the section is free for other threads only
/// after the last one.  A Win32 critical section on Windows, a recursive
/// mutex elsewhere.  Not copyable.
class CSalCriticalSection : public CSalCore {
 public:
  /// Allocates and initializes the section.  Should the storage for it not
  /// be obtained, the object uses one process-wide section that never goes
  /// away instead: the lock still excludes, only more widely.
  CSalCriticalSection();
  /// Deletes the section.  No thread may own it at that moment.
  ~CSalCriticalSection() override;

  /// Waits until the calling thread owns the section.  A thread that owns
  /// it already enters again at once.
  void Enter();
  /// Gives up one Enter of the calling thread, which must own the section.
  void Leave();

 private:
  sal::os::CriticalSection *section_;  // owned, unless it is the shared fallback
  bool owned_;                         // false for the process-wide fallback section
};

/// Holds a CSalCriticalSection from construction to destruction, also when
/// the block is left by an exception.  A null lock is held by nobody.
class CSalLock {
 public:
  /// Stores lock and enters it.
  explicit CSalLock(CSalCriticalSection *lock);
  /// Leaves the stored lock, when there is one, and forgets it.
  ~CSalLock();
  CSalLock(const CSalLock &) = delete;
  CSalLock &operator=(const CSalLock &) = delete;

 private:
  CSalCriticalSection *lock_;  // the held lock; null once released
};

#endif  // SAL_CRITICAL_SECTION_H
