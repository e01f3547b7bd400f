// posix/library_entry_os.cpp - the shared library's load-time entry: a
// constructor that runs the attach sequence when the loader maps the
// library into a process.  Linked into the shared library only.
#include "messages/library_attach.h"
#include "platform/self_module_os.h"

namespace {
__attribute__((constructor)) void AttachLibrary() { SalLibraryAttach(sal::os::SelfModule()); }
}  // namespace
