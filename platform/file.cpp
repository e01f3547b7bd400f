// file.cpp - CSalFile: argument rules, byte-order-mark check and stream
// semantics shared by every OS; the OS calls are in {win32,posix}/file_os.cpp.
//
// Layout of this file:
//   1. the private record and small helpers
//   2. construction, path, open and close
//   3. transfers and positioning
//   4. path operations: attributes, rename, delete, times, version info
#include "platform/file.h"

#include <cstring>
#include <new>

#include "base/last_error.h"
#include "base/mem.h"
#include "base/sal_errors.h"
#include "base/text.h"
#include "platform/os/file_os.h"

// ---- 1. the private record ----------------------------------------------

namespace {
// Direction of the last transfer.  The C stream rules require a positioning
// call or a flush between a write and a following read (and the other way
// round); CSalFile inserts one when the direction changes, so callers can mix
// Read and Write freely.
enum : uint8_t { kOpNone = 0, kOpRead = 1, kOpWrite = 2 };
}  // namespace

struct CSalFileData {
  sal::os::FileHandle *stream;  // open buffered stream, null when closed
  char path[256];               // zero-terminated; empty after construction
  void *versionInfo;            // MemAlloc'd version-information block, or null
  uint8_t encoding;             // byte-order-mark check of the last open (SAL_ENCODING_*)
  uint8_t lastOp;               // kOpNone, kOpRead or kOpWrite: the last transfer
  uint8_t lastByte;             // last byte the latest Read delivered ...
  bool lastByteValid;           // ... while nothing else touched the stream since
};

namespace {
int Fail(uint32_t code) {
  SalSetLastError(code);
  return 0;
}

// Makes the stream ready for a transfer in direction op.  A relative seek by
// 0 is the standard's switch point; it also writes out pending output.
bool PrepareTransfer(CSalFileData *d, uint8_t op) {
  d->lastByteValid = false;
  if (d->lastOp != kOpNone && d->lastOp != op &&
      !sal::os::Seek(d->stream, 0, sal::os::Origin::kCurrent))
    return false;
  d->lastOp = op;
  return true;
}

// Writes out pending output only when there is some: a flush of a stream
// that was read empties its buffer, which would make every GetState of a
// line-reading loop refill it.
bool FlushIfWritten(CSalFileData *d) {
  if (d->lastOp != kOpWrite) return true;
  if (!sal::os::Flush(d->stream)) return false;
  d->lastOp = kOpNone;
  return true;
}

uint8_t ClassifyMark(const uint8_t (&head)[3]) {
  if (head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF) return SAL_ENCODING_UTF8;
  if (head[0] == 0xFF && head[1] == 0xFE) return SAL_ENCODING_UTF16LE;
  if (head[0] == 0xFE && head[1] == 0xFF) return SAL_ENCODING_UTF16BE;
  return SAL_ENCODING_NONE;
}

bool ToTimeKind(uint32_t kind, sal::os::TimeKind *out) {
  switch (kind) {
    case SAL_TIME_CREATION: *out = sal::os::TimeKind::kCreation; return true;
    case SAL_TIME_ACCESS: *out = sal::os::TimeKind::kAccess; return true;
    case SAL_TIME_WRITE: *out = sal::os::TimeKind::kWrite; return true;
    default: return false;
  }
}

bool HasText(const char *text) { return text != nullptr && *text != '\0'; }

// Read and Write: the argument rules, the switch of direction, then move
// (sal::os::Read or Write) of count bytes.  *done (when not null) and *moved
// get the bytes moved.  1 when all were.
template <typename Buffer>
int Transfer(CSalFileData *d, uint8_t op, size_t (*move)(sal::os::FileHandle *, Buffer *, size_t),
             Buffer *buffer, uint32_t count, uint32_t *done, size_t *moved) {
  *moved = 0;
  if (done != nullptr) *done = 0;
  if (d == nullptr || d->stream == nullptr) return Fail(kSalErrNoObject);
  if (buffer == nullptr) return Fail(kSalErrArgument);
  if (count == 0) return 1;
  if (!PrepareTransfer(d, op)) return 0;
  *moved = move(d->stream, buffer, count);
  if (done != nullptr) *done = static_cast<uint32_t>(*moved);
  return *moved == count ? 1 : 0;
}
}  // namespace

