// clock.cpp - the broken-down times over the backend's conversion.
#include "platform/clock.h"

#include "platform/os/clock_os.h"

namespace {
// Converts into a record of its own, so that *out changes only on success.
bool Fields(int64_t seconds, bool utc, std::tm *out) {
  if (out == nullptr) return false;
  std::tm fields{};
  if (!sal::os::BreakDownTime(seconds, utc, &fields)) return false;
  *out = fields;
  return true;
}
}  // namespace

bool SalLocalFields(int64_t seconds, std::tm *out) { return Fields(seconds, false, out); }

bool SalUtcFields(int64_t seconds, std::tm *out) { return Fields(seconds, true, out); }
