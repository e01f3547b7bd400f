// common_file.cpp - CCommonFile: line reads, inserting writes, byte removal
// and forward search over CSalFile.
#include "text/common_file.h"

#include <cstring>

#include "base/last_error.h"
#include "base/mem.h"
#include "base/sal_errors.h"

namespace {
constexpr uint32_t kFindChunk = 8192;       // bytes read per step of Find
constexpr uint32_t kMoveChunk = 64 * 1024;  // bytes moved per step of DeleteBytes
constexpr uint32_t kTransferStep = 1u << 30;  // largest single Read or Write of a tail

int Fail(uint32_t code) {
  SalSetLastError(code);
  return 0;
}

bool IsLineEnd(uint8_t c) { return c == '\r' || c == '\n'; }

bool IsWhiteSpace(uint8_t c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

uint8_t FoldAscii(uint8_t c) { return c >= 'A' && c <= 'Z' ? static_cast<uint8_t>(c + 32) : c; }

// Owns a MemAlloc block for the length of a scope.
struct ScopedBlock {
  void *p = nullptr;
  ~ScopedBlock() { MemFree(p); }
};

// Reads or writes count bytes at bytes in steps a single call can take:
// transfer(bytes, step) is one Read or Write.
template <typename Byte, typename Transfer>
bool TransferAll(Byte *bytes, int64_t count, Transfer transfer) {
  while (count > 0) {
    const uint32_t step = count > kTransferStep ? kTransferStep : static_cast<uint32_t>(count);
    if (!transfer(bytes, step)) return false;
    bytes += step;
    count -= step;
  }
  return true;
}
}  // namespace

CCommonFile::CCommonFile() = default;

CCommonFile::CCommonFile(const char *path) { (void)SetPath(path); }

CCommonFile::~CCommonFile() { access_ = 0; }

int CCommonFile::OpenPath(const char *path, uint32_t access, uint32_t creation, uint32_t share) {
  (void)SetPath(path);
  return Open(access, creation, share);
}

int CCommonFile::Open(uint32_t access, uint32_t creation, uint32_t share) {
  const int result = CSalFile::Open(access, creation, share);
  access_ = access;
  return result;
}

// ---- writing --------------------------------------------------------------

int CCommonFile::WriteAt(const void *buffer, uint32_t count, uint32_t placement, uint32_t *written) {
  if (written != nullptr) *written = 0;
  if (placement == COMMON_WRITE_INSERT) return InsertAt(buffer, count, written);
  if (placement == COMMON_WRITE_APPEND && !Seek(0, SAL_SEEK_END)) return 0;
  return Write(buffer, count, written);
}

int CCommonFile::InsertAt(const void *buffer, uint32_t count, uint32_t *written) {
  if (!IsOpen()) return Fail(kSalErrNoObject);
  if (buffer == nullptr) return Fail(kSalErrArgument);
  // Flushed first, so that the length below is the file's true length: a
  // failed length read as 0 would truncate away the whole tail.
  if (!Flush()) return 0;
  const int64_t position = Tell();
  const int64_t length = GetLength();
  const int64_t tail = length > position ? length - position : 0;

  ScopedBlock saved;
  if (!MemAlloc(&saved.p, tail, 1, "WriteAt")) return Fail(kCommonErrNoStorage);
  // The whole tail must be in memory before the file is cut: whatever did
  // not arrive would be lost by the truncation.
  const auto read = [this](uint8_t *bytes, uint32_t step) { return Read(bytes, step) != 0; };
  if (tail > 0 && !TransferAll(static_cast<uint8_t *>(saved.p), tail, read)) return 0;

  if (!Seek(position, SAL_SEEK_SET) || !Truncate()) return 0;
  uint32_t put = 0;
  const int appended = WriteAt(buffer, count, COMMON_WRITE_APPEND, &put);
  if (written != nullptr) *written = put;
  if (!appended) return 0;
  const auto write = [this](const uint8_t *bytes, uint32_t step) { return Write(bytes, step) != 0; };
  if (tail > 0 &&
      (!Seek(0, SAL_SEEK_END) || !TransferAll(static_cast<const uint8_t *>(saved.p), tail, write)))
    return 0;
  return Seek(position + count, SAL_SEEK_SET);
}

int CCommonFile::DeleteBytes(uint32_t count, uint32_t *removed) {
  if (removed != nullptr) *removed = 0;
  if (!IsOpen()) return Fail(kSalErrNoObject);
  if (!Flush()) return 0;
  const int64_t position = Tell();
  const int64_t length = GetLength();
  if (position + count > length) return 0;
  if (count == 0) return 1;

  ScopedBlock chunk;
  if (!MemAlloc(&chunk.p, kMoveChunk, 1, "DeleteBytes")) return Fail(kCommonErrNoStorage);
  uint8_t *bytes = static_cast<uint8_t *>(chunk.p);
  // Front to back: each chunk lands below where it was read, so no byte is
  // overwritten before it has been moved.
  int64_t from = position + count;
  int64_t to = position;
  while (from < length) {
    const uint32_t n = length - from > kMoveChunk ? kMoveChunk : static_cast<uint32_t>(length - from);
    if (!Seek(from, SAL_SEEK_SET) || !Read(bytes, n)) return 0;
    if (!Seek(to, SAL_SEEK_SET) || !Write(bytes, n)) return 0;
    from += n;
    to += n;
  }
  if (!Seek(to, SAL_SEEK_SET) || !Truncate() || !Seek(position, SAL_SEEK_SET)) return 0;
  if (removed != nullptr) *removed = count;
  return 1;
}

int CCommonFile::Clear() { return Seek(0, SAL_SEEK_SET) && Truncate() ? 1 : 0; }

// ---- reading ----------------------------------------------------------------

int CCommonFile::IsOpen() { return (GetState() & 1) != 0 ? 1 : 0; }

int CCommonFile::ReadByte(uint8_t *out) { return Read(out, 1); }

int CCommonFile::ReadLine(char *buffer, uint32_t capacity) {
  return ReadLineCore(buffer, capacity, false, nullptr);
}

int CCommonFile::ReadLineEx(char *buffer, uint32_t capacity, uint32_t *consumed) {
  return ReadLineCore(buffer, capacity, true, consumed);
}

// strict: only LF, CR or CRLF form a line end (ReadLineEx); otherwise any
// second CR or LF behind the first is taken with it (ReadLine).
int CCommonFile::ReadLineCore(char *buffer, uint32_t capacity, bool strict, uint32_t *consumed) {
  if (consumed != nullptr) *consumed = 0;
  if (buffer == nullptr || capacity < 2) return Fail(kSalErrArgument);
  buffer[0] = '\0';
  const int state = GetState();
  if ((state & 1) == 0) return Fail(kSalErrNoObject);
  if ((state & 2) != 0) return 0;

  uint32_t stored = 0;
  uint32_t taken = 0;
  int result = 0;  // stays 0 when the buffer fills before a line end
  while (stored < capacity - 1) {
    uint8_t c = 0;
    if (!Read(&c, 1)) {  // the file's end ends the line
      result = 1;
      break;
    }
    ++taken;
    if (!IsLineEnd(c)) {
      buffer[stored++] = static_cast<char>(c);
      continue;
    }
    result = 1;
    if (strict && c == '\n') break;
    // A line end that is the file's last byte still ends a complete line:
    // the line is delivered with 1 like any other, and the next call reports
    // the end.
    uint8_t next = 0;
    if (!Read(&next, 1)) break;
    const bool pairs = strict ? next == '\n' : IsLineEnd(next);
    if (pairs) {
      ++taken;
    } else if (!Seek(-1, SAL_SEEK_CUR)) {
      result = 0;
    }
    break;
  }
  buffer[stored] = '\0';
  if (consumed != nullptr) *consumed = taken;
  return result;
}

// ---- attributes ---------------------------------------------------------------

int CCommonFile::HasAttribute(uint32_t bits) {
  if (!Exists()) return 0;
  return (GetAttributes() & bits) == bits ? 1 : 0;
}

int CCommonFile::ChangeAttributes(uint32_t set, uint32_t clear) {
  if (set > 31 || clear > 31 || (set & clear) != 0) return Fail(kSalErrArgument);
  if (!Exists()) return 0;
  return SetAttributes((GetAttributes() | set) & ~clear);
}

// ---- search -------------------------------------------------------------------

int CCommonFile::Find(const char *pattern, bool fromCurrent, bool ignoreCase, bool skipWhiteSpace) {
  if (pattern == nullptr) return Fail(kCommonErrNullSearchArg);
  if (!IsOpen()) return Fail(kSalErrNoObject);
  const int64_t original = Tell();
  const int64_t start = fromCurrent ? original : 0;

  // The needle: the pattern as it is compared (folded, white space removed).
  const size_t rawLength = std::strlen(pattern);
  size_t m = 0;
  for (size_t i = 0; i < rawLength; ++i)
    if (!skipWhiteSpace || !IsWhiteSpace(static_cast<uint8_t>(pattern[i]))) ++m;
  if (m == 0) return Seek(start, SAL_SEEK_SET);

  // One block: file offsets of the last m compared bytes (a match that
  // passes over white space has no fixed length in the file), the
  // Knuth-Morris-Pratt table, then the needle.
  ScopedBlock work;
  ScopedBlock chunk;
  constexpr size_t kPerByte = sizeof(int64_t) + sizeof(uint32_t) + 1;
  if (!MemAlloc(&work.p, static_cast<int64_t>(m), kPerByte, "Find") ||
      !MemAlloc(&chunk.p, kFindChunk, 1, "Find"))
    return Fail(kCommonErrNoStorage);
  int64_t *offsets = static_cast<int64_t *>(work.p);
  uint32_t *fallback = reinterpret_cast<uint32_t *>(offsets + m);
  uint8_t *needle = reinterpret_cast<uint8_t *>(fallback + m);
  for (size_t i = 0, j = 0; i < rawLength; ++i) {
    const uint8_t c = static_cast<uint8_t>(pattern[i]);
    if (skipWhiteSpace && IsWhiteSpace(c)) continue;
    needle[j++] = ignoreCase ? FoldAscii(c) : c;
  }
  // fallback[i]: length of the longest proper prefix of needle that is also
  // a suffix of needle[0..i].
  fallback[0] = 0;
  for (size_t i = 1, k = 0; i < m; ++i) {
    while (k > 0 && needle[i] != needle[k]) k = fallback[k - 1];
    if (needle[i] == needle[k]) ++k;
    fallback[i] = static_cast<uint32_t>(k);
  }

  if (!Seek(start, SAL_SEEK_SET)) return 0;
  const uint8_t *bytes = static_cast<const uint8_t *>(chunk.p);
  int64_t base = start;
  uint64_t compared = 0;  // bytes compared so far (white space passed over excluded)
  size_t matched = 0;     // needle bytes matched by the latest compared bytes
  for (;;) {
    uint32_t got = 0;
    (void)Read(chunk.p, kFindChunk, &got);
    for (uint32_t i = 0; i < got; ++i) {
      uint8_t c = bytes[i];
      if (skipWhiteSpace && IsWhiteSpace(c)) continue;
      if (ignoreCase) c = FoldAscii(c);
      offsets[compared % m] = base + i;
      ++compared;
      while (matched > 0 && needle[matched] != c) matched = fallback[matched - 1];
      if (needle[matched] == c) ++matched;
      if (matched == m) return Seek(offsets[(compared - m) % m], SAL_SEEK_SET);
    }
    if (got < kFindChunk) break;
    base += got;
  }
  (void)Seek(original, SAL_SEEK_SET);
  return 0;
}

int CCommonFile::FindText(const char *pattern) { return Find(pattern, false, false, false); }

int CCommonFile::FindTextFromCurrent(const char *pattern) {
  return Find(pattern, true, false, false);
}

int CCommonFile::IsXmlFile() {
  CCommonFile probe;
  if (!probe.OpenPath(Path(), SAL_FILE_ACCESS_READ, SAL_FILE_OPEN_EXISTING,
                      SAL_FILE_SHARE_READ_WRITE))
    return 0;
  return probe.FindText("<?xml");
}
