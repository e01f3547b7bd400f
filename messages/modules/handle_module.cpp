// handle_module.cpp - the handle function of a shared string module
// (GetCommonHandle and its siblings, named by VBS_HANDLE_FUNCTION): the
// module's own handle, under which its string table is found.
#include "base/sal_config.h"
#include "platform/self_module.h"

extern "C" VBS_EXPORT void *VBS_HANDLE_FUNCTION() { return sal::os::SelfModule(); }
