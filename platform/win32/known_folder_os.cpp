// win32/known_folder_os.cpp - the temporary folder (GetTempPathA) and the
// shell's special folders ("SHGetFolderPathA" of "shfolder.dll").
#include <windows.h>

#include <atomic>

#include "platform/os/directory_os.h"

namespace sal::os {

namespace {
// The shell's folder numbers (CSIDL_*) by SAL_FOLDER_* number; the
// temporary folder (8) has none.
constexpr int kShellFolders[10] = {
    5,   // CSIDL_PERSONAL
    46,  // CSIDL_COMMON_DOCUMENTS
    26,  // CSIDL_APPDATA
    28,  // CSIDL_LOCAL_APPDATA
    35,  // CSIDL_COMMON_APPDATA
    38,  // CSIDL_PROGRAM_FILES
    36,  // CSIDL_WINDOWS
    37,  // CSIDL_SYSTEM
    -1,  // the temporary folder: GetTempPathA
    43,  // CSIDL_PROGRAM_FILES_COMMON
};
constexpr int kCreateFlag = 0x8000;  // CSIDL_FLAG_CREATE

using GetFolderPath = HRESULT(WINAPI *)(HWND, int, HANDLE, DWORD, LPSTR);

// shfolder.dll stays loaded once it was found; a failed load is tried again
// on the next call.
HMODULE ShellFolderModule() {
  static std::atomic<HMODULE> cached{nullptr};
  HMODULE module = cached.load(std::memory_order_acquire);
  if (module == nullptr) {
    module = LoadLibraryA("shfolder.dll");
    if (module != nullptr) cached.store(module, std::memory_order_release);
  }
  return module;
}
}  // namespace

uint32_t TempPath(char *buffer, uint32_t capacity) { return GetTempPathA(capacity, buffer); }

bool ShellFolder(int number, bool create, char *buffer) {
  if (number < 0 || number > 9 || kShellFolders[number] < 0) return false;
  const HMODULE module = ShellFolderModule();
  if (module == nullptr) return false;
  const FARPROC entry = GetProcAddress(module, "SHGetFolderPathA");
  if (entry == nullptr) return false;
  const auto getFolderPath = reinterpret_cast<GetFolderPath>(reinterpret_cast<void *>(entry));
  const int folder = kShellFolders[number] | (create ? kCreateFlag : 0);
  buffer[0] = '\0';
  // No window, no access token, flags 0: the folder's current path.
  return getFolderPath(nullptr, folder, nullptr, 0, buffer) == S_OK;
}

}  // namespace sal::os
