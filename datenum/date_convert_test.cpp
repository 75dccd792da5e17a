// Date-time conversion: the accepted text, its checks in order, and the
// calendar seconds in several time zones.
#include "datenum/date_convert.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <climits>
#include <ctime>
#include <ostream>
#include <string>
#include <vector>

#include "testing/host_platform.h"

namespace datenum {
namespace {

// Seconds from 1970-01-01 00:00:00 to a date-time on the UTC calendar,
// worked out by plain day counting (independent of the C library).
long long CivilSeconds(int year, int month, int day, int h, int m, int s) {
  year -= month <= 2;
  long long era = (year >= 0 ? year : year - 399) / 400;
  long long yoe = year - era * 400;
  long long doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  long long days = era * 146097 + doe - 719468;
  return days * 86400 + h * 3600LL + m * 60LL + s;
}

// "Now" for the conversions: the middle of January and of July 2001 (UTC).
constexpr std::time_t kJanuary = 979560000;
constexpr std::time_t kJuly = 995198400;

struct Zone {
  const char* tz;
  // The same zone in the Windows C run-time's TZ form (name, offset, name of
  // the summer time, whose dates it takes from the US rules); nullptr when
  // that form cannot say it.
  const char* windowsTz;
  long long standardWest;  // seconds to add to local standard time for UTC
  long long summerWest;
  bool summerInJanuary;
  bool summerInJuly;
};

void PrintTo(const Zone& zone, std::ostream* os) { *os << "TZ=" << zone.tz; }

struct Case {
  const char* text;
  int y, mo, d, h, mi, s;
};

const Zone kZones[] = {
    {"UTC0", "UTC0", 0, 0, false, false},
    {"EST5EDT,M3.2.0,M11.1.0", "EST5EDT", 5 * 3600, 4 * 3600, false, true},
    {"CET-1CEST,M3.5.0,M10.5.0/3", "CET-1CEST", -3600, -7200, false, true},
    {"NZST-12NZDT,M9.5.0,M4.1.0/3", nullptr, -12 * 3600, -13 * 3600, true, false},
    {"<+0530>-5:30", "IST-5:30", -(5 * 3600 + 1800), -(5 * 3600 + 1800), false, false},
};

// Sets TZ for one test and puts the old value back afterwards.
class ZoneTest : public ::testing::TestWithParam<Zone> {
 protected:
  void SetUp() override {
    const char* old = getenv("TZ");
    hadTz_ = old != nullptr;
    if (hadTz_) oldTz_ = old;
    const char* tz = orvik_testing::kPosixHost ? GetParam().tz : GetParam().windowsTz;
    if (tz == nullptr) {
      SKIP_UNLESS_POSIX("summer time in January: the Windows C run-time takes the US rules for every zone");
    }
    orvik_testing::SetEnv("TZ", tz);
    tzset();
    // CTest runs each case in a process of its own, where this holds.
    if (!orvik_testing::kPosixHost && !FollowsTheZone())
      GTEST_SKIP() << "this C run-time keeps the summer-time rules of the first zone the process used (Wine): "
                      "run the case on its own";
  }
  // True when the C run-time's summer-time flag at both moments is the zone's.
  bool FollowsTheZone() const {
    for (std::time_t now : {kJanuary, kJuly}) {
      const std::tm* local = std::localtime(&now);
      const bool summer = now == kJanuary ? GetParam().summerInJanuary : GetParam().summerInJuly;
      if (local == nullptr || (local->tm_isdst > 0) != summer) return false;
    }
    return true;
  }
  void TearDown() override {
    if (hadTz_) {
      orvik_testing::SetEnv("TZ", oldTz_);
    } else {
      orvik_testing::SetEnv("TZ", "");
    }
    tzset();
  }

  // The seconds expected for a local date-time when converted at `now`: the
  // daylight-saving flag of `now` decides which offset applies.
  long long Expected(std::time_t now, int y, int mo, int d, int h, int mi, int s) const {
    const Zone& z = GetParam();
    bool summer = now == kJanuary ? z.summerInJanuary : z.summerInJuly;
    return CivilSeconds(y, mo, d, h, mi, s) + (summer ? z.summerWest : z.standardWest);
  }

