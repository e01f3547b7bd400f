// file.h - CSalFile: a path plus an open buffered stream.
#ifndef SAL_FILE_H
#define SAL_FILE_H

#include <cstdarg>
#include <cstddef>
#include <cstdint>

#include "base/core.h"
#include "base/sal_config.h"

/// Values of the open arguments.
enum : uint32_t {
  SAL_FILE_ACCESS_READ = 1,
  SAL_FILE_ACCESS_READ_WRITE = 3,
  SAL_FILE_CREATE_NEW = 1,      // create, discarding an existing file
  SAL_FILE_OPEN_EXISTING = 2,   // existing file only
  SAL_FILE_OPEN_ALWAYS = 4,     // existing file, else create it
  SAL_FILE_SHARE_READ = 1,      // others may read but not write
  SAL_FILE_SHARE_READ_WRITE = 3,
  SAL_FILE_SHARE_NONE = 4,      // others may neither read nor write
};

/// Seek origins.
enum : uint8_t { SAL_SEEK_SET = 1, SAL_SEEK_CUR = 2, SAL_SEEK_END = 4 };

/// Own attribute bits.
enum : uint32_t {
  SAL_ATTR_ARCHIVE = 1,
  SAL_ATTR_HIDDEN = 2,
  SAL_ATTR_READONLY = 4,
  SAL_ATTR_SYSTEM = 8,
  SAL_ATTR_DIRECTORY = 16,
};

/// Encodings found by the byte-order-mark check at open.
enum : uint8_t {
  SAL_ENCODING_UNKNOWN = 0,
  SAL_ENCODING_NONE = 1,
  SAL_ENCODING_UTF8 = 2,
  SAL_ENCODING_UTF16LE = 4,
  SAL_ENCODING_UTF16BE = 8,
};

/// File-time kinds of GetFileTimeSeconds and CompareFileTimes.
enum : uint32_t { SAL_TIME_CREATION = 1, SAL_TIME_ACCESS = 2, SAL_TIME_WRITE = 3 };

struct CSalFileData;

/// The platform layer's file object.  Results are 1 for success and 0 for
/// failure; caller faults set 0xE0280001 and a missing stream or path sets
/// 0xE0280002 in the thread's last-error value.  Failures of the underlying
/// stream set no code of their own.  One thread at a time.
class CSalFile : public CSalCore {
 public:
  CSalFile();
  ~CSalFile() override;  // closes the stream

  /// Copies path (cut at 255 bytes, never inside a double-byte character).
  /// Does not close an open stream.  Returns 1.
  int SetPath(const char *path);
  /// Bounded copy of the path into buffer.  Returns 1.
  int GetPath(char *buffer, size_t capacity) const;
  const char *Path() const;

  /// Opens the path.  Modes: access 1 + creation 2 -> read; access 3 +
  /// creation 2 or 4 -> read/write of an existing file (creation 4 creates it
  /// when missing); access 3 + creation 1 -> read/write of a new, empty file.
  /// share 1 denies others writing, 3 nothing, 4 reading and writing (on
  /// POSIX as advisory locks between openers using this library).  Checks the
  /// byte-order mark and leaves the position at 0.
  int Open(uint32_t access, uint32_t creation, uint32_t share);
  /// Releases the version buffer and closes the stream; 1 also when closed.
  int Close();

  /// Reads count bytes; *got receives the bytes read.  1 only when all came.
  int Read(void *buffer, uint32_t count, uint32_t *got = nullptr);
  int Write(const void *buffer, uint32_t count, uint32_t *written = nullptr);
  /// Positions the stream; origin 1 start, 2 current, 4 end.  Beyond the end
  /// succeeds.  Another origin returns 0 without a code.
  int Seek(int64_t offset, uint8_t origin);
  /// Current position; 0 with 0xE0280002 when there is no stream.
  int64_t Tell();
  int Flush();
  /// File length (flushes; keeps the position); 0 on failure.
  int64_t GetLength();
  /// 0 without stream, else 1, plus 2 when at the end.
  int GetState();
  int IsEof();
  /// Flushes and ends the file at the current position.
  int Truncate();
  int Printf(const char *format, ...) SAL_PRINTF_LIKE(2, 3);
  int VPrintf(const char *format, va_list args);

  int Exists() const;
  /// Own attribute bits of the path, 0 when they cannot be read.
  uint32_t GetAttributes() const;
  int SetAttributes(uint32_t bits);
  int Rename(const char *newPath);
  int Delete();
  /// The platform handle of the open stream (HANDLE on Windows, the file
  /// descriptor on POSIX), or -1 without stream.
  intptr_t GetOsHandle() const;
  uint8_t GetEncoding() const;
  /// Seconds since 1970 of the path's time of kind (1 creation, 2 access,
  /// 3 write) in *seconds; 1 when above 0.
  int GetFileTimeSeconds(uint32_t kind, int64_t *seconds) const;
  /// Loads the path's version resource; returns the fixed file information
  /// inside the object's buffer, or null (always null on POSIX).
  const void *LoadVersionInfo();

  static int CopyFile(const char *source, const char *target, bool failIfExists);
  /// -1, 0, 1 as A's time of kind is older, equal, newer than B's; -1 when
  /// either is unavailable.
  static int CompareFileTimes(uint32_t kind, const char *pathA, const char *pathB);

 protected:
  CSalFileData *data_;  // owned; laid out in file.cpp
};

#endif  // SAL_FILE_H
