// posix/directory_os.cpp - searches, attributes and directory calls on POSIX.
// Implementation here must contain only POSIX code.
//
// A search is opendir/readdir over the directory part of the search text,
// with fnmatch on each name.  The entries come in readdir's order, "." and
// ".." included, as FindFirstFile gives them on Windows.  Attributes are
// the Windows bits, from fstatat without following links:
//   directory 16      a directory (a link to one is not)
//   read-only 1       the owner may not write the entry
//   hidden 2          the name starts with a dot ("." and ".." excepted)
//   reparse 0x400     a symbolic link
//   normal 0x80       a file with none of the above
// There is no archive or system attribute.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <new>

#include "platform/os/directory_os.h"

namespace sal::os {

struct FindHandle {
  DIR *dir;
  char pattern[260];  // the name pattern, as fnmatch takes it
};

namespace {
constexpr uint32_t kReadOnly = 0x1, kHidden = 0x2, kDirectory = 0x10, kNormal = 0x80,
                   kReparsePoint = 0x400;

// 100-nanosecond ticks from 1601-01-01 to 1970-01-01.
constexpr uint64_t kEpochTicks = 116444736000000000ULL;

uint64_t Ticks(const timespec &t) {
  if (t.tv_sec < 0) return 0;
  return kEpochTicks + static_cast<uint64_t>(t.tv_sec) * 10000000ULL +
         static_cast<uint64_t>(t.tv_nsec) / 100;
}

bool IsDotName(const char *name, size_t length) {
  return (length == 1 && name[0] == '.') || (length == 2 && name[0] == '.' && name[1] == '.');
}

uint32_t Attributes(const struct stat &st, const char *name, size_t nameLength) {
  uint32_t bits = 0;
  if (S_ISDIR(st.st_mode)) bits |= kDirectory;
  if (S_ISLNK(st.st_mode)) {
    bits |= kReparsePoint;  // a link's own mode says nothing about writing
  } else if ((st.st_mode & S_IWUSR) == 0) {
    bits |= kReadOnly;
  }
  if (nameLength > 0 && name[0] == '.' && !IsDotName(name, nameLength)) bits |= kHidden;
  if (bits == 0) bits = kNormal;
  return bits;
}

// The last name of path, trailing slashes skipped.
void LastName(const char *path, const char **name, size_t *length) {
  size_t end = std::strlen(path);
  while (end > 1 && path[end - 1] == '/') --end;
  size_t begin = end;
  while (begin > 0 && path[begin - 1] != '/') --begin;
  *name = path + begin;
  *length = end - begin;
}

// Windows matches "*.*" against every name, with or without a dot.
const char *WindowsPattern(const char *pattern) {
  return std::strcmp(pattern, "*.*") == 0 ? "*" : pattern;
}

// Reads on to the next entry matching the handle's pattern.  An entry that
// vanishes between readdir and fstatat is skipped.
bool NextMatch(FindHandle *h, FindData *data) {
  for (;;) {
    errno = 0;
    const dirent *entry = readdir(h->dir);
    if (entry == nullptr) {
      if (errno == 0) errno = ENOENT;
      return false;
    }
    // No escape character in Windows patterns: a backslash is a name byte.
    if (fnmatch(h->pattern, entry->d_name, FNM_NOESCAPE) != 0) continue;
    const size_t length = std::strlen(entry->d_name);
    if (length >= sizeof data->name) continue;
    struct stat st;
    if (fstatat(dirfd(h->dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    data->attributes = Attributes(st, entry->d_name, length);
    data->creationTime = Ticks(st.st_ctim);  // POSIX keeps no creation time
    data->accessTime = Ticks(st.st_atim);
    data->writeTime = Ticks(st.st_mtim);
    data->size = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
    std::memcpy(data->name, entry->d_name, length + 1);
    return true;
  }
}
}  // namespace

FindHandle *OpenFind(const char *spec, FindData *data) {
  const char *slash = std::strrchr(spec, '/');
  const char *pattern = slash != nullptr ? slash + 1 : spec;
  char dirPath[4096];
  if (slash == nullptr) {
    std::strcpy(dirPath, ".");
  } else if (slash == spec) {
    std::strcpy(dirPath, "/");
  } else {
    const size_t length = static_cast<size_t>(slash - spec);
    if (length >= sizeof dirPath) {
      errno = ENAMETOOLONG;
      return nullptr;
    }
    std::memcpy(dirPath, spec, length);
    dirPath[length] = '\0';
  }
  const char *windows = WindowsPattern(pattern);
  if (std::strlen(windows) >= sizeof FindHandle::pattern) {
    errno = ENAMETOOLONG;
    return nullptr;
  }

  FindHandle *h = new (std::nothrow) FindHandle;
  if (h == nullptr) {
    errno = ENOMEM;
    return nullptr;
  }
  std::strcpy(h->pattern, windows);
  h->dir = opendir(dirPath);
  if (h->dir == nullptr) {
    delete h;
    return nullptr;
  }
  if (!NextMatch(h, data)) {
    const int error = errno;
    closedir(h->dir);
    delete h;
    errno = error;
    return nullptr;
  }
  return h;
}

bool NextFind(FindHandle *handle, FindData *data) { return NextMatch(handle, data); }

bool CloseFind(FindHandle *handle) {
  // closedir releases the stream also when it reports an error.
  const bool ok = closedir(handle->dir) == 0;
  delete handle;
  return ok;
}

bool PathAttributes(const char *path, uint32_t *attributes) {
  struct stat st;
  if (path == nullptr || path[0] == '\0' || lstat(path, &st) != 0) return false;
  const char *name = nullptr;
  size_t length = 0;
  LastName(path, &name, &length);
  *attributes = Attributes(st, name, length);
  return true;
}

bool WriteAttributesBack(const char *path, uint32_t) {
  // chmod of a directory the process does not own fails even where the
  // process may write into it (/tmp), so writing the attributes back is
  // answered by the question it stands for: may the process change it.
  return access(path, W_OK) == 0;
}

MakeDirResult MakeDir(const char *path) {
  if (mkdir(path, 0777) == 0) return MakeDirResult::kCreated;
  return errno == EEXIST ? MakeDirResult::kExists : MakeDirResult::kFailed;
}

bool RemoveDir(const char *path) {
  struct stat st;
  if (lstat(path, &st) != 0) return false;
  if (S_ISLNK(st.st_mode)) return unlink(path) == 0;  // a link to a directory: the link
  if (S_ISDIR(st.st_mode) && (st.st_mode & S_IWUSR) == 0) {
    errno = EACCES;  // read-only, which Windows refuses to remove
    return false;
  }
  return rmdir(path) == 0;
}

bool RemoveFile(const char *path) {
  struct stat st;
  if (lstat(path, &st) != 0) return false;
  if (S_ISDIR(st.st_mode)) {
    errno = EISDIR;
    return false;
  }
  if (!S_ISLNK(st.st_mode) && (st.st_mode & S_IWUSR) == 0) {
    errno = EACCES;  // read-only, which Windows refuses to delete
    return false;
  }
  return unlink(path) == 0;
}

bool CurrentDir(char *buffer, size_t capacity) { return getcwd(buffer, capacity) != nullptr; }

bool ChangeDir(const char *path) { return chdir(path) == 0; }

}  // namespace sal::os
