// path.h - free functions that take paths apart and put them together.
//
// Paths are 8-bit texts in the process's ANSI code page.  "The separator" is
// CSalDirectory::GetSeparator() ('\\' on Windows, '/' on POSIX); functions
// that say "backslash or slash" accept either.  Searches for a separator or
// a dot step over whole characters, so the trail byte of a double-byte
// character (which may be 0x5C) is never taken for a backslash, and no copy
// ever cuts a double-byte character.
//
// Three forms of most functions:
//   - (path, out, capacity): the result is copied into out, bounded and
//     always terminated.  Functions that extract a part first clear out, and
//     return 0 without writing more when an argument is null or the capacity
//     is 0.  A "count" is the number of bytes the last bounded copy wrote.
//   - (path, CCommonString &out): the same with the capacity named in the
//     comment (256 unless said otherwise); out is left empty for a null path.
//   - (path) returning a new CCommonString ("by value").
// Functions that change a buffer in place return 0 and leave it alone when
// an argument is null or the capacity is 0; their CCommonString forms work
// on a 256-byte copy of the string's text and store the result back.
#ifndef SAL_PATH_H
#define SAL_PATH_H

#include <cstddef>

#include "base/common_string.h"

/// 1 for a backslash or a slash.
int SalPathIsSeparator(int ch);

/// 1 when the path contains the separator after a colon (":\\") or two
/// separators in a row anywhere; on POSIX also when it starts with '/'.
int SalPathIsFull(const char *path);

/// Everything up to and including the last separator; count.  No separator:
/// empty, 0.
int SalPathGetDir(const char *path, char *out, size_t capacity);
int SalPathGetDir(const char *path, CCommonString &out);
CCommonString SalPathGetDir(const char *path);

/// The first two bytes when the second is a colon ("C:"); count.  Else
/// empty, 0.  The string form uses capacity 3.
int SalPathGetDrive(const char *path, char *out, size_t capacity);
int SalPathGetDrive(const char *path, CCommonString &out);
CCommonString SalPathGetDrive(const char *path);

/// SalPathGetDir without the drive ("C:\\a\\b.txt" gives "\\a\\"); count.
int SalPathGetDirNoDrive(const char *path, char *out, size_t capacity);
int SalPathGetDirNoDrive(const char *path, CCommonString &out);
CCommonString SalPathGetDirNoDrive(const char *path);

/// The text after the last separator (the whole path when there is none);
/// count.  Empty and 0 when that text is "." or "..".
int SalPathGetFileName(const char *path, char *out, size_t capacity);
int SalPathGetFileName(const char *path, CCommonString &out);
CCommonString SalPathGetFileName(const char *path);

/// SalPathGetFileName cut at its last dot; the remaining length.  A name
/// whose only dot is its first character gives the empty string.
int SalPathGetFileTitle(const char *path, char *out, size_t capacity);
int SalPathGetFileTitle(const char *path, CCommonString &out);
CCommonString SalPathGetFileTitle(const char *path);

/// The text after the last dot of the whole path, a dot in a directory name
/// included ("C:\\dir.d\\file" gives "d\\file"); count.  No dot: empty, 0.
int SalPathGetExtension(const char *path, char *out, size_t capacity);
int SalPathGetExtension(const char *path, CCommonString &out);
CCommonString SalPathGetExtension(const char *path);

/// A copy of the path cut at its last dot.  Returns the count of the copy
/// before the cut.
int SalPathRemoveExtension(const char *path, char *out, size_t capacity);
int SalPathRemoveExtension(const char *path, CCommonString &out);
CCommonString SalPathRemoveExtension(const char *path);

/// The parent directory with its trailing separator: "C:\\a\\b" and
/// "C:\\a\\b\\" give "C:\\a\\"; a root ("C:\\", "\\") stays as it is; "C:a"
/// gives "C:"; a name without separator comes back unchanged.  Returns the
/// result's length; an empty path gives an empty result and 0.
int SalPathGetParentDir(const char *path, char *out, size_t capacity);
int SalPathGetParentDir(const char *path, CCommonString &out);
CCommonString SalPathGetParentDir(const char *path);

/// In place: cuts the text at its last dot, appends a dot unless the
/// extension holds one, then the extension.  Returns the bytes of the
/// extension appended (file.txt with "log" or ".log" gives file.log).
int SalPathSetExtension(char *buffer, size_t capacity, const char *extension);
int SalPathSetExtension(CCommonString &path, const char *extension);

