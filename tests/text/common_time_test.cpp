// common_time_test.cpp - CCommonTime in time zones fixed through TZ.
#include "text/common_time.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <limits>
#include <string>

#include "base/code_page.h"
#include "platform/clock.h"
#include "support/dbcs_fixture.h"

namespace {
constexpr int64_t kNever = std::numeric_limits<int64_t>::max();  // no runtime converts it
const char kLogLine[] = "%Y-%m-%d %H:%M:%S ";

// TZ rules with their standard offsets west of UTC.  The Windows runtime
// reads a name, the hours west of UTC and whether a daylight name follows,
// and applies daylight saving by rules of its own (under Wine: never); POSIX
// also reads the rules after the comma.
const char kEastOne[] = "XXX-1";  // one hour east of UTC, no daylight saving
const struct {
  const char *rule;
  int32_t west;
} kZones[] = {{kEastOne, -3600}, {"YYY+5", 18000}, {"UTC0", 0}, {"CET-1CEST,M3.5.0,M10.5.0/3", -3600},
              {"AES-10AED,M10.1.0,M4.1.0/3", -36000}, {"AAA-1BBB,J1/0,J365/25", -3600}};  // the last: POSIX daylight all year

// Seconds since 1970 of calendar fields read as UTC, by civil-calendar
// arithmetic (days since 1970-01-01 of the proleptic Gregorian calendar),
// independently of the C runtime.
int64_t CivilSeconds(const std::tm &f) {
  const int month = f.tm_mon + 1;
  const int64_t year = f.tm_year + 1900 - (month <= 2 ? 1 : 0);
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yearOfEra = year - era * 400;
  const int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + f.tm_mday - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  const int64_t days = era * 146097 + dayOfEra - 719468;
  return days * 86400 + f.tm_hour * 3600 + f.tm_min * 60 + f.tm_sec;
}

// Format's text, or "<nothing>" when it wrote none.
std::string Formatted(const CCommonTime &t, const char *format, int userLocale = 0) {
  char buffer[128];
  return t.Format(buffer, sizeof buffer, format, userLocale) == 1 ? buffer : "<nothing>";
}

// Restores TZ and the LC_TIME category, which the tests change.
class CCommonTimeTest : public testing::Test {
 protected:
  void SetUp() override {
    const char *zone = std::getenv("TZ");
    hadZone_ = zone != nullptr;
    if (hadZone_) savedZone_ = zone;
  }
  void TearDown() override { SalSetTimeZoneRule(hadZone_ ? savedZone_.c_str() : nullptr); }
  static void UseZone(const char *rule) { ASSERT_TRUE(SalSetTimeZoneRule(rule)) << rule; }

 private:
  bool hadZone_ = false;
  std::string savedZone_;
};
}  // namespace

TEST_F(CCommonTimeTest, FailedConversionsChangeNothingAndFormatsThatDoNotFitLeaveAnEmptyText) {
  UseZone(kEastOne);
  CCommonTime fresh;
  EXPECT_EQ(fresh.SetLocal(kNever) + fresh.SetUtc(kNever) + fresh.ToTime(), 0);
  EXPECT_EQ(fresh.GetTime(), -1);
  char buffer[8] = "#";
  EXPECT_EQ(fresh.Format(buffer, sizeof buffer, kLogLine, 0), 0);
  EXPECT_EQ(buffer[0], '#');

  CCommonTime set;
  ASSERT_EQ(set.SetUtc(86400), 1);
  EXPECT_EQ(set.SetUtc(kNever) + set.SetLocal(kNever), 0);
  EXPECT_EQ(set.GetTime(), 86400) << "time and fields must stay one moment";
  EXPECT_EQ(set.ToTime(), 86400);
  EXPECT_EQ(Formatted(set, kLogLine), "1970-01-02 00:00:00 ");
  ASSERT_EQ(set.SetLocal(0), 1);
  EXPECT_EQ(Formatted(set, kLogLine), "1970-01-01 01:00:00 ");
  // "1970-01-01 00:00:00 " is 20 characters: it needs 21 bytes.
  CCommonTime t;
  ASSERT_EQ(t.SetUtc(0), 1);
  for (size_t capacity : {0u, 1u, 2u, 20u, 21u}) {
    SCOPED_TRACE(capacity);
    char out[32];
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(t.Format(out, capacity, kLogLine, 0), capacity == 21 ? 1 : 0);
    if (capacity < 2) {
      EXPECT_EQ(out[0], '#') << "no room for a character: nothing written";
    } else if (capacity == 21) {
      EXPECT_STREQ(out, "1970-01-01 00:00:00 ");
    } else {
      EXPECT_EQ(out[capacity - 1], '\0') << "the last byte must terminate";
      EXPECT_EQ(out[0], '\0') << "no part of the text may remain readable";
    }
    EXPECT_EQ(out[capacity], '#') << "wrote beyond the capacity";
  }
  EXPECT_EQ(t.Format(nullptr, 8, kLogLine, 0) + t.Format(buffer, sizeof buffer, nullptr, 0), 0);
  EXPECT_EQ(buffer[0], '#');
  EXPECT_EQ(t.Format(buffer, sizeof buffer, "", 0), 0) << "an empty text is no character";
  EXPECT_STREQ(std::setlocale(LC_TIME, nullptr), "C") << "Format leaves LC_TIME at C";
}

