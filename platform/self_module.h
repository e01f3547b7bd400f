// self_module.h - the module that holds the calling code.  Its backend file
// is compiled into the library and into each companion module.
#ifndef SAL_SELF_MODULE_H
#define SAL_SELF_MODULE_H

namespace sal::os {

/// The handle of the module this function is linked into: the library, a
/// companion module, or a program linked with the support library
/// statically.  The handle is the one the module loader uses (an HMODULE on
/// Windows, a dlopen handle on POSIX); no reference is taken.  Null when
/// the loader does not know the module.
void *SelfModule();

/// The handle, of the same kind, of the module whose image holds address
/// (code or data of a loaded module); no reference is taken.  Null when the
/// loader does not know the address.
void *ModuleHolding(const void *address);

}  // namespace sal::os

#endif  // SAL_SELF_MODULE_H