  // Converts `text`; fails the test when the conversion reports an error.
  double Convert(const std::string& text, std::time_t now) {
    double seconds = -12345;
    std::string error;
    EXPECT_TRUE(ConvertDateTime(text, now, &seconds, &error)) << text << ": " << error;
    return seconds;
  }

  // Converts each case at both moments.
  void ExpectConverted(const std::vector<Case>& cases) {
    for (std::time_t now : {kJanuary, kJuly}) {
      for (const Case& c : cases) {
        EXPECT_EQ(Convert(c.text, now), Expected(now, c.y, c.mo, c.d, c.h, c.mi, c.s))
            << c.text << " at " << now << " in " << GetParam().tz;
      }
    }
  }

  bool hadTz_ = false;
  std::string oldTz_;
};

TEST_P(ZoneTest, ConvertsDatesAndTimes) {
  ExpectConverted({
      {"05-Mar-01 14:30", 2001, 3, 5, 14, 30, 0},
      {"05-Mar-01 14:30:00", 2001, 3, 5, 14, 30, 0},
      {"05-mar-01 14:30", 2001, 3, 5, 14, 30, 0},
      {"05-MAR-01 14:30", 2001, 3, 5, 14, 30, 0},
      {"31-Dec-69 23:59:59", 2069, 12, 31, 23, 59, 59},
      {"15-Jun-99 08:05:09", 1999, 6, 15, 8, 5, 9},
      {"29-Feb-00 12:00", 2000, 2, 29, 12, 0, 0},
      {"29-Feb-04 12:00", 2004, 2, 29, 12, 0, 0},
      {"30-Apr-01 10:00", 2001, 4, 30, 10, 0, 0},
      {"31-Jan-01 10:00", 2001, 1, 31, 10, 0, 0},
      {"31-Aug-01 10:00", 2001, 8, 31, 10, 0, 0},
      {"28-Feb-01 10:00", 2001, 2, 28, 10, 0, 0},
      {"5-Mar-1 14:30", 2001, 3, 5, 14, 30, 0},
      {"005-Mar-1 14:30", 2001, 3, 5, 14, 30, 0},
      {"05-Mar--1 14:30", 1999, 3, 5, 14, 30, 0},  // -1 is below 70: 2000 - 1
      {"  05-Mar-01  14:30", 2001, 3, 5, 14, 30, 0},
      {"5-Mar-1 14:30 xyz", 2001, 3, 5, 14, 30, 0},
      {"5-Mar-1 14:30:0:9", 2001, 3, 5, 14, 30, 0},
      {"05-Mar-01 14:30x", 2001, 3, 5, 14, 30, 0},   // as atoi reads "30x"
      {"05-Mar-01 ab:cd", 2001, 3, 5, 0, 0, 0},      // no number reads as 0
      {"05-Mar-01 +9::07", 2001, 3, 5, 9, 7, 0},     // empty parts do not count
      {"05-Mar-01 12:00:61", 2001, 3, 5, 12, 1, 1},  // leap-second room: rolls over
  });
}

// Dates up to the start of 1970 (in UTC, before it east of Greenwich).
TEST_P(ZoneTest, ConvertsDatesBefore1970) {
  SKIP_UNLESS_POSIX("the Windows C run-time's mktime takes no moment before 1970");
  ExpectConverted({
      {"01-Jan-70 00:00", 1970, 1, 1, 0, 0, 0},
      {"1-Jan-100 00:00", 100, 1, 1, 0, 0, 0},
      {"1-Jan-201 0:0", 201, 1, 1, 0, 0, 0},
  });
}

TEST_P(ZoneTest, DaylightSavingFlagComesFromTheMomentOfConversion) {
  const Zone& z = GetParam();
  double winter = Convert("05-Jan-01 12:00", kJanuary);
  double summer = Convert("05-Jan-01 12:00", kJuly);
  // Off by the daylight-saving hour exactly when the flag differs between
  // the two moments, whatever the flag of the date itself.
  long long expectedGap = (z.summerInJanuary ? z.summerWest : z.standardWest) -
                          (z.summerInJuly ? z.summerWest : z.standardWest);
  EXPECT_EQ(static_cast<long long>(winter - summer), expectedGap);
  if (z.summerWest != z.standardWest) {
    EXPECT_NE(winter, summer);
  }
}

TEST_P(ZoneTest, ErrorsLeaveTheResultAlone) {
  double seconds = 77;
  std::string error;
  EXPECT_FALSE(ConvertDateTime("05-Mar-01 24:00", kJuly, &seconds, &error));
  EXPECT_EQ(seconds, 77.0);
  EXPECT_EQ(error, "Hours must be 0 to 23.");
}

INSTANTIATE_TEST_SUITE_P(TimeZones, ZoneTest, ::testing::ValuesIn(kZones),
                         [](const ::testing::TestParamInfo<Zone>& info) {
                           return "Zone" + std::to_string(info.index);
                         });

// ---- the error texts, in the order of the checks ----

std::string ErrorOf(const std::string& text) {
  double seconds = 0;
  std::string error;
  if (ConvertDateTime(text, kJanuary, &seconds, &error)) return "<converted>";
  return error;
}

constexpr const char* kBuffer = "Buffer size exceeded!  Maximum is 18 characters.";
constexpr const char* kDateTime = "Date-time string must be \"dd-mon-yy hh:mm[:ss]\"";
constexpr const char* kDate = "Date must be \"dd-mon-yy\"";
constexpr const char* kTime = "Time must be \"hh:mm[:ss]\" in 24hr format.";
constexpr const char* kHours = "Hours must be 0 to 23.";
constexpr const char* kMinutes = "Minutes must be 0 to 59.";
constexpr const char* kSeconds = "Seconds must be 0 to 61";

TEST(ConvertErrors, LengthLimit) {
  EXPECT_EQ(ErrorOf("05-Mar-01 14:30:00"), "<converted>");  // 18 characters
  EXPECT_EQ(ErrorOf("05-Mar-01 14:30:00 "), kBuffer);      // 19
  EXPECT_EQ(ErrorOf("05-Mar-01       14:30"), kBuffer);
  // Length comes before every other check.
  EXPECT_EQ(ErrorOf("this is not a date at all"), kBuffer);
}

TEST(ConvertErrors, MissingWords) {
  EXPECT_EQ(ErrorOf(""), kDateTime);
  EXPECT_EQ(ErrorOf("        "), kDateTime);
  EXPECT_EQ(ErrorOf("05-Mar-01"), kDateTime);
  EXPECT_EQ(ErrorOf("05-Mar-01   "), kDateTime);
  // The date is checked before the time word is looked for.
  EXPECT_EQ(ErrorOf("05-Mrz-01"), kDate);
}

TEST(ConvertErrors, DateWord) {
  const char* bad[] = {
      "05-March-01 12:00",  // longer than 9 characters
      "5-Mar-2001 12:00",   // 10 characters
      "05/Mar/01 12:00",   "05-Mar 12:00",      "Mar-05-01 12:00",  "05-Xyz-01 12:00",
      "05-Ma-01 12:00",    "-Mar-01 12:00",     "05-Mar- 12:00",    "+5-Mar-01 12:00",
      "5a-Mar-01 12:00",   "05-Mar-0x 12:00",   "05-Mar-1-1 12:00", "05--Mar-01 12:00",
      "-5-Mar-01 12:00",   "05-Mar-- 12:00",
      "00-Mar-01 12:00",   "32-Jan-01 12:00",
      "29-Feb-01 12:00",  // 2001 is no leap year
      "30-Feb-00 12:00",   "31-Feb-00 12:00",
      "31-Apr-01 10:00",   "31-Jun-01 10:00",   "31-Sep-01 10:00",  "31-Nov-01 10:00",
  };
  for (const char* text : bad) EXPECT_EQ(ErrorOf(text), kDate) << text;
}

TEST(ConvertErrors, TimeWord) {
  EXPECT_EQ(ErrorOf("05-Mar-01 12"), kTime);
  EXPECT_EQ(ErrorOf("05-Mar-01 12:"), kTime);
  EXPECT_EQ(ErrorOf("05-Mar-01 :30"), kTime);
  EXPECT_EQ(ErrorOf("05-Mar-01 1230"), kTime);
  EXPECT_EQ(ErrorOf("05-Mar-01 12.30"), kTime);
}

TEST(ConvertErrors, RangesInOrder) {
  EXPECT_EQ(ErrorOf("05-Mar-01 24:00"), kHours);
  EXPECT_EQ(ErrorOf("05-Mar-01 -1:00"), kHours);
  EXPECT_EQ(ErrorOf("05-Mar-01 24:60:62"), kHours);
  EXPECT_EQ(ErrorOf("5-Mar-1 99999999:0"), kHours);  // no overflow on the way
  EXPECT_EQ(ErrorOf("05-Mar-01 12:60"), kMinutes);
  EXPECT_EQ(ErrorOf("05-Mar-01 12:-1"), kMinutes);
  EXPECT_EQ(ErrorOf("05-Mar-01 12:60:62"), kMinutes);
  EXPECT_EQ(ErrorOf("05-Mar-01 12:00:62"), kSeconds);
  EXPECT_EQ(ErrorOf("05-Mar-01 12:00:-1"), kSeconds);
  EXPECT_EQ(ErrorOf("05-Mar-01 23:59:61"), "<converted>");
  EXPECT_EQ(ErrorOf("05-Mar-01 0:0:0"), "<converted>");
}

// ---- the pieces ----

TEST(ParseDateWord, GivesDayMonthAndWindowedYear) {
  int d = 0, m = 0, y = 0;
  ASSERT_TRUE(ParseDateWord("05-Mar-01", &d, &m, &y));
  EXPECT_EQ(d, 5);
  EXPECT_EQ(m, 3);
  EXPECT_EQ(y, 2001);
  ASSERT_TRUE(ParseDateWord("1-dEc-69", &d, &m, &y));
  EXPECT_EQ(m, 12);
  EXPECT_EQ(y, 2069);
  ASSERT_TRUE(ParseDateWord("1-Jan-70", &d, &m, &y));
  EXPECT_EQ(y, 1970);
  ASSERT_TRUE(ParseDateWord("1-Jan-99", &d, &m, &y));
  EXPECT_EQ(y, 1999);
  ASSERT_TRUE(ParseDateWord("1-Jan-100", &d, &m, &y));
  EXPECT_EQ(y, 100);
  ASSERT_TRUE(ParseDateWord("1-Jan-32767", &d, &m, &y) == false);  // 11 characters
  ASSERT_TRUE(ParseDateWord("1-Jan-327", &d, &m, &y));
  EXPECT_EQ(y, 327);
  const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  for (int i = 0; i < 12; ++i) {
    ASSERT_TRUE(ParseDateWord(std::string("1-") + months[i] + "-01", &d, &m, &y)) << months[i];
    EXPECT_EQ(m, i + 1);
  }
}

TEST(ParseDateWord, YearNeedsDigits) {
  int d = 0, m = 0, y = 0;
  EXPECT_TRUE(ParseDateWord("1-Jan-999", &d, &m, &y));
  EXPECT_FALSE(ParseDateWord("1-Jan-9a", &d, &m, &y));
  EXPECT_FALSE(ParseDateWord("1-Jan-", &d, &m, &y));
  EXPECT_FALSE(ParseDateWord("1-Jan--", &d, &m, &y));
}

TEST(IsLeapYear, CenturyRules) {
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_TRUE(IsLeapYear(2004));
  EXPECT_TRUE(IsLeapYear(400));
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_FALSE(IsLeapYear(2100));
  EXPECT_FALSE(IsLeapYear(2001));
}

TEST(LeadingNumber, ReadsAsAtoiWithoutOverflow) {
  EXPECT_EQ(LeadingNumber("14"), 14);
  EXPECT_EQ(LeadingNumber("07x"), 7);
  EXPECT_EQ(LeadingNumber(" \t5"), 5);
  EXPECT_EQ(LeadingNumber("-3"), -3);
  EXPECT_EQ(LeadingNumber("+3"), 3);
  EXPECT_EQ(LeadingNumber("x5"), 0);
  EXPECT_EQ(LeadingNumber(""), 0);
  EXPECT_EQ(LeadingNumber("-"), 0);
  EXPECT_EQ(LeadingNumber("99999999999999999999"), INT_MAX);
  EXPECT_EQ(LeadingNumber("-99999999999999999999"), INT_MIN);
}

}  // namespace
}  // namespace datenum
