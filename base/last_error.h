// last_error.h - the calling thread's last-error value and the process-wide
// history of recorded codes.
#ifndef SAL_LAST_ERROR_H
#define SAL_LAST_ERROR_H

#include <cstdint>

/// Sets the calling thread's last-error value and returns code, so that a
/// failing path can write `return SalSetLastError(code), 0;`.  Components set
/// it only on their failing paths.
uint32_t SalSetLastError(uint32_t code);

/// The calling thread's last-error value; 0 when nothing was set yet.
uint32_t SalGetLastError();

/// Sets the calling thread's last-error value to code and, when code is not
/// 0 and differs from the value the thread held before, also puts it at the
/// front of the process-wide history, which keeps the newest 11 codes.
/// Any thread; the history has a lock of its own.
void SalRecordLastError(uint32_t code);

/// Copies the history, newest first, into codes: at most *count codes.
/// *count becomes the number of codes the history holds, also when it was
/// smaller.  Returns 1 when codes is null or *count covered the whole
/// history, else 0.  A null count is treated as a count of 0.
int SalGetLastErrorHistory(uint32_t *codes, uint32_t *count);

/// The most codes the history keeps.
constexpr uint32_t kSalLastErrorHistorySize = 11;

#endif  // SAL_LAST_ERROR_H