// ---- 2. construction, path, open and close -----------------------------

CSalFile::CSalFile() {
  // Not MemAlloc: the record is part of every file object, and the
  // allocation-failure hooks are meant for the buffers that follow the data.
  // A missing record makes every operation fail cleanly instead.
  data_ = new (std::nothrow) CSalFileData();
}

CSalFile::~CSalFile() {
  (void)Close();
  delete data_;
}

int CSalFile::SetPath(const char *path) {
  if (data_ == nullptr) return Fail(kSalErrNoObject);
  data_->path[0] = '\0';
  (void)BoundedCopy(data_->path, sizeof data_->path, path);
  return 1;
}

int CSalFile::GetPath(char *buffer, size_t capacity) const {
  (void)BoundedCopy(buffer, capacity, Path());
  return 1;
}

const char *CSalFile::Path() const { return data_ != nullptr ? data_->path : ""; }

int CSalFile::Open(uint32_t access, uint32_t creation, uint32_t share) {
  using sal::os::OpenMode;
  using sal::os::Share;
  OpenMode mode;
  if (access == SAL_FILE_ACCESS_READ && creation == SAL_FILE_OPEN_EXISTING) {
    mode = OpenMode::kRead;
  } else if (access == SAL_FILE_ACCESS_READ_WRITE &&
             (creation == SAL_FILE_OPEN_EXISTING || creation == SAL_FILE_OPEN_ALWAYS)) {
    mode = OpenMode::kReadWrite;
  } else if (access == SAL_FILE_ACCESS_READ_WRITE && creation == SAL_FILE_CREATE_NEW) {
    mode = OpenMode::kCreate;
  } else {
    return Fail(kSalErrArgument);
  }
  Share sharing;
  switch (share) {
    case SAL_FILE_SHARE_READ: sharing = Share::kDenyWrite; break;
    case SAL_FILE_SHARE_READ_WRITE: sharing = Share::kDenyNone; break;
    case SAL_FILE_SHARE_NONE: sharing = Share::kDenyAll; break;
    default: return Fail(kSalErrArgument);
  }
  if (data_ == nullptr || data_->path[0] == '\0') return Fail(kSalErrNoObject);

  // A stream still open would otherwise leak, together with the sharing it
  // holds, which could even deny this very open.
  if (data_->stream != nullptr) (void)Close();

  sal::os::FileHandle *stream = sal::os::OpenShared(data_->path, mode, sharing);
  if (stream == nullptr && creation == SAL_FILE_OPEN_ALWAYS)
    stream = sal::os::OpenShared(data_->path, OpenMode::kCreate, sharing);
  if (stream == nullptr) return 0;
  data_->stream = stream;
  data_->lastOp = kOpNone;
  data_->lastByteValid = false;

  // The mark is only looked at, never skipped: the first Read starts at 0.
  uint8_t head[3] = {0, 0, 0};
  if (sal::os::Read(stream, head, sizeof head) == sizeof head) data_->encoding = ClassifyMark(head);
  (void)sal::os::Seek(stream, 0, sal::os::Origin::kStart);
  return 1;
}

int CSalFile::Close() {
  if (data_ == nullptr) return 1;
  MemFree(data_->versionInfo);
  data_->versionInfo = nullptr;
  if (data_->stream == nullptr) return 1;
  // The runtime releases the stream even when closing reports an error
  // (pending output that could not be written), so it is forgotten either
  // way; keeping it would close freed memory later.
  const bool closed = sal::os::Close(data_->stream);
  data_->stream = nullptr;
  data_->lastOp = kOpNone;
  data_->lastByteValid = false;
  return closed ? 1 : 0;
}

// ---- 3. transfers and positioning --------------------------------------

int CSalFile::Read(void *buffer, uint32_t count, uint32_t *got) {
  size_t n = 0;
  const int result = Transfer(data_, kOpRead, sal::os::Read, buffer, count, got, &n);
  // The last byte delivered can be pushed back by Seek (the transfer
  // forgot the one before).
  if (n != 0) {
    data_->lastByteValid = true;
    data_->lastByte = static_cast<const uint8_t *>(buffer)[n - 1];
  }
  return result;
}

