// library_attach.h - what the library does when it is attached to a
// process, and the event source name of its events.
#ifndef SAL_LIBRARY_ATTACH_H
#define SAL_LIBRARY_ATTACH_H

#include "platform/module.h"

/// The attach sequence of the library's entry point, for the module self
/// (the library): registers the shared string modules (locStringsCommon,
/// locStringsKernelCommon, locStringsKernelFeatures) as resource modules 1
/// to 3, builds the language object for self once per process (which loads
/// the variant that language.ini beside self names), registers its module
/// as resource module 0, reloads the bound strings and installs the
/// resource lookup for the texts of the lower layers (SalSetTextLookup).  A missing string
/// module leaves its index empty.  The language object is destroyed at
/// unload, before the resources object.
void SalLibraryAttach(SalModuleHandle self);

/// The event source name that the version module (vortVersion, ordinal 17
/// on Windows, the entry point GetEventSourceName on POSIX) supplies; ""
/// when the module, its entry or its text is missing.  The module is loaded
/// at the first call and kept.
const char *SalGetEventSourceName();

#endif  // SAL_LIBRARY_ATTACH_H
