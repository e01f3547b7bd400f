// fault_guard_os.h - private: what each OS supplies for the fault guard.
#ifndef SAL_FAULT_GUARD_OS_H
#define SAL_FAULT_GUARD_OS_H

namespace sal::os {
/// Arms the fault guard for the calling thread; null when nothing is armed.
void *ArmFaultGuard();
/// Disarms what ArmFaultGuard returned (null is allowed).
void DisarmFaultGuard(void *armed);
}  // namespace sal::os

#endif  // SAL_FAULT_GUARD_OS_H
