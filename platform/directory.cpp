// directory.cpp - CSalDirectory: the search stack, the pre-order walk, the
// deletion rules and the static folder operations, shared by every OS; the
// OS calls are in {win32,posix}/directory_os.cpp.
//
// Layout of this file:
//   1. the private record, the search stack and small helpers
//   2. path, existence and state of the directory
//   3. searches: opening, closing, the walk
//   4. deleting and removing
//   5. static folder operations
#include "platform/directory.h"

#include <cstring>
#include <new>
#include <utility>

#include "base/common_string.h"
#include "base/last_error.h"
#include "base/sal_config.h"
#include "base/sal_errors.h"
#include "base/text.h"
#include "platform/file.h"
#include "platform/os/directory_os.h"
#include "platform/os/file_os.h"
#include "platform/path_rules.h"

// ---- 1. the private record ------------------------------------------------

namespace {
constexpr size_t kPathCapacity = 256;  // every write into a path is bounded to this
}  // namespace

/// One open search: its handle and the directory it runs in.
struct SalDirSearch {
  sal::os::FindHandle *handle = nullptr;  // open search, never null on the stack
  CCommonString directory;                // searchDir when the search was opened
};

struct CSalDirectoryData {
  char path[260] = "";              // the directory; empty when none
  sal::os::FindData findData = {};  // the entry of the last successful step
  CCommonString searchDir;          // directory of the innermost open search
  CCommonString pattern;            // name pattern of the current search
  SalDirSearch *searches = nullptr; // stack of open searches, outermost first
  uint32_t count = 0;               // entries on the stack
  uint32_t capacity = 0;            // slots of searches
  int32_t recursive = 0;            // nonzero: FindNext descends

  ~CSalDirectoryData() { delete[] searches; }

  SalDirSearch *Top() { return count != 0 ? &searches[count - 1] : nullptr; }

  // Pushes a search; false (nothing pushed) when storage is not obtained.
  bool Push(sal::os::FindHandle *handle, const CCommonString &directory) {
    if (count == capacity) {
      const uint32_t grown = capacity == 0 ? 8 : capacity * 2;
      SalDirSearch *bigger = new (std::nothrow) SalDirSearch[grown];
      if (bigger == nullptr) return false;
      for (uint32_t i = 0; i < count; ++i) {
        bigger[i].handle = searches[i].handle;
        bigger[i].directory = std::move(searches[i].directory);
      }
      delete[] searches;
      searches = bigger;
      capacity = grown;
    }
    SalDirSearch &top = searches[count];
    if (top.directory.Assign(directory) == 0) return false;
    top.handle = handle;
    ++count;
    return true;
  }

  void Pop() {
    SalDirSearch &top = searches[--count];
    top.handle = nullptr;
    top.directory.Empty();
  }
};

