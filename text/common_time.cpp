// common_time.cpp - CCommonTime over the runtime's 64-bit calendar
// conversions (platform/clock.h) and strftime.
#include "text/common_time.h"

#include <clocale>
#include <cstring>

#include "platform/clock.h"

namespace {
// True when local time is in daylight saving at the moment now.
bool DaylightSavingAt(int64_t now) {
  std::tm local{};
  return SalLocalFields(now, &local) && local.tm_isdst > 0;
}

// mktime of fields less the time-zone value; -1 when mktime fails.
int64_t MktimeLessTimezone(const std::tm &fields) {
  const int64_t local = SalMakeLocalSeconds(fields);
  return local == -1 ? -1 : local - SalRuntimeTimezone();
}
}  // namespace

CCommonTime::CCommonTime() : std::tm{}, kind_(COMMON_TIME_NOT_SET), time_(-1) {}

CCommonTime::~CCommonTime() = default;

int CCommonTime::Take(int64_t time, int32_t kind) {
  std::tm fields{};
  const bool converted =
      kind == COMMON_TIME_LOCAL ? SalLocalFields(time, &fields) : SalUtcFields(time, &fields);
  // A failed conversion leaves the whole object as it was, so that GetTime,
  // ToTime and Format keep describing one and the same moment.
  if (!converted) return 0;
  static_cast<std::tm &>(*this) = fields;
  time_ = time;
  kind_ = kind;
  return 1;
}

int CCommonTime::SetNowLocal() { return Take(SalNowSeconds(), COMMON_TIME_LOCAL); }

int CCommonTime::SetNowUtc() { return Take(SalNowSeconds(), COMMON_TIME_UTC); }

int CCommonTime::SetLocal(int64_t time) { return Take(time, COMMON_TIME_LOCAL); }

int CCommonTime::SetUtc(int64_t time) { return Take(time, COMMON_TIME_UTC); }

int64_t CCommonTime::GetTime() const { return kind_ != COMMON_TIME_NOT_SET ? time_ : -1; }

int64_t CCommonTime::ToTime() const {
  switch (kind_) {
    case COMMON_TIME_LOCAL:
      return SalMakeLocalSeconds(*this);
    case COMMON_TIME_UTC:
      return MktimeLessTimezone(*this);
    default:
      return 0;
  }
}

int CCommonTime::Format(char *buffer, size_t capacity, const char *format, int userLocale) const {
  if (buffer == nullptr || format == nullptr || capacity < 2 || kind_ == COMMON_TIME_NOT_SET)
    return 0;
  std::setlocale(LC_TIME, userLocale != 0 ? "" : "C");
  const size_t written = std::strftime(buffer, capacity, format, this);
  if (written == 0) {
    // strftime leaves the buffer undefined when the text does not fit; some
    // runtimes leave the part that fitted without a terminator.  Keep the
    // buffer an empty, terminated text.
    buffer[0] = '\0';
    buffer[capacity - 1] = '\0';
    return 0;
  }
  return 1;
}

int32_t CCommonTime::GetTimezone() { return SalRuntimeTimezone(); }

int64_t CCommonTime::Now() { return SalNowSeconds(); }

int32_t CCommonTime::GetUtcOffsetNow() {
  const int32_t zone = SalRuntimeTimezone();
  return zone != 0 && DaylightSavingAt(SalNowSeconds()) ? zone - 3600 : zone;
}

int64_t CCommonTime::NowLocalSeconds() {
  const int32_t zone = SalRuntimeTimezone();
  const int64_t now = SalNowSeconds();
  return zone != 0 && DaylightSavingAt(now) ? now - zone + 3600 : now - zone;
}

int64_t CCommonTime::NowUtcByMktime() {
  std::tm fields{};
  if (!SalUtcFields(SalNowSeconds(), &fields)) return -1;
  return MktimeLessTimezone(fields);
}

int64_t CCommonTime::NowLocalByMktime() {
  std::tm fields{};
  if (!SalLocalFields(SalNowSeconds(), &fields)) return -1;
  return MktimeLessTimezone(fields);
}

CCommonString CCommonTime::FormatNow(const char *format) {
  char buffer[100];
  buffer[0] = '\0';
  CCommonTime now;
  if (now.SetNowLocal() == 0 || now.Format(buffer, sizeof buffer, format, 1) == 0)
    return CCommonString();
  return CCommonString(buffer);
}
