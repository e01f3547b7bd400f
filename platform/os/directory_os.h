// directory_os.h - private: what each OS supplies for CSalDirectory and the
// folder operations.  Not installed.
//
// A backend makes the OS call and translates its result; the search stack,
// the walk and the deletion rules live in platform/directory.cpp.  Failures
// set no library error code: the system's own error value (errno on POSIX,
// the thread's last error on Windows) keeps the reason.
#ifndef SAL_DIRECTORY_OS_H
#define SAL_DIRECTORY_OS_H

#include <cstddef>
#include <cstdint>

namespace sal::os {

struct FindHandle;  // an open search; laid out by the backend

/// One entry of a search, in the fields of the Windows find record.
struct FindData {
  uint32_t attributes;    // Windows attribute bits (SAL_DIR_ATTR_* of directory.h)
  uint64_t creationTime;  // 100-nanosecond ticks since 1601-01-01 00:00 UTC
  uint64_t accessTime;
  uint64_t writeTime;
  uint64_t size;          // bytes
  char name[260];         // the entry's name, without directory
};

/// Starts a search for spec, a directory, a separator and a name pattern
/// with the wildcards * and ?.  Fills data with the first matching entry
/// ("." and ".." are entries like any other).  Null when nothing matches or
/// the directory cannot be read.
FindHandle *OpenFind(const char *spec, FindData *data);
/// The next matching entry; false at the end of the search or on error.
bool NextFind(FindHandle *handle, FindData *data);
/// Ends the search and releases the handle (also when closing fails).
bool CloseFind(FindHandle *handle);

/// The Windows attribute bits of path; false when it does not exist or its
/// attributes cannot be read.
bool PathAttributes(const char *path, uint32_t *attributes);
/// Writes attributes read with PathAttributes back unchanged: false when
/// the directory's attributes cannot be written.
bool WriteAttributesBack(const char *path, uint32_t attributes);

enum class MakeDirResult { kCreated, kExists, kFailed };
/// Creates one directory (its parent must exist).
MakeDirResult MakeDir(const char *path);
/// Removes an empty directory; a read-only one is refused as on Windows.
bool RemoveDir(const char *path);
/// Deletes a file (not a directory); a read-only file is refused as on
/// Windows.
bool RemoveFile(const char *path);

/// The process's current directory; false when it does not fit into
/// capacity bytes with its terminator.
bool CurrentDir(char *buffer, size_t capacity);
bool ChangeDir(const char *path);

/// The temporary folder with its trailing separator, as GetTempPathA gives
/// it: the length written, or the capacity needed (terminator included)
/// when it does not fit, or 0 on failure.
uint32_t TempPath(char *buffer, uint32_t capacity);
/// The special folder number (0-9 without 8, SAL_FOLDER_* of directory.h)
/// into buffer (260 bytes).  With create, a missing folder is created.
/// False when the folder is unknown, missing (and not created) or does not
/// fit.
bool ShellFolder(int number, bool create, char *buffer);

}  // namespace sal::os

#endif  // SAL_DIRECTORY_OS_H
