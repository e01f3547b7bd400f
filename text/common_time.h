// common_time.h - CCommonTime: a point in time held as seconds since 1970
// and as broken-down local or UTC calendar fields, with strftime formatting.
#ifndef COMMON_COMMON_TIME_H
#define COMMON_COMMON_TIME_H

#include <cstddef>
#include <cstdint>
#include <ctime>

#include "base/common_string.h"

/// Kinds of the calendar fields a CCommonTime holds.
enum : int32_t {
  COMMON_TIME_NOT_SET = 0,
  COMMON_TIME_LOCAL = 1,
  COMMON_TIME_UTC = 2,
};

/// A time value: the runtime's broken-down record (the inherited tm fields)
/// plus the seconds since 1970-01-01 00:00 UTC it was made from.  Not set
/// until one of the four setters succeeds; a failed setter changes nothing.
///
/// The time-zone value below is the C runtime's: seconds west of UTC with
/// daylight saving not counted (TZ as the runtime reads it).
class CCommonTime : public std::tm {
 public:
  /// All calendar fields 0, not set, time -1.
  CCommonTime();
  virtual ~CCommonTime();

  /// Takes the current time and its local calendar fields.  Returns 1, or 0
  /// when the runtime cannot convert it (the object is then unchanged).
  int SetNowLocal();
  /// Takes the current time and its UTC calendar fields; result as SetNowLocal.
  int SetNowUtc();
  /// Takes time and its local calendar fields.  Returns 0, changing nothing,
  /// when the runtime cannot convert it (Windows: before 1970 or after the
  /// year 3000).
  int SetLocal(int64_t time);
  /// Takes time and its UTC calendar fields; result as SetLocal.
  int SetUtc(int64_t time);

  /// The seconds since 1970 of the last successful setter; -1 when not set.
  int64_t GetTime() const;
  /// Seconds since 1970 computed back from the calendar fields: their mktime
  /// for local fields, their mktime less the time-zone value for UTC fields
  /// (which carry no daylight saving, so this is exact).  0 when not set; -1
  /// when the runtime cannot represent the fields.
  int64_t ToTime() const;

  /// Formats the calendar fields with strftime into buffer of capacity
  /// bytes (terminator included).  First sets the process's LC_TIME category
  /// to the user's default locale ("") when userLocale is nonzero, else to
  /// "C"; that setting stays in force for the whole process afterwards.
  /// Returns 1 when at least one character was written.  Returns 0 and
  /// leaves the buffer untouched for a null buffer or format, a capacity
  /// below 2 or an object that is not set; returns 0 with the first and the
  /// last byte of the buffer set to 0 when the text is empty or does not fit.
  int Format(char *buffer, size_t capacity, const char *format, int userLocale) const;

  /// The runtime's time-zone value (seconds west of UTC, no daylight saving).
  static int32_t GetTimezone();
  /// The current time in seconds since 1970.
  static int64_t Now();
  /// The time-zone value, less 3600 when local time is now in daylight
  /// saving and the time-zone value is not 0: the current offset west of UTC.
  static int32_t GetUtcOffsetNow();
  /// The current local wall-clock time counted as seconds since 1970: Now
  /// less the time-zone value, plus 3600 when local time is now in daylight
  /// saving and the time-zone value is not 0.
  static int64_t NowLocalSeconds();
  /// mktime of the UTC calendar fields of now, less the time-zone value
  /// (that is, now again); -1 when the runtime cannot convert now.
  static int64_t NowUtcByMktime();
  /// mktime of the local calendar fields of now, less the time-zone value
  /// (now shifted by the standard offset only); -1 when the runtime cannot
  /// convert now.
  static int64_t NowLocalByMktime();
  /// The local time now formatted by Format with the user's locale into 100
  /// bytes; an empty text when nothing was written.
  static CCommonString FormatNow(const char *format);

 private:
  // Stores time and fields when the conversion worked.
  int Take(int64_t time, int32_t kind);

  int32_t kind_;  // COMMON_TIME_NOT_SET, _LOCAL or _UTC: what the tm fields hold
  int64_t time_;  // seconds since 1970-01-01 00:00 UTC; -1 when not set
};

#endif  // COMMON_COMMON_TIME_H
