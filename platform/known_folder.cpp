// known_folder.cpp - CSalDirectory::GetSpecialFolder: the temporary folder
// and the shell's special folders, with the rules every OS shares; the
// folders themselves come from {win32,posix}/known_folder_os.cpp.
#include "base/common_string.h"
#include "platform/directory.h"
#include "platform/os/directory_os.h"

namespace {
constexpr uint32_t kFolderCapacity = 260;  // the platform's path buffer
}  // namespace

int CSalDirectory::GetSpecialFolder(int number, CCommonString &folder, int create) {
  if (number < 0 || number > SAL_FOLDER_PROGRAM_FILES_COMMON) return 0;
  char buffer[kFolderCapacity + 1];

  if (number == SAL_FOLDER_TEMP) {
    const uint32_t length = sal::os::TempPath(buffer, kFolderCapacity);
    if (length == 0 || length > kFolderCapacity) return 0;
    // The text already ends with a separator; it is taken as it is.
    if (folder.Assign(buffer, length) == 0) return 0;
    uint32_t attributes = 0;
    // One level only, and its result does not matter: a folder that cannot
    // be created shows when the caller asks Exists.
    if (create != 0 && !sal::os::PathAttributes(folder.CStr(), &attributes))
      (void)sal::os::MakeDir(folder.CStr());
    return 1;
  }

  if (!sal::os::ShellFolder(number, create != 0, buffer)) return 0;
  CCommonString text;
  if (text.Assign(buffer) == 0 || text.AddSeparator() == 0) return 0;
  return folder.Assign(text) != 0 ? 1 : 0;
}
