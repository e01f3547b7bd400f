// last_error.cpp - the per-thread last-error value and the history of
// recorded codes.
#include "base/last_error.h"

#include <new>

#include "base/critical_section.h"

namespace {
thread_local uint32_t t_lastError = 0;

// The history: newest first, at most kSalLastErrorHistorySize codes.  It
// and its lock are made at the first recorded code and live until the
// process ends (never destroyed, so that threads still recording while the
// process shuts down find them intact).
struct History {
  CSalCriticalSection lock;
  uint32_t codes[kSalLastErrorHistorySize];
  uint32_t size = 0;
};

History *TheHistory() {
  // A function-local static is initialised once even when several threads
  // arrive together; the object is deliberately leaked.
  static History *const history = new (std::nothrow) History();
  return history;
}
}  // namespace

uint32_t SalSetLastError(uint32_t code) {
  t_lastError = code;
  return code;
}

uint32_t SalGetLastError() { return t_lastError; }

void SalRecordLastError(uint32_t code) {
  if (code != 0 && code != t_lastError) {
    if (History *h = TheHistory()) {
      CSalLock guard(&h->lock);
      const uint32_t keep = h->size < kSalLastErrorHistorySize ? h->size : kSalLastErrorHistorySize - 1;
      for (uint32_t i = keep; i > 0; --i) h->codes[i] = h->codes[i - 1];
      h->codes[0] = code;
      h->size = keep + 1;
    }
  }
  t_lastError = code;
}

int SalGetLastErrorHistory(uint32_t *codes, uint32_t *count) {
  const uint32_t wanted = count != nullptr ? *count : 0;
  History *h = TheHistory();
  if (h == nullptr) {
    if (count != nullptr) *count = 0;
    return 1;
  }
  CSalLock guard(&h->lock);
  const int result = (codes == nullptr || wanted >= h->size) ? 1 : 0;
  if (codes != nullptr) {
    const uint32_t n = wanted < h->size ? wanted : h->size;
    for (uint32_t i = 0; i < n; ++i) codes[i] = h->codes[i];
  }
  if (count != nullptr) *count = h->size;
  return result;
}
