// win32/clock_os.cpp - clock and calendar conversions over the Microsoft C
// runtime's 64-bit time functions.
#include <stdlib.h>
#include <time.h>

#include <cstdint>
#include <ctime>

#include "platform/clock.h"
#include "platform/os/clock_os.h"

bool sal::os::BreakDownTime(int64_t seconds, bool utc, std::tm *fields) {
  const __time64_t t = seconds;
  return (utc ? _gmtime64_s(fields, &t) : _localtime64_s(fields, &t)) == 0;
}

int64_t SalNowSeconds() { return static_cast<int64_t>(_time64(nullptr)); }

int64_t SalMakeLocalSeconds(const std::tm &fields) {
  std::tm copy = fields;
  return static_cast<int64_t>(_mktime64(&copy));
}

int32_t SalRuntimeTimezone() {
  // msvcrt.dll keeps the value in _timezone; _get_timezone is missing from
  // the older runtimes the DLL must load on.
  _tzset();
  return static_cast<int32_t>(_timezone);
}

bool SalSetTimeZoneRule(const char *rule) {
  // An empty value removes the variable from the runtime's environment.
  const errno_t rc = _putenv_s("TZ", rule != nullptr ? rule : "");
  _tzset();
  return rc == 0;
}
