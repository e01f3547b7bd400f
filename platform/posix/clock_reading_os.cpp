// posix/clock_reading_os.cpp - clock readings from clock_gettime, the long
// date-and-time text with a thread-private locale object.
// Implementation here must contain only POSIX code (tm_gmtoff, which glibc,
// musl and the BSDs have, for the local offset).
#include <locale.h>
#include <time.h>

#include "platform/os/clock_reading_os.h"

namespace sal::os {
namespace {
// Seconds from 1601-01-01 to 1970-01-01.
constexpr uint64_t kEpochDelta = 11644473600ull;
}  // namespace

uint64_t FileTimeNow() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  return (static_cast<uint64_t>(ts.tv_sec) + kEpochDelta) * 10000000ull +
         static_cast<uint64_t>(ts.tv_nsec) / 100;
}

void ReadClock(int64_t *seconds, int64_t *milliseconds, int64_t *localShift) {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  *seconds = ts.tv_sec;
  *milliseconds = ts.tv_nsec / 1000000;
  // The offset in force at this moment, daylight saving included, as the
  // TZ setting describes it.
  tm local{};
  const time_t now = ts.tv_sec;
  *localShift = localtime_r(&now, &local) != nullptr ? local.tm_gmtoff : 0;
}

uint32_t TickCount() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  const uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
  return static_cast<uint32_t>(ms);
}

size_t FormatLongDateTime(char *buffer, size_t capacity, const std::tm &fields) {
  // A locale object of its own: the process's and the thread's locale stay
  // untouched.  "" is the locale the environment names; when it is not
  // installed the text comes out in the C locale.
  locale_t user = newlocale(LC_ALL_MASK, "", static_cast<locale_t>(0));
  if (user == static_cast<locale_t>(0)) user = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  if (user == static_cast<locale_t>(0)) return 0;
  const size_t n = strftime_l(buffer, capacity, "%c", &fields, user);
  freelocale(user);
  return n;
}
}  // namespace sal::os
