// file_os.h - private: what each OS supplies for CSalFile.  Not installed.
//
// A backend makes one OS or runtime call per operation and translates its
// result; loops and rules shared by every OS live in platform/file.cpp.
// Failures set no library error code: the runtime's errno (and on Windows
// the system's last error) keep the reason.
#ifndef SAL_FILE_OS_H
#define SAL_FILE_OS_H

#include <cstdarg>
#include <cstddef>
#include <cstdint>

namespace sal::os {

struct FileHandle;  // a buffered stream and what it needs; laid out by the backend

enum class OpenMode {
  kRead,       // "rb": existing file, read only
  kReadWrite,  // "r+b": existing file, read and write
  kCreate,     // "w+b": created or emptied, read and write
};

enum class Share {
  kDenyWrite,  // others may read but not write
  kDenyNone,   // others may read and write
  kDenyAll,    // others may neither read nor write
};

enum class Origin { kStart, kCurrent, kEnd };

enum class TimeKind { kCreation, kAccess, kWrite };

/// Opens path as a buffered stream with the sharing rule.  An existing file
/// is emptied by kCreate only after the sharing check has passed.  Null on
/// failure, including a sharing violation and a path naming a directory.
FileHandle *OpenShared(const char *path, OpenMode mode, Share share);
/// Closes the stream and releases the handle, also when closing reports an
/// error (the runtime disassociates the stream either way).  False when
/// writing out buffered data or closing failed.
bool Close(FileHandle *file);

/// Bytes transferred; fewer than count at the end of the file or on error.
size_t Read(FileHandle *file, void *dest, size_t count);
size_t Write(FileHandle *file, const void *source, size_t count);
/// Pushes back the byte the last Read delivered, so the next Read returns
/// it again.  Cheaper than a relative seek, which empties the stream buffer
/// on some runtimes.
bool Unread(FileHandle *file, unsigned char byte);
bool Seek(FileHandle *file, int64_t offset, Origin origin);
/// Current position, -1 on failure.
int64_t Tell(FileHandle *file);
/// Writes out buffered data; the position stays.
bool Flush(FileHandle *file);
/// The stream's end-of-file indicator.
bool AtEnd(FileHandle *file);
/// Length of the file as the system sees it (buffered output not counted);
/// -1 on failure.
int64_t Length(FileHandle *file);
/// Sets the file's length (after Flush); the stream position is not moved.
bool Truncate(FileHandle *file, int64_t length);
bool VPrintf(FileHandle *file, const char *format, va_list args);
/// HANDLE on Windows, the descriptor on POSIX.
intptr_t OsHandle(FileHandle *file);

/// Own attribute bits (archive 1, hidden 2, read-only 4, system 8,
/// directory 16) of path; false when they cannot be read.
bool GetAttributes(const char *path, uint32_t *bits);
/// Clears then sets own bits among archive, hidden, read-only and system,
/// leaving every other attribute of the path as it is.
bool ChangeAttributes(const char *path, uint32_t clear, uint32_t set);
/// Renames; never replaces an existing target.
bool Rename(const char *from, const char *to);
bool Remove(const char *path);
bool CopyFileTo(const char *source, const char *target, bool failIfExists);
/// Time of kind in 100-nanosecond units since 1970-01-01 00:00 UTC.
bool GetFileTime(const char *path, TimeKind kind, int64_t *ticks);

/// Size of path's version-information block, 0 when it has none.
uint32_t VersionInfoSize(const char *path);
/// Loads the block into buffer of size bytes.
bool LoadVersionInfo(const char *path, void *buffer, uint32_t size);
/// Address of the root entry (the fixed file information) inside a loaded
/// block, or null.
const void *VersionInfoRoot(const void *buffer);

}  // namespace sal::os

#endif  // SAL_FILE_OS_H