// Local and UTC fields of fixed moments, and of now (whether daylight saving
// is in force depends on the date of the run: the offset in force is read
// from the local fields, so the checks hold on any date).
TEST_F(CCommonTimeTest, FieldsCarryTheOffsetInForceAndConvertBack) {
  const int64_t times[] = {
      86400, 1673000000, 1689000000,  // 1970-01-02, January and July 2023
      1698539400, 1698543000,         // 2023-10-29 02:30 CEST and CET, both passes through the repeated hour
      32503680000,                    // 3000-01-01, beyond 32-bit seconds, near the end of the Windows runtime's range
  };
  for (const auto &z : kZones) {
    SCOPED_TRACE(z.rule);
    UseZone(z.rule);
    EXPECT_EQ(CCommonTime::GetTimezone(), z.west);
    for (int64_t time : times) {
      CCommonTime local, utc;
      ASSERT_EQ(local.SetLocal(time) + utc.SetUtc(time), 2);
      EXPECT_EQ(local.ToTime(), time);
      EXPECT_EQ(CivilSeconds(local) - time, -z.west + (local.tm_isdst > 0 ? 3600 : 0)) << time;
      EXPECT_TRUE(utc.ToTime() == time && CivilSeconds(utc) == time && utc.tm_isdst == 0) << time;
    }
    const auto before = static_cast<int64_t>(std::time(nullptr));
    CCommonTime local, utc;
    ASSERT_EQ(local.SetNowLocal() + utc.SetNowUtc(), 2);
    const int64_t east = CivilSeconds(local) - local.GetTime();  // the offset in force now
    EXPECT_EQ(CCommonTime::GetUtcOffsetNow(), -east);
    const int64_t localSeconds = CCommonTime::NowLocalSeconds(), utcByMktime = CCommonTime::NowUtcByMktime();
    const int64_t localByMktime = CCommonTime::NowLocalByMktime(), now = CCommonTime::Now();
    const auto after = static_cast<int64_t>(std::time(nullptr));
    EXPECT_EQ(CivilSeconds(utc), utc.GetTime());
    for (int64_t t : {now, local.GetTime(), utc.GetTime(), utcByMktime}) EXPECT_TRUE(t >= before && t <= after) << t;
    EXPECT_TRUE(localSeconds >= before + east && localSeconds <= after + east);
    // mktime honours the daylight flag of the local fields: only the standard offset is taken off.
    EXPECT_TRUE(localByMktime >= before - z.west && localByMktime <= after - z.west);
  }
}

TEST_F(CCommonTimeTest, FormatNowWritesLocalTimeIntoAHundredBytes) {
  UseZone(kEastOne);
  const int64_t before = CCommonTime::Now();
  const std::string text = CCommonTime::FormatNow("%Y-%m-%d %H:%M").CStr();
  const int64_t after = CCommonTime::Now();
  CCommonTime first;
  CCommonTime last;
  ASSERT_EQ(first.SetLocal(before), 1);
  ASSERT_EQ(last.SetLocal(after), 1);
  EXPECT_TRUE(text == Formatted(first, "%Y-%m-%d %H:%M") || text == Formatted(last, "%Y-%m-%d %H:%M"))
      << text;
  const std::string fits(99, 'x');
  EXPECT_STREQ(CCommonTime::FormatNow(fits.c_str()).CStr(), fits.c_str());
  EXPECT_STREQ(CCommonTime::FormatNow(std::string(100, 'x').c_str()).CStr(), "");
  EXPECT_STREQ(CCommonTime::FormatNow(nullptr).CStr(), "");
}

using CCommonTimeDbcs = Cp932Test;

TEST_F(CCommonTimeDbcs, UserLocaleSpeaksTheEnvironmentsLanguage) {
  const std::string saved = std::setlocale(LC_TIME, nullptr);
  CCommonTime thursday;
  ASSERT_EQ(thursday.SetUtc(0), 1);
  const std::string user = Formatted(thursday, "%a", 1);
  const std::string userCategory = std::setlocale(LC_TIME, nullptr);
  EXPECT_EQ(Formatted(thursday, "%a", 0), "Thu");
  EXPECT_EQ(userCategory, std::setlocale(LC_TIME, "")) << "the user's locale is the environment's";
  std::setlocale(LC_TIME, saved.c_str());
  const char *expected = std::getenv("VBS_EXPECT_ACP");
  if (expected != nullptr && std::strcmp(expected, "932") == 0) {
    // The cp932 runs are Japanese: Thursday is one double-byte character,
    // 0x96 0xD8 in Shift_JIS, whose lead byte the library recognizes.
    EXPECT_EQ(user, "\x96\xD8");
    EXPECT_TRUE(SalIsLeadByte(0x96));
  } else {
    EXPECT_NE(user, "<nothing>");
  }
}
