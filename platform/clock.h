// clock.h - the runtime's clock and calendar conversions in 64-bit form,
// and its time-zone setting.
#ifndef SAL_CLOCK_H
#define SAL_CLOCK_H

#include <cstdint>
#include <ctime>

/// The current time in seconds since 1970-01-01 00:00 UTC.
int64_t SalNowSeconds();

/// Broken-down local time of seconds, daylight-saving flag included, by the
/// runtime's 64-bit conversion.  False when the runtime cannot convert the
/// value: Windows converts 1970-01-01 00:00 UTC to 3000-12-31 23:59:59 UTC,
/// POSIX systems any value whose year fits an int.  *out is unchanged then.
bool SalLocalFields(int64_t seconds, std::tm *out);

/// Broken-down UTC time of seconds; daylight-saving flag 0.  As
/// SalLocalFields for the range.
bool SalUtcFields(int64_t seconds, std::tm *out);

/// The runtime's mktime of a copy of fields, read as local time (a
/// daylight-saving flag of 0 means standard time, above 0 daylight time, below
/// 0 let the runtime decide).  -1 when the runtime cannot represent it.
int64_t SalMakeLocalSeconds(const std::tm &fields);

/// The runtime's time-zone value: seconds west of UTC, daylight saving not
/// counted.  Re-reads the TZ setting first (tzset), so a changed TZ counts.
int32_t SalRuntimeTimezone();

/// Sets the process's TZ rule and makes the runtime re-read it; null removes
/// it, so the system's zone applies.  POSIX takes TZ rules such as
/// "CET-1CEST,M3.5.0,M10.5.0/3"; the Windows runtime reads a name, an offset
/// west in hours and an optional daylight name ("CET-1CEST") and applies
/// daylight saving by its own rules.  False when the environment refused it.
bool SalSetTimeZoneRule(const char *rule);

#endif  // SAL_CLOCK_H
