// clock_reading_os.h - private: what each OS supplies for the clock readings.
#ifndef SAL_CLOCK_READING_OS_H
#define SAL_CLOCK_READING_OS_H

#include <cstddef>
#include <cstdint>
#include <ctime>

namespace sal::os {
/// 100-nanosecond intervals since 1601-01-01 UTC.
uint64_t FileTimeNow();
/// One reading of the clock: UTC seconds since 1970, the milliseconds, and
/// the seconds to add for local wall-clock time at that moment.
void ReadClock(int64_t *seconds, int64_t *milliseconds, int64_t *localShift);
/// Milliseconds since system start, wrapping.
uint32_t TickCount();
/// strftime of the long date-and-time form in the user's locale into
/// buffer; the caller's locale stays as it was.  Returns strftime's count
/// (0 when the text did not fit or could not be made).
size_t FormatLongDateTime(char *buffer, size_t capacity, const std::tm &fields);
}  // namespace sal::os

#endif  // SAL_CLOCK_READING_OS_H
