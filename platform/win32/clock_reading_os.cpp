// win32/clock_reading_os.cpp - clock readings from the system and the C
// runtime, the long date-and-time text with the runtime's "%#c".
#include <windows.h>

#include <locale.h>
#include <sys/timeb.h>
#include <time.h>

#include <cstdlib>
#include <cstring>

#include "platform/os/clock_reading_os.h"

namespace sal::os {

uint64_t FileTimeNow() {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  return (static_cast<uint64_t>(ft.dwHighDateTime) << 32) + ft.dwLowDateTime;
}

void ReadClock(int64_t *seconds, int64_t *milliseconds, int64_t *localShift) {
  __timeb64 tb{};
  _ftime64(&tb);
  *seconds = tb.time;
  *milliseconds = tb.millitm;
  // timezone is minutes west of UTC without daylight saving; dstflag says
  // whether daylight saving is in force.
  *localShift = -static_cast<int64_t>(tb.timezone) * 60 + (tb.dstflag != 0 ? 3600 : 0);
}

uint32_t TickCount() { return GetTickCount(); }

size_t FormatLongDateTime(char *buffer, size_t capacity, const std::tm &fields) {
  // The runtime treats a day of month outside 1-31 or a year outside
  // 1900-9999 as an invalid parameter, which its handler may answer by
  // ending the process: such records get no text.
  if (fields.tm_mday < 1 || fields.tm_year < 0 || fields.tm_year > 8099) return 0;
  // The runtime's locale is process-wide unless a thread asks for its own:
  // this thread takes its own for the call, so that the switch to ".ACP"
  // and back is never seen by other threads, then returns to the setting it
  // had.  The locale name in force is restored afterwards.
  const int previous = _configthreadlocale(_ENABLE_PER_THREAD_LOCALE);
  const char *current = setlocale(LC_ALL, nullptr);
  char *saved = current != nullptr ? static_cast<char *>(std::malloc(std::strlen(current) + 1)) : nullptr;
  if (saved != nullptr) std::strcpy(saved, current);
  size_t n = 0;
  if (setlocale(LC_ALL, ".ACP") != nullptr) n = strftime(buffer, capacity, "%#c", &fields);
  setlocale(LC_ALL, saved != nullptr ? saved : "C");
  std::free(saved);
  if (previous != -1) _configthreadlocale(previous);
  return n;
}
}  // namespace sal::os
