// posix/fault_guard_os.cpp - nothing to arm: on POSIX systems the reader
// excludes faults by construction, and the guarded code just runs.
#include "platform/os/fault_guard_os.h"

namespace sal::os {

void *ArmFaultGuard() { return nullptr; }

void DisarmFaultGuard(void *) {}

}  // namespace sal::os
