// path.cpp - the path text rules, written once for every platform, and the
// public Sal path functions over them with the platform's separator.
//
// Layout of this file:
//   1. character helpers (whole characters of the ANSI code page)
//   2. the rules, separator as an argument (sal::path, see path_rules.h)
//   3. the public functions: buffer, CCommonString and by-value forms
#include "platform/path.h"

#include <cstdint>
#include <cstring>

#include "base/code_page.h"
#include "base/text.h"
#include "platform/directory.h"
#include "platform/path_rules.h"

// ---- 1. character helpers -----------------------------------------------

namespace {
constexpr size_t kNone = static_cast<size_t>(-1);

inline bool IsSlash(char c) { return c == '\\' || c == '/'; }

inline int FoldAscii(int c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

// The separators a rule knows: the separator alone, or both slashes.
struct Seps {
  char a, b;
  bool Has(char c) const { return c == a || c == b; }
};
inline Seps Only(char sep) { return {sep, sep}; }
inline Seps Both() { return {'\\', '/'}; }

// Index of the last single-byte character of text[0, end) that is one of
// seps; kNone when there is none.  Walking forwards from the start is what
// tells a trail byte from a character of its own.
size_t LastOf(const char *text, size_t end, Seps seps) {
  const uint8_t *leads = SalLeadByteTable();
  size_t found = kNone;
  for (size_t i = 0; i < end;) {
    const size_t len = SalCharLength(leads, text + i);
    if (len == 1 && seps.Has(text[i])) found = i;
    i += len;
  }
  return found;
}

// Index where the last character of text[0, end) starts; kNone for end 0.
size_t LastCharStart(const char *text, size_t end) {
  const uint8_t *leads = SalLeadByteTable();
  size_t last = kNone;
  for (size_t i = 0; i < end;) {
    last = i;
    i += SalCharLength(leads, text + i);
  }
  return last;
}

// Whether text[0, end) ends with a single-byte character in seps.
bool EndsWithSep(const char *text, size_t end, Seps seps) {
  const size_t last = LastCharStart(text, end);
  return last != kNone && last == end - 1 && seps.Has(text[last]);
}

// Copies the whole characters of src[0, n) that fit into capacity - 1 bytes
// and terminates; returns the bytes copied.  out must hold capacity >= 1.
size_t CopySpan(char *out, size_t capacity, const char *src, size_t n) {
  const uint8_t *leads = SalLeadByteTable();
  size_t i = 0;
  while (i < n) {
    const size_t len = SalCharLength(leads, src + i);
    if (i + len > n || i + len > capacity - 1) break;
    i += len;
  }
  std::memmove(out, src, i);
  out[i] = '\0';
  return i;
}

// Clears out when it can be written; true when the arguments allow a result.
bool Begin(const char *path, char *out, size_t capacity) {
  if (out != nullptr && capacity != 0) out[0] = '\0';
  return path != nullptr && out != nullptr && capacity != 0;
}

bool IsDotName(const char *s, size_t n) {
  return (n == 1 && s[0] == '.') || (n == 2 && s[0] == '.' && s[1] == '.');
}

// Length of a buffer's text, at most capacity (no terminator inside it).
size_t TextIn(const char *buffer, size_t capacity) { return strnlen(buffer, capacity); }

// A span [start, start + length) of a text.
struct Span {
  size_t start, length;
};

Span DirSpan(char sep, const char *path, size_t len) {
  const size_t s = LastOf(path, len, Only(sep));
  return s == kNone ? Span{0, 0} : Span{0, s + 1};
}

Span DriveSpan(const char *path, size_t len) {
  return (len >= 2 && path[1] == ':') ? Span{0, 2} : Span{0, 0};
}

Span FileNameSpan(char sep, const char *path, size_t len) {
  if (IsDotName(path, len)) return {0, 0};
  const size_t s = LastOf(path, len, Only(sep));
  const size_t start = s == kNone ? 0 : s + 1;
  if (IsDotName(path + start, len - start)) return {0, 0};
  return {start, len - start};
}

// The last dot of text[0, len), kNone when there is none.
size_t LastDot(const char *text, size_t len) { return LastOf(text, len, {'.', '.'}); }

// Appends the span of src to s.
bool AppendSpan(CCommonString &s, const char *src, Span span) {
  return span.length == 0 || s.Append(src + span.start, static_cast<uint32_t>(span.length)) != 0;
}

// Writes a composed text into buffer, bounded; returns the bytes written.
int Store(char *buffer, size_t capacity, const CCommonString &s) {
  size_t copied = 0;
  (void)BoundedCopy(buffer, capacity, s.CStr(), &copied);
  return static_cast<int>(copied);
}
}  // namespace

// ---- 2. the rules ---------------------------------------------------------

namespace sal::path {

int IsFull(char sep, const char *path) {
  if (path == nullptr) return 0;
  const char colonSep[3] = {':', sep, '\0'};
  const char twoSeps[3] = {sep, sep, '\0'};
  if (SafeStrStr(path, colonSep) != nullptr || SafeStrStr(path, twoSeps) != nullptr) return 1;
  // On POSIX the only full paths are the rooted ones.
  return (sep == '/' && path[0] == '/') ? 1 : 0;
}

int IsRootPath(char sep, const char *path) {
  if (path == nullptr || path[0] == '\0') return 0;
  const size_t len = std::strlen(path);
  const size_t s = LastOf(path, len, Only(sep));
  if (s == kNone || s != len - 1) return 0;
  if (s == 0) return 1;                       // a lone separator
  return path[s - 1] == ':' ? 1 : 0;          // a drive root such as C:\ .
}

const char *FindLastSeparator(char sep, const char *path) {
  if (path == nullptr) return nullptr;
  const size_t s = LastOf(path, std::strlen(path), {sep, ':'});
  return s == kNone ? nullptr : path + s;
}

int GetDir(char sep, const char *path, char *out, size_t capacity) {
  if (!Begin(path, out, capacity)) return 0;
  const Span d = DirSpan(sep, path, std::strlen(path));
  return static_cast<int>(CopySpan(out, capacity, path + d.start, d.length));
}

int GetDrive(const char *path, char *out, size_t capacity) {
  if (!Begin(path, out, capacity)) return 0;
  const Span d = DriveSpan(path, std::strlen(path));
  return static_cast<int>(CopySpan(out, capacity, path, d.length));
}

int GetDirNoDrive(char sep, const char *path, char *out, size_t capacity) {
  if (!Begin(path, out, capacity)) return 0;
  const size_t len = std::strlen(path);
  const Span dir = DirSpan(sep, path, len);
  const size_t skip = DriveSpan(path, len).length;
  if (dir.length <= skip) return 0;
  return static_cast<int>(CopySpan(out, capacity, path + skip, dir.length - skip));
}

int GetFileName(char sep, const char *path, char *out, size_t capacity) {
  if (!Begin(path, out, capacity)) return 0;
  const Span n = FileNameSpan(sep, path, std::strlen(path));
  return static_cast<int>(CopySpan(out, capacity, path + n.start, n.length));
}

int GetFileTitle(char sep, const char *path, char *out, size_t capacity) {
  size_t n = static_cast<size_t>(GetFileName(sep, path, out, capacity));
  const size_t dot = LastDot(out != nullptr ? out : "", n);
  if (dot != kNone) {
    out[dot] = '\0';
    n = dot;
  }
  return static_cast<int>(n);
}

int GetExtension(const char *path, char *out, size_t capacity) {
  if (!Begin(path, out, capacity)) return 0;
  const size_t len = std::strlen(path);
  const size_t dot = LastDot(path, len);
  if (dot == kNone) return 0;
  return static_cast<int>(CopySpan(out, capacity, path + dot + 1, len - dot - 1));
}

int RemoveExtension(const char *path, char *out, size_t capacity) {
  if (!Begin(path, out, capacity)) return 0;
  size_t copied = 0;
  (void)BoundedCopy(out, capacity, path, &copied);
  const size_t dot = LastDot(out, copied);
  if (dot != kNone) out[dot] = '\0';
  return static_cast<int>(copied);
}

int GetParentDir(char sep, const char *path, char *out, size_t capacity) {
  if (!Begin(path, out, capacity)) return 0;
  size_t len = 0;
  (void)BoundedCopy(out, capacity, path, &len);
  if (len == 0 || IsRootPath(sep, out)) return static_cast<int>(len);
  if (EndsWithSep(out, len, Only(sep))) out[--len] = '\0';
  const char *last = FindLastSeparator(sep, out);
  if (last != nullptr) {
    len = static_cast<size_t>(last - out) + 1;
    out[len] = '\0';
  }
  return static_cast<int>(len);
}

int SetExtension(char *buffer, size_t capacity, const char *extension) {
  if (buffer == nullptr || extension == nullptr || capacity == 0) return 0;
  const size_t len = TextIn(buffer, capacity);
  if (len == capacity) return 0;  // no terminator inside the buffer
  const size_t dot = LastDot(buffer, len);
  if (dot != kNone) buffer[dot] = '\0';
  if (std::strchr(extension, '.') == nullptr) (void)BoundedAppendChar(buffer, capacity, '.');
  size_t appended = 0;
  (void)BoundedAppend(buffer, capacity, extension, &appended);
  return static_cast<int>(appended);
}

int SetFileTitle(char sep, char *buffer, size_t capacity, const char *title) {
  if (buffer == nullptr || title == nullptr || capacity == 0) return 0;
  const size_t len = TextIn(buffer, capacity);
  const size_t dot = LastDot(buffer, len);
  CCommonString s;
  if (!AppendSpan(s, buffer, DirSpan(sep, buffer, len)) || s.Append(title) == 0 ||
      s.AppendChar('.') == 0 ||
      (dot != kNone && !AppendSpan(s, buffer, Span{dot + 1, len - dot - 1})))
    return 0;
  return Store(buffer, capacity, s);
}

int SetFileName(char sep, char *buffer, size_t capacity, const char *name) {
  if (buffer == nullptr || name == nullptr || capacity == 0) return 0;
  const size_t len = TextIn(buffer, capacity);
  CCommonString s;
  if (!AppendSpan(s, buffer, DirSpan(sep, buffer, len)) || s.Append(name) == 0) return 0;
  return Store(buffer, capacity, s);
}

int SetDirNoDrive(char sep, char *buffer, size_t capacity, const char *directory) {
  if (buffer == nullptr || directory == nullptr || capacity == 0) return 0;
  const size_t len = TextIn(buffer, capacity);
  const size_t dirLen = std::strlen(directory);
  CCommonString s;
  bool ok = AppendSpan(s, buffer, DriveSpan(buffer, len));
  if (ok && directory[0] != sep) ok = s.AppendChar(sep) != 0;
  if (ok) ok = s.Append(directory) != 0;
  if (ok && !EndsWithSep(directory, dirLen, Only(sep))) ok = s.AppendChar(sep) != 0;
  if (ok) ok = AppendSpan(s, buffer, FileNameSpan(sep, buffer, len));
  return ok ? Store(buffer, capacity, s) : 0;
}

int SetDir(char sep, char *buffer, size_t capacity, const char *directory) {
  if (buffer == nullptr || directory == nullptr || capacity == 0) return 0;
  const size_t len = TextIn(buffer, capacity);
  const Span nameSpan = FileNameSpan(sep, buffer, len);
  CCommonString name(buffer + nameSpan.start, static_cast<uint32_t>(nameSpan.length));
  if (name.GetLength() != nameSpan.length) return 0;  // storage not obtained
  (void)BoundedCopy(buffer, capacity, directory);
  const size_t used = std::strlen(buffer);
  if (!EndsWithSep(buffer, used, Only(sep))) (void)BoundedAppendChar(buffer, capacity, sep);
  size_t appended = 0;
  (void)BoundedAppend(buffer, capacity, name.CStr(), &appended);
  return static_cast<int>(appended);
}

int SetDrive(char *buffer, size_t capacity, const char *drive) {
  if (buffer == nullptr || drive == nullptr || drive[0] == '\0' || capacity < 2) return 0;
  if (buffer[0] == '\0' || buffer[1] != ':') return 0;
  buffer[0] = drive[0];
  return 1;
}

char *AddSeparator(char sep, char *buffer, size_t capacity) {
  if (buffer == nullptr || capacity == 0) return buffer;
  const size_t len = TextIn(buffer, capacity);
  if (len == 0 || len + 2 > capacity || EndsWithSep(buffer, len, Only(sep))) return buffer;
  buffer[len] = sep;
  buffer[len + 1] = '\0';
  return buffer;
}

char *RemoveSeparator(char sep, char *buffer, size_t capacity) {
  if (buffer == nullptr || capacity == 0) return buffer;
  const size_t len = TextIn(buffer, capacity);
  if (len < capacity && EndsWithSep(buffer, len, Only(sep))) buffer[len - 1] = '\0';
  return buffer;
}

namespace {
// End of the last name in text[0, end): the index just behind its last
// character, trailing separators (backslash or slash) skipped; 0 when the
// text holds no name.
size_t NameEnd(const char *text, size_t end) {
  const uint8_t *leads = SalLeadByteTable();
  size_t nameEnd = 0;
  for (size_t i = 0; i < end;) {
    const size_t len = SalCharLength(leads, text + i);
    if (len == 2 || !IsSlash(text[i])) nameEnd = i + len;
    i += len;
  }
  return nameEnd;
}
}  // namespace

int GetLastName(const char *path, char *out, size_t capacity) {
  if (!Begin(path, out, capacity)) return 0;
  const size_t end = NameEnd(path, std::strlen(path));
  const size_t s = LastOf(path, end, Both());
  const size_t start = s == kNone ? 0 : s + 1;
  return static_cast<int>(CopySpan(out, capacity, path + start, end - start));
}

const char *JoinLastTwoNames(const char *path, char *out, size_t capacity) {
  if (path == nullptr || out == nullptr || capacity == 0) return path;
  const size_t end2 = NameEnd(path, std::strlen(path));
  const size_t sep2 = LastOf(path, end2, Both());
  if (end2 == 0 || sep2 == kNone) return path;
  const size_t end1 = NameEnd(path, sep2);
  const size_t sep1 = LastOf(path, end1, Both());
  if (end1 == 0 || sep1 == kNone) return path;
  const size_t len1 = end1 - sep1 - 1;
  const size_t len2 = end2 - sep2 - 1;
  if (len1 + 1 + len2 + 1 > capacity) return path;
  std::memcpy(out, path + sep1 + 1, len1);
  out[len1] = '-';
  std::memcpy(out + len1 + 1, path + sep2 + 1, len2);
  out[len1 + 1 + len2] = '\0';
  return out;
}

int IsSameDir(char sep, const char *pathA, const char *pathB) {
  if (pathA == nullptr || pathB == nullptr) return 0;
  char dirs[2][256];
  const char *paths[2] = {pathA, pathB};
  for (int k = 0; k < 2; ++k) {
    char copy[256];
    (void)BoundedCopy(copy, sizeof copy, paths[k]);
    // '/' never is a trail byte, so a byte-wise replacement is safe.
    for (char *p = copy; *p != '\0'; ++p)
      if (*p == '/') *p = sep;
    (void)GetDir(sep, copy, dirs[k], sizeof dirs[k]);
  }
  if (sep == '/') return std::strcmp(dirs[0], dirs[1]) == 0 ? 1 : 0;
  // Windows names ignore case; a double-byte character compares as is.
  const uint8_t *leads = SalLeadByteTable();
  const char *a = dirs[0];
  const char *b = dirs[1];
  while (*a != '\0' && *b != '\0') {
    const size_t la = SalCharLength(leads, a);
    if (la != SalCharLength(leads, b)) return 0;
    if (la == 2 ? (a[0] != b[0] || a[1] != b[1])
                : FoldAscii(static_cast<uint8_t>(*a)) != FoldAscii(static_cast<uint8_t>(*b)))
      return 0;
    a += la;
    b += la;
  }
  return *a == *b ? 1 : 0;
}

namespace {
// First "sep . sep" at a character boundary, kNone when there is none.
size_t FindSepDotSep(char sep, const CCommonString &s) {
  const uint8_t *leads = SalLeadByteTable();
  const char *t = s.CStr();
  for (size_t i = 0; t[i] != '\0';) {
    const size_t len = SalCharLength(leads, t + i);
    if (len == 1 && t[i] == sep && t[i + 1] == '.' && t[i + 2] == sep) return i;
    i += len;
  }
  return kNone;
}

// First ".." that is a whole name: at the start or behind a separator, and
// followed by a separator or the end.
size_t FindDotDotName(char sep, const CCommonString &s) {
  const uint8_t *leads = SalLeadByteTable();
  const char *t = s.CStr();
  bool afterSep = true;  // the start counts as a name boundary
  for (size_t i = 0; t[i] != '\0';) {
    const size_t len = SalCharLength(leads, t + i);
    if (afterSep && t[i] == '.' && t[i + 1] == '.' && (t[i + 2] == '\0' || t[i + 2] == sep))
      return i;
    afterSep = len == 1 && t[i] == sep;
    i += len;
  }
  return kNone;
}
}  // namespace

int MakeFull(char sep, char *buffer, size_t capacity, const char *base, const char *currentDir) {
  if (buffer == nullptr || capacity == 0) return 0;
  const CCommonString path(buffer, static_cast<uint32_t>(TextIn(buffer, capacity)));
  CCommonString s;
  if (IsFull(sep, path.CStr())) {
    if (s.Assign(path) == 0) return 0;
  } else {
    const char *prefix = base != nullptr ? base : (currentDir != nullptr ? currentDir : "");
    if (s.Assign(prefix) == 0) return 0;
    if (sep == '\\') (void)s.ReplaceByte('/', '\\', 1, CCommonString::kAll);
    if (!s.IsEmpty() && !EndsWithSep(s.CStr(), s.GetLength(), Only(sep)) && s.AppendChar(sep) == 0)
      return 0;
    if (s.Append(path) == 0) return 0;
  }
  // Dots are never trail bytes, so a byte search finds exactly the dots.
  if (std::strstr(s.CStr(), "...") != nullptr) return 0;

  for (size_t i; (i = FindSepDotSep(sep, s)) != kNone;)
    s.Delete(static_cast<uint32_t>(i + 2), 2);  // keep the first separator

  for (size_t i; (i = FindDotDotName(sep, s)) != kNone;) {
    // At the start, or behind a leading separator, there is no name to take.
    if (i < 2) return 0;
    const char *t = s.CStr();
    const size_t k = LastOf(t, i - 1, Only(sep));
    const size_t nameStart = k == kNone ? 0 : k + 1;
    // A drive is no name either: C:\.. would otherwise lose its drive.
    if (nameStart == 0 && i - 1 == 2 && t[1] == ':') return 0;
    if (k != kNone) {
      s.Delete(static_cast<uint32_t>(k + 1), static_cast<uint32_t>(i + 2 - k));
    } else {
      const size_t through = t[i + 2] == '\0' ? i + 2 : i + 3;
      s.Delete(1, static_cast<uint32_t>(through));
    }
  }

  const char *t = s.CStr();
  if (t[0] == '.' && t[1] == sep) s.Delete(1, 2);
  const uint32_t n = s.GetLength();
  if (n >= 2 && s.CStr()[n - 1] == '.' && EndsWithSep(s.CStr(), n - 1, Only(sep))) s.DeleteRight(2);
  return BoundedCopy(buffer, capacity, s.CStr());
}

int MakeRelative(char sep, char *out, size_t capacity, const char *path, const char *base) {
  if (out == nullptr || path == nullptr || base == nullptr || capacity == 0) return 0;
  const uint8_t *leads = SalLeadByteTable();
  size_t i = 0;
  size_t lastSep = kNone;
  bool differ = false;
  while (path[i] != '\0' && base[i] != '\0') {
    const size_t len = SalCharLength(leads, path + i);
    if (base[i] != path[i] || (len == 2 && base[i + 1] != path[i + 1])) {
      differ = true;
      break;
    }
    if (len == 1 && path[i] == sep) lastSep = i;
    i += len;
  }
  if (differ && (i == 0 || lastSep == kNone)) return BoundedCopy(out, capacity, path);
  if (path[i] == '\0') return 0;  // the path is a prefix of base, or equal to it

  const size_t from = lastSep == kNone ? 0 : lastSep + 1;
  size_t ups = 0;
  for (size_t j = from; base[j] != '\0';) {
    const size_t len = SalCharLength(leads, base + j);
    if (len == 1 && base[j] == sep) ++ups;
    j += len;
  }
  out[0] = '\0';
  int ok = 1;
  for (size_t k = 0; k < ups; ++k) ok &= BoundedAppend(out, capacity, "../");
  ok &= BoundedAppend(out, capacity, path + from);
  return ok;
}

int Split(char sep, const char *path, char *drive, size_t driveCapacity, char *dir,
          size_t dirCapacity, char *name, size_t nameCapacity, char *ext, size_t extCapacity) {
  struct Part {
    char *out;
    size_t capacity;
  } parts[4] = {{drive, driveCapacity}, {dir, dirCapacity}, {name, nameCapacity}, {ext, extCapacity}};
  bool valid = path != nullptr;
  for (Part &p : parts) {
    if (p.out != nullptr && p.capacity != 0) p.out[0] = '\0';
    if ((p.out == nullptr) != (p.capacity == 0)) valid = false;
  }
  if (!valid) return 0;

  // The runtime's rules: a drive is two bytes ending in a colon; on Windows
  // both slashes end the directory; the extension starts at the last dot
  // after the directory.
  const size_t len = std::strlen(path);
  const size_t driveLen = DriveSpan(path, len).length;
  const char *rest = path + driveLen;
  const size_t restLen = len - driveLen;
  const size_t s = LastOf(rest, restLen, sep == '\\' ? Both() : Only(sep));
  const size_t dirLen = s == kNone ? 0 : s + 1;
  const size_t dot = LastDot(rest + dirLen, restLen - dirLen);
  const size_t nameLen = dot == kNone ? restLen - dirLen : dot;
  const Span spans[4] = {{0, driveLen},
                         {driveLen, dirLen},
                         {driveLen + dirLen, nameLen},
                         {driveLen + dirLen + nameLen, restLen - dirLen - nameLen}};
  for (int k = 0; k < 4; ++k)
    if (parts[k].out != nullptr && spans[k].length + 1 > parts[k].capacity) return 0;
  for (int k = 0; k < 4; ++k)
    if (parts[k].out != nullptr) {
      std::memcpy(parts[k].out, path + spans[k].start, spans[k].length);
      parts[k].out[spans[k].length] = '\0';
    }
  return 1;
}

}  // namespace sal::path

// ---- 3. the public functions ----------------------------------------------

namespace {
inline char Sep() { return CSalDirectory::GetSeparator(); }

using Extract = int (*)(const char *path, char *out, size_t capacity);
using Change = int (*)(char *buffer, size_t capacity, const char *arg);

// The CCommonString form of an extracting function: fills a bounded buffer
// and stores its text in out (out is emptied for a null path).
template <size_t Capacity>
int ExtractInto(Extract fn, const char *path, CCommonString &out) {
  char buffer[Capacity];
  const int result = fn(path, buffer, Capacity);
  if (path == nullptr) {
    out.Empty();
    return result;
  }
  return out.Assign(buffer) != 0 ? result : 0;
}

template <size_t Capacity>
CCommonString ExtractValue(Extract fn, const char *path) {
  CCommonString out;
  (void)ExtractInto<Capacity>(fn, path, out);
  return out;
}

// The CCommonString form of an in-place function: works on a 256-byte copy
// of the text and stores the result back.  The bounded copy keeps double-
// byte characters whole where cutting the string's storage would not.
int ChangeString(Change fn, CCommonString &path, const char *arg) {
  char buffer[256];
  (void)BoundedCopy(buffer, sizeof buffer, path.CStr());
  const int result = fn(buffer, sizeof buffer, arg);
  if (path.CompareEmptyEqual(buffer) != 0 && path.Assign(buffer) == 0) return 0;
  return result;
}

// The rules that take the separator, with the platform's.
template <int (*Rule)(char, const char *, char *, size_t)>
int WithSep(const char *path, char *out, size_t capacity) {
  return Rule(Sep(), path, out, capacity);
}

template <int (*Rule)(char, char *, size_t, const char *)>
int WithSep(char *buffer, size_t capacity, const char *arg) {
  return Rule(Sep(), buffer, capacity, arg);
}
}  // namespace

// The public forms of an extracting function over its rule: the bounded
// copy, and the CCommonString forms with a buffer of Capacity bytes.
#define SAL_PATH_EXTRACTING(Name, rule, Capacity)                                                         \
  int Name(const char *path, char *out, size_t capacity) { return rule(path, out, capacity); }           \
  int Name(const char *path, CCommonString &out) { return ExtractInto<Capacity>(rule, path, out); }      \
  CCommonString Name(const char *path) { return ExtractValue<Capacity>(rule, path); }

// The public forms of an in-place function over its rule: the buffer, and
// the CCommonString through a 256-byte copy.
#define SAL_PATH_CHANGING(Name, rule)                                                                     \
  int Name(char *buffer, size_t capacity, const char *arg) { return rule(buffer, capacity, arg); }      \
  int Name(CCommonString &path, const char *arg) { return ChangeString(rule, path, arg); }

int SalPathIsSeparator(int ch) { return (ch == '\\' || ch == '/') ? 1 : 0; }

int SalPathIsFull(const char *path) { return sal::path::IsFull(Sep(), path); }

SAL_PATH_EXTRACTING(SalPathGetDir, WithSep<sal::path::GetDir>, 256)
SAL_PATH_EXTRACTING(SalPathGetDrive, sal::path::GetDrive, 3)
SAL_PATH_EXTRACTING(SalPathGetDirNoDrive, WithSep<sal::path::GetDirNoDrive>, 256)
SAL_PATH_EXTRACTING(SalPathGetFileName, WithSep<sal::path::GetFileName>, 256)
SAL_PATH_EXTRACTING(SalPathGetFileTitle, WithSep<sal::path::GetFileTitle>, 256)
SAL_PATH_EXTRACTING(SalPathGetExtension, sal::path::GetExtension, 256)
SAL_PATH_EXTRACTING(SalPathRemoveExtension, sal::path::RemoveExtension, 256)
SAL_PATH_EXTRACTING(SalPathGetParentDir, WithSep<sal::path::GetParentDir>, 256)

SAL_PATH_CHANGING(SalPathSetExtension, sal::path::SetExtension)
SAL_PATH_CHANGING(SalPathSetFileTitle, WithSep<sal::path::SetFileTitle>)
SAL_PATH_CHANGING(SalPathSetFileName, WithSep<sal::path::SetFileName>)
SAL_PATH_CHANGING(SalPathSetDirNoDrive, WithSep<sal::path::SetDirNoDrive>)
SAL_PATH_CHANGING(SalPathSetDir, WithSep<sal::path::SetDir>)
SAL_PATH_CHANGING(SalPathSetDrive, sal::path::SetDrive)

#undef SAL_PATH_EXTRACTING
#undef SAL_PATH_CHANGING

char *SalPathAddSeparator(char *buffer, size_t capacity) {
  return sal::path::AddSeparator(Sep(), buffer, capacity);
}

char *SalPathRemoveSeparator(char *buffer, size_t capacity) {
  return sal::path::RemoveSeparator(Sep(), buffer, capacity);
}

int SalPathGetLastName(const char *path, char *out, size_t capacity) {
  return sal::path::GetLastName(path, out, capacity);
}
int SalPathGetLastName(const char *path, CCommonString &out) {
  return ExtractInto<256>(sal::path::GetLastName, path, out);
}

const char *SalPathJoinLastTwoNames(const char *path, char *out, size_t capacity) {
  return sal::path::JoinLastTwoNames(path, out, capacity);
}
int SalPathJoinLastTwoNames(const char *path, CCommonString &out) {
  char buffer[256];
  if (sal::path::JoinLastTwoNames(path, buffer, sizeof buffer) != buffer) return 0;
  return out.Assign(buffer);
}

int SalPathIsSameDir(const char *pathA, const char *pathB) {
  return sal::path::IsSameDir(Sep(), pathA, pathB);
}

int SalPathMakeFull(char *buffer, size_t capacity, const char *base) {
  if (buffer == nullptr || capacity == 0) return 0;
  char current[256] = "";
  if (base == nullptr && !SalPathIsFull(buffer))
    (void)CSalDirectory::GetCurrentDir(current, sizeof current);
  return sal::path::MakeFull(Sep(), buffer, capacity, base, current);
}

int SalPathMakeRelative(char *out, size_t capacity, const char *path, const char *base) {
  return sal::path::MakeRelative(Sep(), out, capacity, path, base);
}

int SalPathSplit(const char *path, char *drive, size_t driveCapacity, char *dir,
                 size_t dirCapacity, char *name, size_t nameCapacity, char *ext,
                 size_t extCapacity) {
  return sal::path::Split(Sep(), path, drive, driveCapacity, dir, dirCapacity, name,
                          nameCapacity, ext, extCapacity);
}

int SalPathSplit(const char *path, CCommonString *drive, CCommonString *dir, CCommonString *name,
                 CCommonString *ext) {
  char parts[4][260];
  CCommonString *outs[4] = {drive, dir, name, ext};
  const int result = sal::path::Split(Sep(), path, drive ? parts[0] : nullptr, drive ? 260 : 0,
                                      dir ? parts[1] : nullptr, dir ? 260 : 0,
                                      name ? parts[2] : nullptr, name ? 260 : 0,
                                      ext ? parts[3] : nullptr, ext ? 260 : 0);
  for (int k = 0; k < 4; ++k)
    if (outs[k] != nullptr && outs[k]->Assign(result != 0 ? parts[k] : "") == 0) return 0;
  return result;
}