int CSalFile::Write(const void *buffer, uint32_t count, uint32_t *written) {
  size_t n = 0;
  return Transfer(data_, kOpWrite, sal::os::Write, buffer, count, written, &n);
}

int CSalFile::Seek(int64_t offset, uint8_t origin) {
  if (data_ == nullptr || data_->stream == nullptr) return Fail(kSalErrNoObject);
  sal::os::Origin from;
  switch (origin) {
    case SAL_SEEK_SET: from = sal::os::Origin::kStart; break;
    case SAL_SEEK_CUR: from = sal::os::Origin::kCurrent; break;
    case SAL_SEEK_END: from = sal::os::Origin::kEnd; break;
    default: return 0;  // an unknown origin is no caller fault worth a code
  }
  // Stepping back over the byte just read (line readers do it at every line
  // end) pushes that byte back instead: on some runtimes any seek empties the
  // stream buffer, and refilling 64 KiB per line would dominate the reading.
  if (from == sal::os::Origin::kCurrent && offset == -1 && data_->lastByteValid) {
    data_->lastByteValid = false;
    if (sal::os::Unread(data_->stream, data_->lastByte)) return 1;
  }
  data_->lastByteValid = false;
  if (!sal::os::Seek(data_->stream, offset, from)) return 0;
  data_->lastOp = kOpNone;
  return 1;
}

int64_t CSalFile::Tell() {
  if (data_ == nullptr || data_->stream == nullptr) return Fail(kSalErrNoObject);
  const int64_t pos = sal::os::Tell(data_->stream);
  return pos < 0 ? 0 : pos;
}

int CSalFile::Flush() {
  if (data_ == nullptr || data_->stream == nullptr) return Fail(kSalErrNoObject);
  data_->lastByteValid = false;
  if (!sal::os::Flush(data_->stream)) return 0;
  data_->lastOp = kOpNone;
  return 1;
}

int64_t CSalFile::GetLength() {
  if (data_ == nullptr || data_->stream == nullptr) return Fail(kSalErrNoObject);
  // The length is read from the system, which leaves the stream position
  // where it was; only output still in the buffer has to go out first.
  if (!FlushIfWritten(data_)) return 0;
  const int64_t length = sal::os::Length(data_->stream);
  return length < 0 ? 0 : length;
}

int CSalFile::GetState() {
  if (data_ == nullptr || data_->stream == nullptr) return 0;
  int state = 1;
  if (sal::os::AtEnd(data_->stream)) return state | 2;
  if (FlushIfWritten(data_)) {
    const int64_t pos = sal::os::Tell(data_->stream);
    const int64_t length = sal::os::Length(data_->stream);
    if (pos >= 0 && pos == length) state |= 2;
  }
  return state;
}

int CSalFile::IsEof() {
  if (data_ == nullptr || data_->stream == nullptr) return Fail(kSalErrNoObject);
  return (GetState() & 2) != 0 ? 1 : 0;
}

int CSalFile::Truncate() {
  if (data_ == nullptr || data_->stream == nullptr) return Fail(kSalErrNoObject);
  data_->lastByteValid = false;
  const int64_t pos = sal::os::Tell(data_->stream);
  if (pos < 0 || !sal::os::Flush(data_->stream)) return 0;
  data_->lastOp = kOpNone;
  if (!sal::os::Truncate(data_->stream, pos)) return 0;
  // Re-anchor the stream at the new end so that nothing read ahead from the
  // removed part can come back.
  return sal::os::Seek(data_->stream, pos, sal::os::Origin::kStart) ? 1 : 0;
}

int CSalFile::Printf(const char *format, ...) {
  SAL_RETURN_VA_CALL(args, format, VPrintf(format, args));
}

int CSalFile::VPrintf(const char *format, va_list args) {
  if (data_ == nullptr || data_->stream == nullptr) return Fail(kSalErrNoObject);
  if (format == nullptr) return Fail(kSalErrArgument);
  if (!PrepareTransfer(data_, kOpWrite)) return 0;
  return sal::os::VPrintf(data_->stream, format, args) ? 1 : 0;
}

intptr_t CSalFile::GetOsHandle() const {
  if (data_ == nullptr || data_->stream == nullptr) return -1;
  return sal::os::OsHandle(data_->stream);
}

