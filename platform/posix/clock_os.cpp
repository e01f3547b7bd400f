// posix/clock_os.cpp - clock and calendar conversions over the POSIX C
// runtime.  Implementation here must contain only generic POSIX code.
#include <stdlib.h>
#include <time.h>

#include <cstdint>
#include <ctime>
#include <limits>

#include "platform/clock.h"
#include "platform/os/clock_os.h"

namespace {
// time_t is 64-bit on the systems we build for; the check keeps a 32-bit
// time_t from silently wrapping values after 2038.
bool FitsTimeT(int64_t seconds) {
  return seconds >= static_cast<int64_t>(std::numeric_limits<time_t>::min()) &&
         seconds <= static_cast<int64_t>(std::numeric_limits<time_t>::max());
}
}  // namespace

bool sal::os::BreakDownTime(int64_t seconds, bool utc, std::tm *fields) {
  if (!FitsTimeT(seconds)) return false;
  const time_t t = static_cast<time_t>(seconds);
  return (utc ? gmtime_r(&t, fields) : localtime_r(&t, fields)) != nullptr;
}

int64_t SalNowSeconds() { return static_cast<int64_t>(time(nullptr)); }

int64_t SalMakeLocalSeconds(const std::tm &fields) {
  std::tm copy = fields;
  return static_cast<int64_t>(mktime(&copy));
}

int32_t SalRuntimeTimezone() {
  tzset();
  return static_cast<int32_t>(timezone);
}

bool SalSetTimeZoneRule(const char *rule) {
  const int rc = rule != nullptr ? setenv("TZ", rule, 1) : unsetenv("TZ");
  tzset();
  return rc == 0;
}
