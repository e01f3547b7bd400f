// common_file.h - CCommonFile: CSalFile plus line reads, inserting writes and search.
#ifndef COMMON_COMMON_FILE_H
#define COMMON_COMMON_FILE_H

#include <cstdint>

#include "platform/file.h"

/// Placements of WriteAt.
enum : uint32_t {
  COMMON_WRITE_APPEND = 2,  // at the end of the file
  COMMON_WRITE_INSERT = 4,  // at the current position, moving the rest up
};

/// The common library's file object.  Results are 1 for success and 0 for
/// failure, as for CSalFile; a missing stream sets 0xE0280002, a caller
/// fault 0xE0280001 unless an operation names another code.
class CCommonFile : public CSalFile {
 public:
  CCommonFile();
  /// Builds the object and sets path (see SetPath).
  explicit CCommonFile(const char *path);
  /// Closes the file.
  ~CCommonFile() override;

  /// SetPath(path), then Open(access, creation, share).
  int OpenPath(const char *path, uint32_t access, uint32_t creation, uint32_t share);
  /// CSalFile::Open; the access value is remembered whatever the result.
  int Open(uint32_t access, uint32_t creation, uint32_t share);
  /// The access given to the last Open (0 before any).
  uint32_t LastAccess() const { return access_; }

  /// Writes count bytes.  placement 2 appends at the end; 4 inserts at the
  /// current position, moving the bytes behind it up, and leaves the
  /// position behind the inserted bytes; any other value writes at the
  /// current position.  *written receives the new bytes written.  Returns 1
  /// only when all of it succeeded.  An insertion reads the whole tail first
  /// and changes nothing when that (or its buffer) fails.
  int WriteAt(const void *buffer, uint32_t count, uint32_t placement, uint32_t *written = nullptr);

  /// 1 when a stream is open.
  int IsOpen();
  /// Reads one byte into *out; Read's result.
  int ReadByte(uint8_t *out);

  /// Reads one line into buffer (capacity bytes, always terminated) up to a
  /// CR or LF, which is consumed but not stored.  One further CR or LF
  /// directly behind it is consumed too, so CRLF (and LFCR) count as one line
  /// end, and so do two LFs.  Returns 1 when a line was delivered, also the
  /// last one of the file, ended or not.  Returns 0 for a null buffer or a
  /// capacity below 2 (0xE0280001), no stream (0xE0280002), a position at
  /// the end of the file (empty buffer), and when the buffer filled up before
  /// a line end (capacity - 1 bytes delivered; the rest follows at the next
  /// call).
  int ReadLine(char *buffer, uint32_t capacity);
  /// As ReadLine, but only LF, CR or CRLF form one line end, so empty lines
  /// come out as empty texts.  *consumed (optional) receives the bytes taken
  /// from the file, line end included (0 on the early failures).
  int ReadLineEx(char *buffer, uint32_t capacity, uint32_t *consumed = nullptr);

  /// Removes count bytes at the current position, moving the rest of the
  /// file down, and returns to the position.  0 without change when count
  /// reaches beyond the end.  *removed (optional) receives count on success.
  int DeleteBytes(uint32_t count, uint32_t *removed = nullptr);
  /// Empties the file: seek to the start and truncate.
  int Clear();

  /// 1 when the path exists and has all own attribute bits in bits.
  int HasAttribute(uint32_t bits);
  /// Sets the own attribute bits in set and clears those in clear (each
  /// within 0 to 31, not overlapping: else 0xE0280001) through SetAttributes,
  /// so an archive attribute already set stays.  0 when the path is missing.
  int ChangeAttributes(uint32_t set, uint32_t clear);

  /// Searches forward for pattern from the start (or from the current
  /// position with fromCurrent) and leaves the position at the first byte of
  /// the match.  ignoreCase folds ASCII letters; skipWhiteSpace passes over
  /// space, tab, CR, LF, VT and FF bytes in the file and in the pattern, so a
  /// match may span them (it still starts on a byte that is not white
  /// space).  An empty pattern matches at the starting position.  Not
  /// found: 0, position unchanged.  Null pattern: 0xE0050004; no stream:
  /// 0xE0280002; no storage for the search: 0xE00303EB.
  int Find(const char *pattern, bool fromCurrent, bool ignoreCase, bool skipWhiteSpace);
  /// Find from the start, case-sensitive.
  int FindText(const char *pattern);
  /// Find from the current position, case-sensitive.
  int FindTextFromCurrent(const char *pattern);
  /// 1 when the path's content holds "<?xml".  Uses a second, read-only
  /// file object that shares with everybody, so it works while this object
  /// has the file open unless that open denies reading.
  int IsXmlFile();

 private:
  int InsertAt(const void *buffer, uint32_t count, uint32_t *written);
  int ReadLineCore(char *buffer, uint32_t capacity, bool strict, uint32_t *consumed);

  uint32_t access_ = 0;  // access given to the last Open
};

#endif  // COMMON_COMMON_FILE_H
