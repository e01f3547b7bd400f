// posix/library_entry_os.cpp - the shared library's load-time entry: a
// constructor that gives the library its string table and runs the attach
// sequence when the loader maps the library into a process.
#include <iterator>

#include "base/text_table.h"
#include "messages/library_attach.h"
#include "platform/message_table.h"
#include "platform/self_module.h"

namespace {
// The library's own strings: the table the Windows resource compiler reads
// into the DLL's string table.
constexpr SalTextEntry kOwnStrings[] = {
#define SAL_TEXT(id, text) {id, text},
#include "texts/library_en.def"
#undef SAL_TEXT
};

__attribute__((constructor)) void AttachLibrary() {
  sal::os::SetOwnStringTable(kOwnStrings, std::size(kOwnStrings));
  SalLibraryAttach(sal::os::SelfModule());
}
}  // namespace
