// win32/file_os.cpp - CSalFile's streams and path calls over Win32 and MSVCRT.
#include <windows.h>

#include <errno.h>
#include <io.h>
#include <share.h>
#include <stdio.h>

#include <cstdint>
#include <new>

#include "platform/os/file_os.h"
#include "platform/self_module.h"

namespace sal::os {

struct FileHandle {
  FILE *stream;  // the shared-mode stream from _fsopen
};

namespace {
// Own attribute bits (see platform/file.h).
constexpr uint32_t kArchive = 1, kHidden = 2, kReadOnly = 4, kSystem = 8, kDirectory = 16;

// FILETIME of 1970-01-01 00:00 UTC.
constexpr int64_t kUnixEpochTicks = 116444736000000000LL;

DWORD ToNative(uint32_t own) {
  DWORD native = 0;
  if (own & kArchive) native |= FILE_ATTRIBUTE_ARCHIVE;
  if (own & kHidden) native |= FILE_ATTRIBUTE_HIDDEN;
  if (own & kReadOnly) native |= FILE_ATTRIBUTE_READONLY;
  if (own & kSystem) native |= FILE_ATTRIBUTE_SYSTEM;
  return native;
}

// The runtime's unlocked transfers.  msvcrt.dll, which mingw-w64 links by
// default, exports _fread_nolock only on some Windows versions (and not
// under Wine), so they are looked up once in the module that holds fread;
// where missing, the locking calls do the same work.
using Transfer = size_t(__cdecl *)(void *, size_t, size_t, FILE *);
using ConstTransfer = size_t(__cdecl *)(const void *, size_t, size_t, FILE *);

template <typename Fn>
Fn RuntimeEntry(const char *name, Fn fallback) {
  auto module = static_cast<HMODULE>(sal::os::ModuleHolding(reinterpret_cast<const void *>(&fread)));
  FARPROC entry = module != nullptr ? GetProcAddress(module, name) : nullptr;
  return entry != nullptr ? reinterpret_cast<Fn>(reinterpret_cast<void *>(entry)) : fallback;
}

size_t __cdecl LockedRead(void *d, size_t s, size_t n, FILE *f) { return fread(d, s, n, f); }
size_t __cdecl LockedWrite(const void *d, size_t s, size_t n, FILE *f) {
  return fwrite(d, s, n, f);
}

Transfer ReadEntry() {
  static const Transfer entry = RuntimeEntry<Transfer>("_fread_nolock", &LockedRead);
  return entry;
}

ConstTransfer WriteEntry() {
  static const ConstTransfer entry = RuntimeEntry<ConstTransfer>("_fwrite_nolock", &LockedWrite);
  return entry;
}
}  // namespace

// ---- streams ----------------------------------------------------------------

FileHandle *OpenShared(const char *path, OpenMode mode, Share share) {
  const char *text = mode == OpenMode::kRead ? "rb" : mode == OpenMode::kReadWrite ? "r+b" : "w+b";
  const int flag = share == Share::kDenyWrite ? _SH_DENYWR
                   : share == Share::kDenyNone ? _SH_DENYNO
                                               : _SH_DENYRW;
  FileHandle *file = new (std::nothrow) FileHandle;
  if (file == nullptr) {
    errno = ENOMEM;
    return nullptr;
  }
  // CreateFile checks the sharing before it empties a file for "w+b", so a
  // refused open leaves the content alone.
  file->stream = _fsopen(path, text, flag);
  if (file->stream == nullptr) {
    delete file;
    return nullptr;
  }
  return file;
}

bool Close(FileHandle *file) {
  // Written out first: some runtimes (Wine's msvcrt) let fclose succeed when
  // the buffered output it writes cannot be stored.  fclose releases the
  // stream whatever it reports.
  bool ok = fflush(file->stream) == 0;
  ok = fclose(file->stream) == 0 && ok;
  delete file;
  return ok;
}

size_t Read(FileHandle *file, void *dest, size_t count) {
  return ReadEntry()(dest, 1, count, file->stream);
}

size_t Write(FileHandle *file, const void *source, size_t count) {
  return WriteEntry()(source, 1, count, file->stream);
}

bool Unread(FileHandle *file, unsigned char byte) { return ungetc(byte, file->stream) != EOF; }

bool Seek(FileHandle *file, int64_t offset, Origin origin) {
  const int whence = origin == Origin::kStart ? SEEK_SET : origin == Origin::kCurrent ? SEEK_CUR : SEEK_END;
  if (_fseeki64(file->stream, offset, whence) != 0) return false;
  // mingw-w64 builds _fseeki64 for msvcrt from fsetpos, which does not clear
  // the end-of-file indicator everywhere as a seek must.  Cleared here only
  // when no error is recorded, so that an error indicator is never lost.
  if (feof(file->stream) && !ferror(file->stream)) clearerr(file->stream);
  return true;
}

int64_t Tell(FileHandle *file) { return _ftelli64(file->stream); }

bool Flush(FileHandle *file) {
  // msvcrt's fflush drops the read-ahead of a stream that was being read
  // without moving the file pointer back, which would skip those bytes:
  // put the position back where it was.
  const int64_t before = _ftelli64(file->stream);
  if (fflush(file->stream) != 0) return false;
  if (before >= 0 && _ftelli64(file->stream) != before)
    return _fseeki64(file->stream, before, SEEK_SET) == 0;
  return true;
}

bool AtEnd(FileHandle *file) { return feof(file->stream) != 0; }

int64_t Length(FileHandle *file) { return _filelengthi64(_fileno(file->stream)); }

bool Truncate(FileHandle *file, int64_t length) {
  return _chsize_s(_fileno(file->stream), length) == 0;
}

bool VPrintf(FileHandle *file, const char *format, va_list args) {
  return vfprintf(file->stream, format, args) >= 0;
}

intptr_t OsHandle(FileHandle *file) { return _get_osfhandle(_fileno(file->stream)); }

// ---- paths --------------------------------------------------------------------

bool GetAttributes(const char *path, uint32_t *bits) {
  const DWORD native = GetFileAttributesA(path);
  if (native == INVALID_FILE_ATTRIBUTES) return false;
  uint32_t own = 0;
  if (native & FILE_ATTRIBUTE_ARCHIVE) own |= kArchive;
  if (native & FILE_ATTRIBUTE_HIDDEN) own |= kHidden;
  if (native & FILE_ATTRIBUTE_READONLY) own |= kReadOnly;
  if (native & FILE_ATTRIBUTE_SYSTEM) own |= kSystem;
  if (native & FILE_ATTRIBUTE_DIRECTORY) own |= kDirectory;
  *bits = own;
  return true;
}

bool ChangeAttributes(const char *path, uint32_t clear, uint32_t set) {
  const DWORD native = GetFileAttributesA(path);
  if (native == INVALID_FILE_ATTRIBUTES) return false;
  // Only these attributes may be passed to SetFileAttributes; the others
  // (directory, compressed, ...) are reported, not set.
  const DWORD settable = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY |
                         FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED |
                         FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_TEMPORARY;
  DWORD next = ((native & settable) & ~ToNative(clear)) | ToNative(set);
  if (next == 0) next = FILE_ATTRIBUTE_NORMAL;
  return SetFileAttributesA(path, next) != FALSE;
}

bool Rename(const char *from, const char *to) { return MoveFileA(from, to) != FALSE; }

bool Remove(const char *path) { return DeleteFileA(path) != FALSE; }

bool CopyFileTo(const char *source, const char *target, bool failIfExists) {
  return CopyFileA(source, target, failIfExists ? TRUE : FALSE) != FALSE;
}

bool GetFileTime(const char *path, TimeKind kind, int64_t *ticks) {
  WIN32_FILE_ATTRIBUTE_DATA info;
  if (!GetFileAttributesExA(path, GetFileExInfoStandard, &info)) return false;
  const FILETIME &t = kind == TimeKind::kCreation ? info.ftCreationTime
                      : kind == TimeKind::kAccess ? info.ftLastAccessTime
                                                  : info.ftLastWriteTime;
  const int64_t value =
      static_cast<int64_t>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
  *ticks = value - kUnixEpochTicks;
  return true;
}

uint32_t VersionInfoSize(const char *path) {
  DWORD ignored = 0;
  return GetFileVersionInfoSizeA(path, &ignored);
}

bool LoadVersionInfo(const char *path, void *buffer, uint32_t size) {
  return GetFileVersionInfoA(path, 0, size, buffer) != FALSE;
}

const void *VersionInfoRoot(const void *buffer) {
  void *root = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(buffer, "\\", &root, &length) || length == 0) return nullptr;
  return root;
}

}  // namespace sal::os
