// clock_os.h - private: the runtime's calendar conversion behind
// SalLocalFields and SalUtcFields.  The backend files define the other
// functions of platform/clock.h themselves: each is one runtime call.
#ifndef SAL_CLOCK_OS_H
#define SAL_CLOCK_OS_H

#include <cstdint>
#include <ctime>

namespace sal::os {
/// Broken-down local time (utc false) or UTC time of seconds into *fields,
/// by the runtime's 64-bit conversion; false when it cannot convert the
/// value (*fields may then hold anything).
bool BreakDownTime(int64_t seconds, bool utc, std::tm *fields);
}  // namespace sal::os

#endif  // SAL_CLOCK_OS_H
