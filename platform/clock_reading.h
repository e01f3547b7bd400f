// clock_reading.h - the current time in the forms programs ask for, and the
// system's long date-and-time text of a serialised calendar record.
#ifndef SAL_CLOCK_READING_H
#define SAL_CLOCK_READING_H

#include <cstddef>
#include <cstdint>

/// A moment as whole seconds since 1970-01-01 00:00:00 and the milliseconds
/// of the current second (0-999).
struct SalTimePair {
  int64_t seconds;       // since 1970-01-01 00:00:00 (UTC, or local wall clock)
  int64_t milliseconds;  // 0-999, the fraction of the current second
};

/// The current system time as 100-nanosecond intervals since 1601-01-01
/// 00:00 UTC (the Windows file-time scale).
uint64_t SalGetFileTimeNow();

/// Milliseconds since 1970-01-01 00:00 UTC.
int64_t SalGetMillisecondsNow();

/// Milliseconds since the system started, wrapping at 2^32 (about 49.7
/// days).  On POSIX the monotonic clock, which does not count time the
/// system spent suspended.
uint32_t SalGetTickCount();

/// Fills *now with the current UTC time.  Nothing for null.
void SalGetTimeNow(SalTimePair *now);

/// Fills *now with the current local wall-clock time: the UTC seconds of
/// the same reading shifted by the local offset from UTC, daylight saving
/// included; the milliseconds stay.  Nothing for null.
void SalGetLocalTimeNow(SalTimePair *now);

/// Writes the long date-and-time text of the user's locale for a calendar
/// record into buffer.  The record is text whose k-th field (k = 1..8) is
/// the unsigned decimal number after its k-th '|' (leading white space and
/// one sign allowed, as with "%u"; no digits, or no k-th '|', reads as 0;
/// anything before the first '|' and after a ninth is ignored): seconds,
/// minutes, hours, day of month, month (0-11), years since 1900, day of
/// week (0-6, Sunday 0), day of year (0-365).
///
/// Returns 0, writing nothing, for a null or zero-capacity buffer, a null or
/// empty record, or a field out of range (each taken as a signed 32-bit
/// number: seconds and minutes 0-59, hours 0-23, day of month 0-31, month
/// 0-11, day of week 0-6, day of year 0-365; any year).  Otherwise returns
/// 1; a text that does not fit leaves the buffer holding the empty text.
///
/// The text is composed in the locale the environment names for the user
/// (Windows: the user's locale with the ANSI code page, ".ACP"; POSIX: the
/// locale of LANG / LC_*).  The caller's locale is left as it was: POSIX
/// formats with a locale object private to the calling thread; Windows
/// switches the calling thread to a locale of its own for the call and
/// back, so other threads never see the change.
int SalFormatTimeFields(char *buffer, size_t capacity, const char *record);

#endif  // SAL_CLOCK_READING_H