uint8_t CSalFile::GetEncoding() const { return data_ != nullptr ? data_->encoding : 0; }

// ---- 4. path operations ---------------------------------------------------

int CSalFile::Exists() const {
  uint32_t bits = 0;
  return HasText(Path()) && sal::os::GetAttributes(Path(), &bits) ? 1 : 0;
}

uint32_t CSalFile::GetAttributes() const {
  uint32_t bits = 0;
  if (!HasText(Path()) || !sal::os::GetAttributes(Path(), &bits)) return 0;
  return bits;
}

int CSalFile::SetAttributes(uint32_t bits) {
  uint32_t current = 0;
  if (!HasText(Path()) || !sal::os::GetAttributes(Path(), &current)) return 0;
  // Archive is only ever added: an archive attribute already set stays.
  const uint32_t clear = SAL_ATTR_READONLY | SAL_ATTR_HIDDEN | SAL_ATTR_SYSTEM;
  const uint32_t set =
      bits & (SAL_ATTR_ARCHIVE | SAL_ATTR_HIDDEN | SAL_ATTR_READONLY | SAL_ATTR_SYSTEM);
  return sal::os::ChangeAttributes(Path(), clear, set) ? 1 : 0;
}

int CSalFile::Rename(const char *newPath) {
  if (!HasText(Path())) return Fail(kSalErrNoObject);
  if (!HasText(newPath)) return Fail(kSalErrArgument);
  // A name the path field cannot hold would leave the object pointing at a
  // cut name after the file itself was renamed.
  if (std::strlen(newPath) >= sizeof data_->path) return Fail(kSalErrArgument);
  if (!sal::os::Rename(Path(), newPath)) return 0;
  return SetPath(newPath);
}

int CSalFile::Delete() {
  if (!Close()) return 0;
  if (!HasText(Path())) return Fail(kSalErrNoObject);
  return sal::os::Remove(Path()) ? 1 : 0;
}

int CSalFile::GetFileTimeSeconds(uint32_t kind, int64_t *seconds) const {
  if (seconds != nullptr) *seconds = 0;
  if (!HasText(Path())) return Fail(kSalErrNoObject);
  sal::os::TimeKind which;
  if (!ToTimeKind(kind, &which)) return Fail(kSalErrArgument);
  int64_t ticks = 0;
  if (!sal::os::GetFileTime(Path(), which, &ticks)) return 0;
  const int64_t value = ticks / 10000000;
  if (seconds != nullptr) *seconds = value;
  return value > 0 ? 1 : 0;
}

const void *CSalFile::LoadVersionInfo() {
  if (data_ == nullptr) return nullptr;
  MemFree(data_->versionInfo);
  data_->versionInfo = nullptr;
  if (data_->path[0] == '\0') {
    SalSetLastError(kSalErrNoObject);
    return nullptr;
  }
  const uint32_t size = sal::os::VersionInfoSize(data_->path);
  if (size == 0) return nullptr;
  void *block = nullptr;
  if (!MemAlloc(&block, size, 1, "LoadVersionInfo")) return nullptr;
  const void *root = nullptr;
  if (sal::os::LoadVersionInfo(data_->path, block, size)) root = sal::os::VersionInfoRoot(block);
  if (root == nullptr) {
    MemFree(block);
    return nullptr;
  }
  data_->versionInfo = block;
  return root;
}

int CSalFile::CopyFile(const char *source, const char *target, bool failIfExists) {
  if (!HasText(source) || !HasText(target)) return Fail(kSalErrArgument);
  return sal::os::CopyFileTo(source, target, failIfExists) ? 1 : 0;
}

int CSalFile::CompareFileTimes(uint32_t kind, const char *pathA, const char *pathB) {
  sal::os::TimeKind which;
  if (!ToTimeKind(kind, &which) || !HasText(pathA) || !HasText(pathB)) return -1;
  int64_t a = 0;
  int64_t b = 0;
  if (!sal::os::GetFileTime(pathA, which, &a) || !sal::os::GetFileTime(pathB, which, &b))
    return -1;
  // Full resolution: two files written within the same second still order.
  return a < b ? -1 : (a > b ? 1 : 0);
}
