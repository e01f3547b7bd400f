// version_module.cpp - the version module's event source name (ordinal 17
// on Windows, the entry point GetEventSourceName on POSIX).
#include "base/sal_config.h"

extern "C" VBS_EXPORT const char *GetEventSourceName() { return "vortBexScanner"; }
