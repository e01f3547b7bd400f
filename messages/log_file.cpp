// log_file.cpp - WriteLogLine and the default log path.
#include "messages/log_file.h"

#include <atomic>
#include <cstring>
#include <new>

#include "base/text.h"
#include "platform/directory.h"
#include "text/common_file.h"
#include "text/common_time.h"

namespace {
constexpr const char *kDefaultLogFile = "vortanaLog.log";

// The default path once known, kept for the rest of the process.  Threads
// racing at the first use each work it out; one copy wins, the others are
// released.
std::atomic<const char *> g_defaultPath{nullptr};

const char *DefaultPath() {
  if (const char *path = g_defaultPath.load()) return path;
  const CCommonString found = GetDefaultLogPath();
  if (!found.HasStorage() || found.IsEmpty()) return nullptr;  // tried again next time
  char *copy = new (std::nothrow) char[found.GetLength() + 1];
  if (copy == nullptr) return nullptr;
  std::memcpy(copy, found.CStr(), found.GetLength() + 1);
  const char *expected = nullptr;
  if (!g_defaultPath.compare_exchange_strong(expected, copy)) {
    delete[] copy;
    return expected;
  }
  return copy;
}

// "YYYY-MM-DD HH:MM:SS " of the local time now, from the calendar fields,
// so that the text is the same in every locale; "" when the clock cannot be
// read.
void TimeStamp(char *out, size_t capacity) {
  CCommonTime now;
  out[0] = '\0';
  if (!now.SetNowLocal()) return;
  BoundedFormat(out, capacity, "%04d-%02d-%02d %02d:%02d:%02d ", now.tm_year + 1900,
                now.tm_mon + 1, now.tm_mday, now.tm_hour, now.tm_min, now.tm_sec);
}
}  // namespace

int WriteLogLine(const char *path, const char *format, ...) {
  va_list args;
  va_start(args, format);
  const int result = WriteLogLineV(path, format, args);
  va_end(args);
  return result;
}

int WriteLogLineV(const char *path, const char *format, va_list args) {
  if (format == nullptr) return 0;
  if (path == nullptr || *path == '\0') {
    path = DefaultPath();
    if (path == nullptr) return 0;
  }
  CCommonFile file;
  file.SetPath(path);
  if (!file.Open(SAL_FILE_ACCESS_READ_WRITE, SAL_FILE_OPEN_ALWAYS, SAL_FILE_SHARE_READ)) return 0;
  (void)file.Seek(0, SAL_SEEK_END);
  char stamp[100];
  TimeStamp(stamp, sizeof stamp);
  (void)file.Write(stamp, static_cast<uint32_t>(std::strlen(stamp)));
  (void)file.VPrintf(format, args);
  (void)file.WriteAt("\r\n", 2, COMMON_WRITE_APPEND);
  file.Close();
  return 1;
}

CCommonString GetDefaultLogPath() {
  CCommonString folder;
  if (!CSalDirectory::GetSpecialFolder(SAL_FOLDER_TEMP, folder, 1)) return CCommonString();
  CSalDirectory directory;
  if (!directory.SetPath(folder.CStr()) || directory.Exists() != 1 || directory.IsReadOnly() != 0)
    return CCommonString();
  if (folder.Append(kDefaultLogFile) == 0) return CCommonString();
  return folder;
}