namespace {
int Fail(uint32_t code) {
  SalSetLastError(code);
  return 0;
}

bool IsDotName(const char *name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// out = dir without one trailing separator, the separator, name; bounded to
// capacity and never cut inside a double-byte character.  False when the
// text was cut.
bool ComposePath(char *out, size_t capacity, const char *dir, const char *name) {
  const char sep = CSalDirectory::GetSeparator();
  bool whole = BoundedCopy(out, capacity, dir) != 0;
  (void)sal::path::RemoveSeparator(sep, out, capacity);
  whole = BoundedAppendChar(out, capacity, sep) != 0 && whole;
  return BoundedAppend(out, capacity, name) != 0 && whole;
}
}  // namespace

CSalDirectory::CSalDirectory() {
  // Not MemAlloc, as for CSalFile: the allocation-failure hooks are meant for
  // the data buffers.  A missing record makes every operation fail cleanly.
  data_ = new (std::nothrow) CSalDirectoryData();
}

CSalDirectory::~CSalDirectory() {
  if (data_ != nullptr) (void)CloseSearches();
  delete data_;
}

// ---- 2. path, existence and state -------------------------------------------

int CSalDirectory::SetPath(const char *path) {
  if (data_ == nullptr || !CloseSearches()) return Fail(kSalErrNoObject);
  data_->path[0] = '\0';
  (void)BoundedCopy(data_->path, kPathCapacity, path);
  return 1;
}

int CSalDirectory::GetPath(char *buffer, size_t capacity) const {
  (void)BoundedCopy(buffer, capacity, Path());
  return 1;
}

const char *CSalDirectory::Path() const { return data_ != nullptr ? data_->path : ""; }

int CSalDirectory::Exists() const {
  uint32_t attributes = 0;
  return sal::os::PathAttributes(Path(), &attributes) ? 1 : 0;
}

int CSalDirectory::IsReadOnly() const {
  uint32_t attributes = 0;
  if (!sal::os::PathAttributes(Path(), &attributes)) return 0;
  if ((attributes & SAL_DIR_ATTR_DIRECTORY) == 0) return 0;
  if ((attributes & SAL_DIR_ATTR_READONLY) != 0) return 1;
  // A directory whose attributes cannot be written counts as read-only.
  return sal::os::WriteAttributesBack(Path(), attributes) ? 0 : 1;
}

int CSalDirectory::Create(const char *path) {
  if (path == nullptr || path[0] == '\0') {
    SalSetLastError(kSalErrArgument);
    return -2;
  }
  if (data_ == nullptr || !CloseSearches()) {
    SalSetLastError(kSalErrNoObject);
    return -2;
  }
  const int created = CreatePath(path);
  if (created == -2) return -2;
  data_->path[0] = '\0';
  (void)BoundedCopy(data_->path, kPathCapacity, path);
  return created;
}

int CSalDirectory::Rename(const char *newName) {
  if (data_ == nullptr || data_->path[0] == '\0') return Fail(kSalErrNoObject);
  if (newName == nullptr || newName[0] == '\0') return Fail(kSalErrArgument);
  const char sep = GetSeparator();
  // Whole characters: the trail byte of a double-byte character may be 0x5C.
  const bool bare = SafeStrChr(newName, '\\') == nullptr && SafeStrChr(newName, '/') == nullptr;
  char target[260];
  if (bare) {
    (void)sal::path::GetParentDir(sep, data_->path, target, kPathCapacity);
    (void)BoundedAppend(target, kPathCapacity, newName);
  } else {
    (void)BoundedCopy(target, kPathCapacity, newName);
  }
  // The file layer's rename: on every OS it refuses to replace an existing
  // target, as the Windows runtime does.
  if (!sal::os::Rename(data_->path, target)) return 0;
  (void)BoundedCopy(data_->path, kPathCapacity, target);
  if (bare) (void)sal::path::AddSeparator(sep, data_->path, kPathCapacity);
  return 1;
}

// ---- 3. searches ------------------------------------------------------------

int CSalDirectory::CloseSearches() {
  CSalDirectoryData *d = data_;
  if (d->count == 0) return 1;
  // Outermost first; after a failed close the remaining handles are left
  // alone, and the stack is emptied either way.
  bool ok = true;
  for (uint32_t i = 0; i < d->count && ok; ++i) ok = sal::os::CloseFind(d->searches[i].handle);
  while (d->count != 0) d->Pop();
  return ok ? 1 : 0;
}

int CSalDirectory::CloseTopSearch() {
  SalDirSearch *top = data_->Top();
  if (top == nullptr) return 1;
  const bool ok = sal::os::CloseFind(top->handle);
  data_->Pop();
  return ok ? 1 : 0;
}

int CSalDirectory::StartSearch() {
  CSalDirectoryData *d = data_;
  char spec[kPathCapacity];
  // A cut search text would search another directory, or with another
  // pattern, and its entries would be reported under this one's name.
  if (!ComposePath(spec, sizeof spec, d->searchDir.CStr(), d->pattern.CStr()))
    return Fail(kSalErrNotFound);
  sal::os::FindData found;
  sal::os::FindHandle *handle = sal::os::OpenFind(spec, &found);
  if (handle == nullptr) return Fail(kSalErrNotFound);
  if (!d->Push(handle, d->searchDir)) {
    (void)sal::os::CloseFind(handle);
    return Fail(kCommonErrNoStorage);
  }
  d->findData = found;
  return 1;
}

int CSalDirectory::FindFirst(const char *pattern, int recursive) {
  CSalDirectoryData *d = data_;
  if (d == nullptr) return Fail(kSalErrNoObject);
  if (d->pattern.Assign(pattern != nullptr ? pattern : "") == 0) return 0;
  d->recursive = recursive;
  if (d->searchDir.Assign(d->path) == 0) return 0;
  d->searchDir.RemoveSeparator();
  if (d->path[0] == '\0' || !CloseSearches()) return Fail(kSalErrNoObject);
  return StartSearch();
}

int CSalDirectory::FindNext() {
  CSalDirectoryData *d = data_;
  if (d == nullptr || d->count == 0) return Fail(kSalErrNoObject);

  // Descend first: only a plain directory (no attribute besides the
  // directory bit) is entered, so links, hidden and read-only directories
  // are reported but not walked.
  const sal::os::FindData &entry = d->findData;
  if (d->recursive != 0 && entry.attributes == SAL_DIR_ATTR_DIRECTORY && !IsDotName(entry.name)) {
    CCommonString saved(d->searchDir);
    if (saved.GetLength() == d->searchDir.GetLength() && d->searchDir.AddSeparator() != 0 &&
        d->searchDir.Append(entry.name) != 0 && StartSearch())
      return 1;
    // The subdirectory cannot be searched (it went away, or nothing in it
    // matches): go on with its siblings.
    d->searchDir = std::move(saved);
  }

  bool found = sal::os::NextFind(d->Top()->handle, &d->findData);
  while (!found) {
    if (d->count == 0) break;
    (void)CloseTopSearch();
    if (d->count == 0) break;
    (void)d->searchDir.Assign(d->Top()->directory);
    found = sal::os::NextFind(d->Top()->handle, &d->findData);
  }
  return found ? 1 : 0;
}

const char *CSalDirectory::EntryDirectory() const {
  return data_->recursive != 0 ? data_->searchDir.CStr() : data_->path;
}

int CSalDirectory::GetFoundFile(CSalFile &file) const {
  if (data_ == nullptr || data_->count == 0) return Fail(kSalErrNoObject);
  char full[kPathCapacity];
  (void)ComposePath(full, sizeof full, EntryDirectory(), data_->findData.name);
  return file.SetPath(full);
}

const char *CSalDirectory::GetFoundName() const {
  return (data_ != nullptr && data_->count != 0) ? data_->findData.name : "";
}

uint32_t CSalDirectory::GetFoundAttributes() const {
  return (data_ != nullptr && data_->count != 0) ? data_->findData.attributes : 0;
}

int CSalDirectory::IsEmpty() {
  if (!FindFirst("*", 0)) return 1;  // nothing found, also a missing directory
  // The entry's name decides, not the last character of its path: a name
  // may end with a dot on POSIX, and a cut path may end anywhere.
  do {
    if (!IsDotName(data_->findData.name)) return 0;
  } while (FindNext());
  return 1;
}

// ---- 4. deleting and removing -----------------------------------------------

int CSalDirectory::DeleteFiles(const char *pattern, int recursive) {
  CSalDirectoryData *d = data_;
  if (d == nullptr || d->path[0] == '\0' || !CloseSearches()) return Fail(kSalErrNoObject);
  if (!FindFirst(pattern, 0)) return 1;  // nothing matches

  int result = 1;
  do {
    const uint32_t attributes = d->findData.attributes;
    const char *name = d->findData.name;
    char full[kPathCapacity];
    // A cut path names another entry (one whose name is a prefix of this
    // one's): that must not be deleted in its place.
    if (!ComposePath(full, sizeof full, d->path, name)) {
      result = 0;
    } else if ((attributes & (SAL_DIR_ATTR_SYSTEM | SAL_DIR_ATTR_HIDDEN | SAL_DIR_ATTR_DIRECTORY)) == 0) {
      if (!sal::os::RemoveFile(full)) result = 0;
    } else if (recursive == 1 && (attributes & SAL_DIR_ATTR_DIRECTORY) != 0 && !IsDotName(name)) {
      if ((attributes & SAL_DIR_ATTR_REPARSE_POINT) != 0) {
        // A link or junction: removing it must not reach into its target.
        if (!sal::os::RemoveDir(full)) result = 0;
      } else {
        CSalDirectory child;
        if (!child.SetPath(full) || !child.Remove()) result = 0;
      }
    }
  } while (FindNext());
  return CloseSearches() ? result : 0;
}

int CSalDirectory::Remove() {
  if (data_ == nullptr || data_->path[0] == '\0') return Fail(kSalErrNoObject);
  if (!DeleteFiles("*", 1)) return 0;
  if (!sal::os::RemoveDir(data_->path)) return 0;
  data_->path[0] = '\0';
  return 1;
}

// ---- 5. static folder operations ---------------------------------------------

char CSalDirectory::GetSeparator() { return SAL_PATH_SEPARATOR; }

int CSalDirectory::GetCurrentDir(char *buffer, size_t capacity) {
  if (buffer == nullptr || capacity == 0) return Fail(kSalErrArgument);
  if (!sal::os::CurrentDir(buffer, capacity)) return 0;
  buffer[capacity - 1] = '\0';
  return 1;
}

int CSalDirectory::GetCurrentDir(CCommonString &out) {
  char buffer[kPathCapacity];
  const bool ok = sal::os::CurrentDir(buffer, sizeof buffer);
  // The reason the call left must survive the string's storage step.
  const uint32_t error = SalGetLastError();
  const int stored = out.Assign(ok ? buffer : "");
  SalSetLastError(error);
  return (ok && stored != 0) ? 1 : 0;
}

int CSalDirectory::SetCurrentDir(const char *path) {
  if (path == nullptr || path[0] == '\0') return Fail(kSalErrArgument);
  return sal::os::ChangeDir(path) ? 1 : 0;
}

int CSalDirectory::IsRootPath(const char *path) { return sal::path::IsRootPath(GetSeparator(), path); }

const char *CSalDirectory::FindLastSeparator(const char *path) {
  return sal::path::FindLastSeparator(GetSeparator(), path);
}

int CSalDirectory::CreatePath(const char *path) {
  if (path == nullptr || path[0] == '\0') return 0;
  uint32_t attributes = 0;
  if (sal::os::PathAttributes(path, &attributes)) return 0;
  char parent[kPathCapacity];
  (void)sal::path::GetParentDir(GetSeparator(), path, parent, sizeof parent);
  if (std::strcmp(parent, path) == 0) {  // no separator left: nothing to climb to
    SalSetLastError(kSalErrNotFound);
    return -2;
  }
  if (CreatePath(parent) == -2) return -2;
  switch (sal::os::MakeDir(path)) {
    case sal::os::MakeDirResult::kCreated: return 1;
    case sal::os::MakeDirResult::kExists: return 0;
    default: return -2;
  }
}
