// directory.h - CSalDirectory: a directory, searches over it with a stack of
// open searches, and the static folder operations.
#ifndef SAL_DIRECTORY_H
#define SAL_DIRECTORY_H

#include <cstddef>
#include <cstdint>

#include "base/core.h"

class CCommonString;
class CSalFile;

/// Special folders of GetSpecialFolder.
enum : int {
  SAL_FOLDER_PERSONAL = 0,            // the user's documents
  SAL_FOLDER_COMMON_DOCUMENTS = 1,    // documents shared by all users
  SAL_FOLDER_APPDATA = 2,             // the user's roaming application data
  SAL_FOLDER_LOCAL_APPDATA = 3,       // the user's local application data
  SAL_FOLDER_COMMON_APPDATA = 4,      // application data of all users
  SAL_FOLDER_PROGRAM_FILES = 5,       // program files
  SAL_FOLDER_WINDOWS = 6,             // the system's Windows folder
  SAL_FOLDER_SYSTEM = 7,              // the system folder
  SAL_FOLDER_TEMP = 8,                // the temporary folder
  SAL_FOLDER_PROGRAM_FILES_COMMON = 9,
};

/// Attribute bits of a found entry: the Windows values on every platform.
/// On POSIX a directory is 16, an entry its owner may not write is
/// read-only, a name starting with a dot is hidden, a symbolic link is a
/// reparse point, and a plain file with none of these is "normal".
enum : uint32_t {
  SAL_DIR_ATTR_READONLY = 0x1,
  SAL_DIR_ATTR_HIDDEN = 0x2,
  SAL_DIR_ATTR_SYSTEM = 0x4,
  SAL_DIR_ATTR_DIRECTORY = 0x10,
  SAL_DIR_ATTR_ARCHIVE = 0x20,
  SAL_DIR_ATTR_NORMAL = 0x80,
  SAL_DIR_ATTR_REPARSE_POINT = 0x400,
};

struct CSalDirectoryData;

/// The platform layer's directory object.  Results are 1 for success and 0
/// for failure unless an operation says otherwise.  Failures of the
/// object's own set the thread's last-error value: 0xE0280001 for a null or
/// empty argument, 0xE0280002 when there is no path or no open search (or
/// open searches cannot be closed), 0xE0280004 when a search finds nothing
/// or a path has no parent that can be reached.  When a system call fails,
/// the system's own error value stays as it left it.
///
/// Searches: FindFirst opens one, FindNext walks on and closes the searches
/// it has exhausted (a recursive walk keeps one open search per directory
/// level).  SetPath, Create, FindFirst, DeleteFiles and the destructor close
/// any open search first; IsEmpty leaves its search open.  One thread at a
/// time; construction and destruction touch nothing on disk.
class CSalDirectory : public CSalCore {
 public:
  CSalDirectory();
  ~CSalDirectory() override;

  /// Closes all open searches (0xE0280002 and 0 when that fails, path
  /// unchanged), then stores path as it is, cut at 255 bytes (null: empty).
  int SetPath(const char *path);
  /// Bounded copy of the path into buffer.  Returns 1.
  int GetPath(char *buffer, size_t capacity) const;
  /// The path; "" when there is none.
  const char *Path() const;

