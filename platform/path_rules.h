// path_rules.h - private: the path text rules with the separator as an
// argument.  Not installed.
//
// The public Sal path functions (platform/path.h) call these with the
// platform's separator.  Taking the separator as an argument lets the
// Windows rules ('\\', drive letters, names compared without regard to case)
// be tested on every machine, and the POSIX rules ('/') as well.
//
// With '\\' the rules are the Windows ones.  With '/' three rules follow the
// POSIX file system instead: a path that starts with '/' is full, directory
// names compare byte for byte, and Split knows '/' as its only separator.
// Everything else, drive letters included, stays a text rule.
#ifndef SAL_PATH_RULES_H
#define SAL_PATH_RULES_H

#include <cstddef>

namespace sal::path {

int IsFull(char sep, const char *path);
int IsRootPath(char sep, const char *path);
const char *FindLastSeparator(char sep, const char *path);

int GetDir(char sep, const char *path, char *out, size_t capacity);
int GetDrive(const char *path, char *out, size_t capacity);
int GetDirNoDrive(char sep, const char *path, char *out, size_t capacity);
int GetFileName(char sep, const char *path, char *out, size_t capacity);
int GetFileTitle(char sep, const char *path, char *out, size_t capacity);
int GetExtension(const char *path, char *out, size_t capacity);
int RemoveExtension(const char *path, char *out, size_t capacity);
int GetParentDir(char sep, const char *path, char *out, size_t capacity);

int SetExtension(char *buffer, size_t capacity, const char *extension);
int SetFileTitle(char sep, char *buffer, size_t capacity, const char *title);
int SetFileName(char sep, char *buffer, size_t capacity, const char *name);
int SetDirNoDrive(char sep, char *buffer, size_t capacity, const char *directory);
int SetDir(char sep, char *buffer, size_t capacity, const char *directory);
int SetDrive(char *buffer, size_t capacity, const char *drive);
char *AddSeparator(char sep, char *buffer, size_t capacity);
char *RemoveSeparator(char sep, char *buffer, size_t capacity);

int GetLastName(const char *path, char *out, size_t capacity);
const char *JoinLastTwoNames(const char *path, char *out, size_t capacity);
int IsSameDir(char sep, const char *pathA, const char *pathB);
/// currentDir is put in front of a relative path when no base is given;
/// null counts as empty.
int MakeFull(char sep, char *buffer, size_t capacity, const char *base, const char *currentDir);
int MakeRelative(char sep, char *out, size_t capacity, const char *path, const char *base);
int Split(char sep, const char *path, char *drive, size_t driveCapacity, char *dir,
          size_t dirCapacity, char *name, size_t nameCapacity, char *ext, size_t extCapacity);

}  // namespace sal::path

#endif  // SAL_PATH_RULES_H
