// fault_guard.cpp - the fault guard's lifetime over the system's backend.
#include "platform/fault_guard.h"

#include "platform/os/fault_guard_os.h"

CSalFaultGuard::CSalFaultGuard() : armed_(sal::os::ArmFaultGuard()) {}

CSalFaultGuard::~CSalFaultGuard() { sal::os::DisarmFaultGuard(armed_); }