  /// 1 when the path exists (its attributes can be read).
  int Exists() const;
  /// 0 when the path does not exist or is not a directory (ask Exists
  /// first).  1 when it carries the read-only attribute or its attributes
  /// cannot be written back (on POSIX: the process may not change it).
  int IsReadOnly() const;
  /// Creates path with every missing level (CreatePath).  -2 for a null or
  /// empty path (0xE0280001), when open searches cannot be closed
  /// (0xE0280002) or when CreatePath fails (path unchanged).  Otherwise the
  /// object's path becomes the argument and the result is 1 when the
  /// directory was created now, 0 when it existed.
  int Create(const char *path);
  /// Renames the directory.  A bare new name (without backslash or slash)
  /// keeps the parent, and the new path ends with a separator; otherwise
  /// the new name is the whole target.  0 without path (0xE0280002), for a
  /// null or empty name (0xE0280001) or when the rename fails (path kept).
  int Rename(const char *newName);
  /// Deletes the files of the directory that match pattern.  Hidden and
  /// system files are never deleted; a read-only file is refused by the
  /// system, which counts as a failure.  With recursive exactly 1, matching
  /// subdirectories are removed with everything inside (Remove); a link to
  /// a directory is removed as a link, never followed.  An entry whose full
  /// path does not fit into 255 bytes is left alone and counts as a
  /// failure.  Goes on after a failure; 1 when everything attempted
  /// succeeded (also when nothing matches).  0 without path or when open searches cannot be closed
  /// (0xE0280002).
  int DeleteFiles(const char *pattern, int recursive);
  /// DeleteFiles("*", 1), then removes the directory itself; on success the
  /// object has no path.  A tree holding hidden or system files cannot be
  /// removed.  0 without path (0xE0280002) or on any failure.
  int Remove();

  /// Starts a search for pattern (null counts as empty; wildcards * and ?)
  /// in the path; with recursive, FindNext descends into subdirectories
  /// that match the pattern and carry no attribute besides the directory
  /// bit.  0 without path or when open searches cannot be closed
  /// (0xE0280002), 0 when nothing matches (0xE0280004).  A directory whose
  /// search text (directory, separator, pattern) does not fit into 255
  /// bytes is not searched (0xE0280004); the walk goes on without it.
  int FindFirst(const char *pattern, int recursive);
  /// The next entry, in pre-order: a directory's entry comes before its
  /// contents, its contents before its next sibling.  0 at the end of the
  /// walk (no search is open then), 0 without open search (0xE0280002).
  int FindNext();
  /// Gives file the full path of the current entry.  0 without open search
  /// (0xE0280002).
  int GetFoundFile(CSalFile &file) const;
  /// The name of the current entry; "" without open search.
  const char *GetFoundName() const;
  /// The attribute bits (SAL_DIR_ATTR_*) of the current entry; 0 without
  /// open search.
  uint32_t GetFoundAttributes() const;
  /// 1 when the directory holds no entry but "." and "..", also when it is
  /// missing.  Leaves its search open.
  int IsEmpty();

  /// The path separator: '\\' on Windows, '/' on POSIX.
  static char GetSeparator();
  /// The current directory into buffer; 0 when it cannot be read or does
  /// not fit (0xE0280001 for a null buffer or capacity 0).
  static int GetCurrentDir(char *buffer, size_t capacity);
  /// The same into a string (capacity 256); on failure the string is empty.
  static int GetCurrentDir(CCommonString &out);
  /// Changes the current directory; 0 on failure (0xE0280001 for null or
  /// empty).
  static int SetCurrentDir(const char *path);
  /// 1 for a lone separator or a drive root ("C:\\"); 0 for null, empty and
  /// anything else ("C:", "C:\\a\\").
  static int IsRootPath(const char *path);
  /// The later of the last separator and the last colon; null for neither.
  static const char *FindLastSeparator(const char *path);
  /// Creates path and every missing parent, from the top down.  1 when
  /// created, 0 when it existed already (or path is empty), -2 on failure
  /// (0xE0280004 when a level has no parent: a single relative name that
  /// does not exist).
  static int CreatePath(const char *path);
  /// folder becomes the special folder number (SAL_FOLDER_*) with its
  /// trailing separator; with create, a missing folder is created (the
  /// temporary folder one level only).  0 for an unknown number or when the
  /// folder is not available; folder is then unchanged.
  static int GetSpecialFolder(int number, CCommonString &folder, int create);

 private:
  int CloseSearches();
  int CloseTopSearch();
  int StartSearch();
  // The current entry's directory: searchDir when recursive, else path.
  const char *EntryDirectory() const;

  CSalDirectoryData *data_;  // owned; laid out in directory.cpp
};

#endif  // SAL_DIRECTORY_H
