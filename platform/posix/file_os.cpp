// posix/file_os.cpp - CSalFile's streams, sharing and path calls on POSIX.
// Implementation here must contain only POSIX code; the one Linux feature,
// open-file-description locks, is used where the system has it.
//
// Sharing: Windows decides at open whether two openers' access and sharing
// fit.  Here every opener takes shared (read) record locks on sentinel
// bytes far beyond any file data: one byte per kind of access it uses
// ("access-read", "access-write") and one per kind it denies ("deny-read",
// "deny-write").  An opener is refused when another open file description
// holds a deny byte for what it wants to access, or an access byte for what
// it wants to deny.  Locks of open file descriptions (F_OFD_*) belong to the
// stream, not to the process, so two opens inside one process exclude each
// other as they do on Windows, and closing the stream drops them.  These are
// advisory: they bind openers that use this library.
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <new>

#include "platform/os/file_os.h"

namespace sal::os {

struct FileHandle {
  FILE *stream;  // the buffered stream over fd
  int fd;        // descriptor of the stream, owner of the sharing locks
};

namespace {
// Own attribute bits (see platform/file.h).
constexpr uint32_t kHidden = 2, kReadOnly = 4, kDirectory = 16;

// ---- sharing locks --------------------------------------------------------

// Sentinel bytes, 4 GiB below the largest offset: no file gets there.
constexpr off_t kLockBase = static_cast<off_t>(INT64_MAX - 0xFFFFFFFFLL);
enum Slot { kAccessRead = 0, kAccessWrite = 1, kDenyRead = 2, kDenyWrite = 3 };

#ifdef F_OFD_SETLK
flock LockRecord(Slot slot, short type) {
  flock lk;
  std::memset(&lk, 0, sizeof lk);
  lk.l_type = type;
  lk.l_whence = SEEK_SET;
  lk.l_start = kLockBase + slot;
  lk.l_len = 1;
  lk.l_pid = 0;  // required for open-file-description locks
  return lk;
}

int Fcntl(int fd, int cmd, flock *lk) {
  int rc;
  do rc = fcntl(fd, cmd, lk);
  while (rc == -1 && errno == EINTR);
  return rc;
}

// Whether another open file description holds a lock on slot.
bool HeldByOther(int fd, Slot slot, bool *held) {
  flock lk = LockRecord(slot, F_WRLCK);
  if (Fcntl(fd, F_OFD_GETLK, &lk) == -1) return false;
  *held = lk.l_type != F_UNLCK;
  return true;
}

bool SetLock(int fd, Slot slot, short type, int cmd) {
  flock lk = LockRecord(slot, type);
  return Fcntl(fd, cmd, &lk) != -1;
}

// Errors meaning "this file system (or file) keeps no such locks".
bool LocksUnsupported(int error) {
  return error == EINVAL || error == ENOLCK || error == EOPNOTSUPP || error == ENOTSUP;
}

// Takes this opener's locks, then checks them against the openers already
// there.  Taking before checking needs no exclusive guard (a read-only
// descriptor may not hold a write lock): of two openers racing with
// conflicting wishes, the later checker always sees the other's locks, so
// both may fail but never both succeed.  False with errno EBUSY on a sharing
// violation; on a file system without these locks the sharing has no effect.
bool TakeSharing(int fd, bool write, Share share) {
  const bool denyRead = share == Share::kDenyAll;
  const bool denyWrite = share != Share::kDenyNone;
  struct Need {
    bool wanted;
    Slot own;          // taken by this opener
    Slot conflicting;  // a lock of another opener there refuses this open
  } needs[] = {{true, kAccessRead, kDenyRead},
               {write, kAccessWrite, kDenyWrite},
               {denyRead, kDenyRead, kAccessRead},
               {denyWrite, kDenyWrite, kAccessWrite}};
  for (const Need &n : needs)
    if (n.wanted && !SetLock(fd, n.own, F_RDLCK, F_OFD_SETLK)) return LocksUnsupported(errno);
  for (const Need &n : needs) {
    bool held = false;
    if (!n.wanted) continue;
    if (!HeldByOther(fd, n.conflicting, &held)) return LocksUnsupported(errno);
    if (held) {
      // The caller closes the descriptor, which drops the locks taken above.
      errno = EBUSY;
      return false;
    }
  }
  return true;
}
#else
// Without open-file-description locks the sharing is validated by the caller
// and has no further effect.
bool TakeSharing(int, bool, Share) { return true; }
#endif

int OpenDescriptor(const char *path, int flags, mode_t mode) {
  int fd;
  do fd = open(path, flags | O_CLOEXEC, mode);
  while (fd == -1 && errno == EINTR);
  return fd;
}

void CloseKeepingErrno(int fd) {
  const int saved = errno;
  (void)close(fd);
  errno = saved;
}

// The last component of path, without trailing separators.
void LastComponent(const char *path, const char **start, size_t *length) {
  size_t end = std::strlen(path);
  while (end > 1 && path[end - 1] == '/') --end;
  size_t begin = end;
  while (begin > 0 && path[begin - 1] != '/') --begin;
  *start = path + begin;
  *length = end - begin;
}

int64_t Ticks(const timespec &t) {
  return static_cast<int64_t>(t.tv_sec) * 10000000 + t.tv_nsec / 100;
}
}  // namespace

// ---- streams ----------------------------------------------------------------

FileHandle *OpenShared(const char *path, OpenMode mode, Share share) {
  int flags = O_RDONLY;
  if (mode == OpenMode::kReadWrite) flags = O_RDWR;
  // No O_TRUNC: an existing file is emptied only once the sharing allows it.
  if (mode == OpenMode::kCreate) flags = O_RDWR | O_CREAT;
  const int fd = OpenDescriptor(path, flags, 0666);
  if (fd == -1) return nullptr;

  struct stat st;
  if (fstat(fd, &st) != 0) {
    CloseKeepingErrno(fd);
    return nullptr;
  }
  if (S_ISDIR(st.st_mode)) {  // Windows refuses to open a folder as a file
    CloseKeepingErrno(fd);
    errno = EISDIR;
    return nullptr;
  }
  if (!TakeSharing(fd, mode != OpenMode::kRead, share)) {
    CloseKeepingErrno(fd);
    return nullptr;
  }
  if (mode == OpenMode::kCreate && S_ISREG(st.st_mode) && st.st_size != 0 &&
      ftruncate(fd, 0) != 0) {
    CloseKeepingErrno(fd);
    return nullptr;
  }

  FileHandle *file = new (std::nothrow) FileHandle;
  if (file == nullptr) {
    CloseKeepingErrno(fd);
    errno = ENOMEM;
    return nullptr;
  }
  // fdopen with "w+" does not truncate; the descriptor is already set up.
  file->stream = fdopen(fd, mode == OpenMode::kRead ? "rb" : "r+b");
  if (file->stream == nullptr) {
    CloseKeepingErrno(fd);
    delete file;
    return nullptr;
  }
  file->fd = fd;
  return file;
}

bool Close(FileHandle *file) {
  // fclose releases the stream and the descriptor (and with it the sharing
  // locks) whatever it reports.
  const bool ok = fclose(file->stream) == 0;
  delete file;
  return ok;
}

size_t Read(FileHandle *file, void *dest, size_t count) {
  // The stream belongs to one thread at a time: no per-call stream lock.
  return fread_unlocked(dest, 1, count, file->stream);
}

size_t Write(FileHandle *file, const void *source, size_t count) {
  return fwrite_unlocked(source, 1, count, file->stream);
}

bool Unread(FileHandle *file, unsigned char byte) { return ungetc(byte, file->stream) != EOF; }

bool Seek(FileHandle *file, int64_t offset, Origin origin) {
  const int whence = origin == Origin::kStart ? SEEK_SET : origin == Origin::kCurrent ? SEEK_CUR : SEEK_END;
  return fseeko(file->stream, static_cast<off_t>(offset), whence) == 0;
}

int64_t Tell(FileHandle *file) { return ftello(file->stream); }

bool Flush(FileHandle *file) { return fflush(file->stream) == 0; }

bool AtEnd(FileHandle *file) { return feof(file->stream) != 0; }

int64_t Length(FileHandle *file) {
  struct stat st;
  if (fstat(file->fd, &st) != 0) return -1;
  return st.st_size;
}

bool Truncate(FileHandle *file, int64_t length) {
  return ftruncate(file->fd, static_cast<off_t>(length)) == 0;
}

bool VPrintf(FileHandle *file, const char *format, va_list args) {
  return vfprintf(file->stream, format, args) >= 0;
}

intptr_t OsHandle(FileHandle *file) { return file->fd; }

// ---- paths --------------------------------------------------------------------

bool GetAttributes(const char *path, uint32_t *bits) {
  struct stat st;
  if (lstat(path, &st) != 0) return false;
  uint32_t own = 0;
  if (S_ISDIR(st.st_mode)) own |= kDirectory;
  if ((st.st_mode & S_IWUSR) == 0) own |= kReadOnly;
  const char *name = nullptr;
  size_t length = 0;
  LastComponent(path, &name, &length);
  const bool dotEntry = (length == 1 && name[0] == '.') ||
                        (length == 2 && name[0] == '.' && name[1] == '.');
  if (length > 0 && name[0] == '.' && !dotEntry) own |= kHidden;
  *bits = own;
  return true;
}

bool ChangeAttributes(const char *path, uint32_t clear, uint32_t set) {
  // Only read-only maps onto the mode bits.  Hidden follows from the name,
  // and there is no archive or system attribute, so those requests have
  // nothing to change and succeed.
  if (((clear | set) & kReadOnly) == 0) return true;
  struct stat st;
  if (stat(path, &st) != 0) return false;
  mode_t mode = st.st_mode & 07777;
  if (set & kReadOnly)
    mode &= static_cast<mode_t>(~(S_IWUSR | S_IWGRP | S_IWOTH));
  else
    mode |= S_IWUSR;
  if (mode == (st.st_mode & 07777)) return true;
  return chmod(path, mode) == 0;
}

bool Rename(const char *from, const char *to) {
  // rename(2) replaces an existing target; Windows' MoveFile refuses, and a
  // silent replacement would lose that file.
#ifdef RENAME_NOREPLACE
  if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
#endif
  struct stat st;
  if (lstat(to, &st) == 0) {
    errno = EEXIST;
    return false;
  }
  return rename(from, to) == 0;
}

bool Remove(const char *path) { return unlink(path) == 0; }

bool CopyFileTo(const char *source, const char *target, bool failIfExists) {
  const int in = OpenDescriptor(source, O_RDONLY, 0);
  if (in == -1) return false;
  struct stat st;
  if (fstat(in, &st) != 0 || S_ISDIR(st.st_mode)) {
    if (S_ISDIR(st.st_mode)) errno = EISDIR;
    CloseKeepingErrno(in);
    return false;
  }
  // Truncated only after checking that the target is not the source itself,
  // which truncation would empty.
  const int out = OpenDescriptor(target, O_WRONLY | O_CREAT | (failIfExists ? O_EXCL : 0),
                                 st.st_mode & 0777);
  if (out == -1) {
    CloseKeepingErrno(in);
    return false;
  }
  struct stat outSt;
  bool ok = fstat(out, &outSt) == 0;
  if (ok && outSt.st_dev == st.st_dev && outSt.st_ino == st.st_ino) {
    errno = EBUSY;
    ok = false;
  }
  if (ok) ok = ftruncate(out, 0) == 0;
  static const size_t kChunk = 64 * 1024;
  char *chunk = ok ? new (std::nothrow) char[kChunk] : nullptr;
  if (ok && chunk == nullptr) {
    errno = ENOMEM;
    ok = false;
  }
  while (ok) {
    const ssize_t got = read(in, chunk, kChunk);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    for (ssize_t done = 0; ok && done < got;) {
      const ssize_t put = write(out, chunk + done, static_cast<size_t>(got - done));
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) ok = false;
      else done += put;
    }
  }
  delete[] chunk;
  if (ok) {
    // As Windows' CopyFile: the copy keeps the source's last write time.
    const timespec times[2] = {{0, UTIME_NOW}, st.st_mtim};
    (void)futimens(out, times);
  }
  if (close(out) != 0) ok = false;
  CloseKeepingErrno(in);
  return ok;
}

bool GetFileTime(const char *path, TimeKind kind, int64_t *ticks) {
  struct stat st;
  if (stat(path, &st) != 0) return false;
  switch (kind) {
    // POSIX keeps no creation time; the status-change time is the closest it
    // has (it is also updated by chmod, rename and writes).
    case TimeKind::kCreation: *ticks = Ticks(st.st_ctim); break;
    case TimeKind::kAccess: *ticks = Ticks(st.st_atim); break;
    case TimeKind::kWrite: *ticks = Ticks(st.st_mtim); break;
  }
  return true;
}

// POSIX files carry no version resources.
uint32_t VersionInfoSize(const char *) { return 0; }
bool LoadVersionInfo(const char *, void *, uint32_t) { return false; }
const void *VersionInfoRoot(const void *) { return nullptr; }

}  // namespace sal::os
