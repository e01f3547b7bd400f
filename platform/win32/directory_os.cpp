// win32/directory_os.cpp - searches, attributes and directory calls over
// Win32.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <new>

#include "platform/os/directory_os.h"

namespace sal::os {

struct FindHandle {
  HANDLE find;  // from FindFirstFileA
};

namespace {
uint64_t Ticks(const FILETIME &t) {
  return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

void Convert(const WIN32_FIND_DATAA &in, FindData *out) {
  out->attributes = in.dwFileAttributes;
  out->creationTime = Ticks(in.ftCreationTime);
  out->accessTime = Ticks(in.ftLastAccessTime);
  out->writeTime = Ticks(in.ftLastWriteTime);
  out->size = (static_cast<uint64_t>(in.nFileSizeHigh) << 32) | in.nFileSizeLow;
  static_assert(sizeof out->name == sizeof in.cFileName, "name buffers differ");
  std::memcpy(out->name, in.cFileName, sizeof out->name);
  out->name[sizeof out->name - 1] = '\0';
}
}  // namespace

FindHandle *OpenFind(const char *spec, FindData *data) {
  WIN32_FIND_DATAA found;
  const HANDLE find = FindFirstFileA(spec, &found);
  if (find == INVALID_HANDLE_VALUE) return nullptr;
  FindHandle *h = new (std::nothrow) FindHandle{find};
  if (h == nullptr) {
    FindClose(find);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  Convert(found, data);
  return h;
}

bool NextFind(FindHandle *handle, FindData *data) {
  WIN32_FIND_DATAA found;
  if (!FindNextFileA(handle->find, &found)) return false;
  Convert(found, data);
  return true;
}

bool CloseFind(FindHandle *handle) {
  const bool ok = FindClose(handle->find) != FALSE;
  delete handle;
  return ok;
}

bool PathAttributes(const char *path, uint32_t *attributes) {
  const DWORD bits = GetFileAttributesA(path);
  if (bits == INVALID_FILE_ATTRIBUTES) return false;
  *attributes = bits;
  return true;
}

bool WriteAttributesBack(const char *path, uint32_t attributes) {
  return SetFileAttributesA(path, attributes) != FALSE;
}

MakeDirResult MakeDir(const char *path) {
  if (CreateDirectoryA(path, nullptr)) return MakeDirResult::kCreated;
  return GetLastError() == ERROR_ALREADY_EXISTS ? MakeDirResult::kExists : MakeDirResult::kFailed;
}

bool RemoveDir(const char *path) { return RemoveDirectoryA(path) != FALSE; }

bool RemoveFile(const char *path) { return DeleteFileA(path) != FALSE; }

bool CurrentDir(char *buffer, size_t capacity) {
  const DWORD size = capacity > MAXDWORD ? MAXDWORD : static_cast<DWORD>(capacity);
  const DWORD length = GetCurrentDirectoryA(size, buffer);
  // A buffer too small gets nothing, and the result is the size it needs.
  return length != 0 && length < size;
}

bool ChangeDir(const char *path) { return SetCurrentDirectoryA(path) != FALSE; }

}  // namespace sal::os