/// In place: the old directory, the title, a dot (always), the old
/// extension ("C:\\a\\file" with "new" gives "C:\\a\\new.").  Count.
int SalPathSetFileTitle(char *buffer, size_t capacity, const char *title);
int SalPathSetFileTitle(CCommonString &path, const char *title);

/// In place: the old directory followed by the name; count.
int SalPathSetFileName(char *buffer, size_t capacity, const char *name);
int SalPathSetFileName(CCommonString &path, const char *name);

/// In place: the old drive, a separator unless the directory starts with
/// one, the directory, a separator unless it ends with one, the old file
/// name; count.
int SalPathSetDirNoDrive(char *buffer, size_t capacity, const char *directory);
int SalPathSetDirNoDrive(CCommonString &path, const char *directory);

/// In place: the directory, a separator unless it ends with one, the old
/// file name.  Returns the bytes of the file name appended.
int SalPathSetDir(char *buffer, size_t capacity, const char *directory);
int SalPathSetDir(CCommonString &path, const char *directory);

/// When the second byte is a colon, replaces the first byte with the first
/// byte of drive and returns 1; else (or for an empty drive) 0.
int SalPathSetDrive(char *buffer, size_t capacity, const char *drive);
int SalPathSetDrive(CCommonString &path, const char *drive);

/// Appends the separator when the text is not empty, does not end with the
/// separator and one more byte fits.  Returns buffer.
char *SalPathAddSeparator(char *buffer, size_t capacity);

/// Removes a final separator.  Returns buffer.
char *SalPathRemoveSeparator(char *buffer, size_t capacity);

/// The last name of the path, trailing separators (backslash or slash)
/// ignored ("C:\\a\\b\\" gives "b"); returns its length.
int SalPathGetLastName(const char *path, char *out, size_t capacity);
int SalPathGetLastName(const char *path, CCommonString &out);

/// Writes "second-to-last-last" of the last two names (separators backslash
/// or slash, trailing ones ignored) into out and returns out:
/// "C:\\x\\Project\\Tool\\" gives "Project-Tool".  When there are not two
/// names each preceded by a separator, or the result does not fit, returns
/// path and leaves out untouched.  The string form returns 1 when it joined,
/// else 0 with out unchanged.
const char *SalPathJoinLastTwoNames(const char *path, char *out, size_t capacity);
int SalPathJoinLastTwoNames(const char *path, CCommonString &out);

/// 1 when the directories of both paths (SalPathGetDir after turning every
/// slash into the separator) are equal: without regard to case on Windows,
/// byte for byte on POSIX.  0 for a null path.
int SalPathIsSameDir(const char *pathA, const char *pathB);

/// In place: the path in buffer becomes full and normalised.  A path that
/// is not full gets base (or, without base, the current directory) and a
/// separator in front.  "\\.\\" becomes one separator; a ".." name removes
/// itself and the name before it ("C:\\a\\.\\b\\..\\c" gives "C:\\a\\c",
/// "C:\\a\\b\\.." gives "C:\\a"); a leading ".\\" and a trailing "\\." are
/// dropped.  Returns 0 with buffer untouched when the text holds "..." or a
/// ".." has no name before it to remove ("..\\a", "\\..", "C:\\.."), and 0
/// with the cut text when the result does not fit; else 1.
int SalPathMakeFull(char *buffer, size_t capacity, const char *base);

/// out becomes path relative to base: "C:\\a\\x.txt" against "C:\\a\\b\\c\\"
/// gives "../../x.txt".  Bytes compare case-sensitively and the separator
/// is the only separator.  When the two differ in their first byte or
/// before any separator the path is copied unchanged (result of that
/// copy).  0 for a null argument, a capacity of 0, a path that is a prefix
/// of base (or equal to it), or a result that did not fit.
int SalPathMakeRelative(char *out, size_t capacity, const char *path, const char *base);

/// Splits path by the rules of the runtime's _splitpath_s: drive ("C:"),
/// directory with its trailing separator, name, extension with its dot.
/// A null output with capacity 0 is skipped.  Returns 1; 0 for a null path,
/// a null output with a capacity or an output with capacity 0, and when a
/// part does not fit (every given output is then empty).  The string form
/// uses capacity 260 for each part; null string pointers are skipped.
int SalPathSplit(const char *path, char *drive, size_t driveCapacity, char *dir,
                 size_t dirCapacity, char *name, size_t nameCapacity, char *ext,
                 size_t extCapacity);
int SalPathSplit(const char *path, CCommonString *drive, CCommonString *dir, CCommonString *name,
                 CCommonString *ext);

#endif  // SAL_PATH_H
