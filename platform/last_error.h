// last_error.h - the calling thread's last-error value.
#ifndef SAL_LAST_ERROR_H
#define SAL_LAST_ERROR_H

#include <cstdint>

/// Sets the calling thread's last-error value and returns code, so that a
/// failing path can write `return SalSetLastError(code), 0;`.  Components set
/// it only on their failing paths.
uint32_t SalSetLastError(uint32_t code);

/// Records code as the calling thread's last-error value and returns it, like
/// SalSetLastError.  Components use it for the failures worth keeping in the
/// process-wide error history (which the message layer keeps later).
uint32_t SalRecordLastError(uint32_t code);

/// The calling thread's last-error value; 0 when nothing was set yet.
uint32_t SalGetLastError();

#endif  // SAL_LAST_ERROR_H
