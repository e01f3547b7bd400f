// clock_reading.cpp - clock readings over the backend, and the calendar
// record of SalFormatTimeFields: its fields, their ranges, the text.
#include "platform/clock_reading.h"

#include <cstring>
#include <ctime>

#include "platform/os/clock_reading_os.h"

namespace {

constexpr int kFields = 8;

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The number at text as "%u" reads it: leading white space, one optional
// sign, decimal digits.  No digits read as 0.  A value beyond 32 bits reads
// as 0xFFFFFFFF, and a minus sign negates modulo 2^32, so "-1" is
// 0xFFFFFFFF as well.
uint32_t ReadUnsigned(const char *text) {
  while (IsSpace(*text)) ++text;
  bool negative = false;
  if (*text == '+' || *text == '-') negative = *text++ == '-';
  uint64_t value = 0;
  bool overflow = false;
  for (; *text >= '0' && *text <= '9'; ++text) {
    value = value * 10 + static_cast<uint64_t>(*text - '0');
    if (value > 0xFFFFFFFFu) {
      overflow = true;
      value = 0xFFFFFFFFu;  // keep reading digits, the value stays saturated
    }
  }
  if (overflow) return 0xFFFFFFFFu;
  const auto v = static_cast<uint32_t>(value);
  return negative ? 0u - v : v;
}

// The eight fields of a record; a field without its '|' reads as 0.
void ReadFields(const char *record, int32_t fields[kFields]) {
  const char *bar = std::strchr(record, '|');
  for (int k = 0; k < kFields; ++k) {
    if (bar == nullptr) {
      fields[k] = 0;
      continue;
    }
    fields[k] = static_cast<int32_t>(ReadUnsigned(bar + 1));
    bar = std::strchr(bar + 1, '|');
  }
}

}  // namespace

uint64_t SalGetFileTimeNow() { return sal::os::FileTimeNow(); }

int64_t SalGetMillisecondsNow() {
  int64_t seconds = 0, milliseconds = 0, shift = 0;
  sal::os::ReadClock(&seconds, &milliseconds, &shift);
  return seconds * 1000 + milliseconds;
}

uint32_t SalGetTickCount() { return sal::os::TickCount(); }

void SalGetTimeNow(SalTimePair *now) {
  if (now == nullptr) return;
  int64_t shift = 0;
  sal::os::ReadClock(&now->seconds, &now->milliseconds, &shift);
}

void SalGetLocalTimeNow(SalTimePair *now) {
  if (now == nullptr) return;
  int64_t shift = 0;
  sal::os::ReadClock(&now->seconds, &now->milliseconds, &shift);
  now->seconds += shift;
}

int SalFormatTimeFields(char *buffer, size_t capacity, const char *record) {
  if (buffer == nullptr || capacity == 0 || record == nullptr || *record == '\0') return 0;
  int32_t f[kFields];
  ReadFields(record, f);
  // Seconds, minutes, hours, day of month, month, (year: any), day of week,
  // day of year.
  static const struct {
    int index;
    int32_t low, high;
  } kRanges[] = {{0, 0, 59}, {1, 0, 59}, {2, 0, 23}, {3, 0, 31}, {4, 0, 11}, {6, 0, 6}, {7, 0, 365}};
  for (const auto &r : kRanges)
    if (f[r.index] < r.low || f[r.index] > r.high) return 0;

  std::tm fields{};
  fields.tm_sec = f[0];
  fields.tm_min = f[1];
  fields.tm_hour = f[2];
  fields.tm_mday = f[3];
  fields.tm_mon = f[4];
  fields.tm_year = f[5];
  fields.tm_wday = f[6];
  fields.tm_yday = f[7];
  fields.tm_isdst = 0;
  // strftime leaves the buffer's contents unspecified when the text does
  // not fit; the caller gets the empty text instead.
  if (sal::os::FormatLongDateTime(buffer, capacity, fields) == 0) buffer[0] = '\0';
  return 1;
}
