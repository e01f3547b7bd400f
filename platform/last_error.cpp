// last_error.cpp - the per-thread last-error value.
#include "platform/last_error.h"

namespace {
thread_local uint32_t t_lastError = 0;
}  // namespace

uint32_t SalSetLastError(uint32_t code) {
  t_lastError = code;
  return code;
}

// The process-wide history of recorded codes is kept by the message layer later.
uint32_t SalRecordLastError(uint32_t code) { return SalSetLastError(code); }

uint32_t SalGetLastError() { return t_lastError; }
