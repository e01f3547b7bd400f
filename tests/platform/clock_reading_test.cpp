// clock_reading_test.cpp - the clock readings against each other and the C
// library's clock; the calendar record and its text.
#include "platform/clock_reading.h"

#include <gtest/gtest.h>

#include <chrono>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <thread>

namespace {

// Sets the TZ variable (null removes it) and makes the runtime re-read it.
// Removing takes "TZ=" on Windows and "TZ" (no '=') with the GNU C library,
// so both are tried.
void SetTimeZone(const char *rule) {
  static std::string storage;  // putenv keeps the string itself
  storage = std::string("TZ=") + (rule != nullptr ? rule : "");
  putenv(&storage[0]);
  if (rule == nullptr && std::getenv("TZ") != nullptr) {
    static char remove[] = "TZ";
    putenv(remove);
  }
  tzset();
}

class TimeZoneGuard {
 public:
  TimeZoneGuard() {
    const char *tz = std::getenv("TZ");
    had_ = tz != nullptr;
    if (had_) saved_ = tz;
  }
  ~TimeZoneGuard() { SetTimeZone(had_ ? saved_.c_str() : nullptr); }

 private:
  bool had_ = false;
  std::string saved_;
};

// Runs read() until two readings of the wall clock's second around it agree,
// so that a second boundary between the readings being compared cannot
// make the test fail.
template <typename F>
void WithinOneSecond(F read) {
  for (int attempt = 0; attempt < 20; ++attempt) {
    const std::time_t before = std::time(nullptr);
    if (read() && std::time(nullptr) == before) return;
  }
  ADD_FAILURE() << "the readings never agreed within one second";
}

}  // namespace

TEST(SalClockReading, ReadingsShareOneEpoch) {
  WithinOneSecond([] {
    SalTimePair now{-1, -1};
    SalGetTimeNow(&now);
    const int64_t ms = SalGetMillisecondsNow();
    const uint64_t fileTime = SalGetFileTimeNow();
    const std::time_t c = std::time(nullptr);
    EXPECT_GE(now.milliseconds, 0);
    EXPECT_LE(now.milliseconds, 999);
    // 100-ns units since 1601 against milliseconds since 1970.
    const int64_t fromFileTime = static_cast<int64_t>(fileTime / 10000) - 11644473600000LL;
    EXPECT_LE(std::llabs(fromFileTime - ms), 1000);
    EXPECT_LE(std::llabs(now.seconds - static_cast<int64_t>(c)), 1);
    return ms / 1000 == now.seconds;
  });
}

TEST(SalClockReading, TickCountCountsMilliseconds) {
  const uint32_t first = SalGetTickCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(60));
  const uint32_t elapsed = SalGetTickCount() - first;  // wraps like the counter
  EXPECT_GE(elapsed, 50u);
  EXPECT_LT(elapsed, 10000u);
}

TEST(SalClockReading, LocalTimeFollowsTheTimeZone) {
  TimeZoneGuard guard;
  for (const auto &zone : {std::make_pair("CET-1", 3600), std::make_pair("EST5", -5 * 3600),
                           std::make_pair("UTC0", 0)}) {
    SCOPED_TRACE(zone.first);
    SetTimeZone(zone.first);
    WithinOneSecond([&] {
      SalTimePair utc{}, local{};
      SalGetTimeNow(&utc);
      SalGetLocalTimeNow(&local);
      return local.seconds - utc.seconds == zone.second;
    });
  }
  SalGetLocalTimeNow(nullptr);  // nothing to fill, no fault
  SalGetTimeNow(nullptr);
}

TEST(SalFormatTimeFields, RangesDecideTheResultAndTheTextUsesTheFieldsRead) {
  ASSERT_NE(std::setlocale(LC_ALL, "C"), nullptr);
  // Records with result 1 get a terminated text with the fields read; the
  // Windows runtime gives no text for the others, whose buffer stays as it
  // was.  "%u" reads -1 as 0xFFFFFFFF; the year has no limit; white space
  // and a sign are skipped, no digits read as 0, missing fields as 0; a
  // field starts after its own bar ("|7abc|" is 7, the next field 30).
  // The parts of the texts are those every locale's long form holds (day 0
  // gives Windows no text to look into).
  const struct {
    const char *record;
    int result;
    const char *part;  // a part of the text
  } cases[] = {
      {"|0|0|0|0|0|0|0|0|", 1, ""},  {"x|59|59|23|31|11|199|6|365|", 1, ":59:59"},
      {"|60|0|0|1|0|100|0|0|", 0, ""},   {"|0|60|0|1|0|100|0|0|", 0, ""},        {"|0|0|24|1|0|100|0|0|", 0, ""},
      {"|0|0|0|32|0|100|0|0|", 0, ""},   {"|0|0|0|1|12|100|0|0|", 0, ""},        {"|0|0|0|1|0|100|7|0|", 0, ""},
      {"|0|0|0|1|0|100|0|366|", 0, ""},  {"|-1|0|0|1|0|100|0|0|", 0, ""},        {"|4294967296|0|0|1|0|100|0|0|", 0, ""},
      {"|0|0|0|1|0|-1|0|0|", 1, ""},     {"|0|0|0|1|0|2147483647|0|0|", 1, ""},  {"|  +7|x|0|1|0|100|0|0|", 1, ":00:07"},
      {"|5|4", 1, ""},           {"no bars at all", 1, ""},      {"", 0, ""},
      {"|7abc|30|1|1|0|70|4|0|", 1, ":30:07"},
      // 1999-02-14 03:04:05, a Sunday, day 44 of the year.
      {"record|5|4|3|14|1|99|0|44|ignored|77", 1, "1999"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.record);
    char buffer[200];
    std::memset(buffer, 'Q', sizeof buffer);
    EXPECT_EQ(SalFormatTimeFields(buffer, sizeof buffer, c.record), c.result);
    if (c.result == 0) {
      EXPECT_EQ(buffer[0], 'Q');
    } else {
      ASSERT_NE(std::memchr(buffer, 0, sizeof buffer), nullptr);
      EXPECT_NE(std::string(buffer).find(c.part), std::string::npos) << buffer;
    }
  }
  EXPECT_STREQ(std::setlocale(LC_ALL, nullptr), "C") << "the caller's locale is left as it was";
  // A minus sign negates modulo 2^32: "-4294967295" is 1, as "1" is.
  char text[200] = "", same[200] = "";
  ASSERT_EQ(SalFormatTimeFields(same, sizeof same, "|1|-4294967295|1|1|0|70|4|0|"), 1);
  ASSERT_EQ(SalFormatTimeFields(text, sizeof text, "|1|1|1|1|0|70|4|0|"), 1);
  EXPECT_STREQ(same, text);
  // Too small a buffer gets the empty text, nothing written past the capacity.
  std::memset(text, 'Q', 12);
  EXPECT_EQ(SalFormatTimeFields(text, 4, "|5|4|3|14|1|99|0|44|"), 1);
  EXPECT_EQ(text[0], '\0');
  EXPECT_EQ(std::string(text + 4, 8), "QQQQQQQQ");
  char untouched[8] = "Q";
  EXPECT_EQ(SalFormatTimeFields(untouched, 0, "|0|0|0|1|0|100|0|0|") + SalFormatTimeFields(nullptr, 8, "|0|") +
                SalFormatTimeFields(untouched, sizeof untouched, nullptr),
            0);
  EXPECT_STREQ(untouched, "Q");
}
