// Turning "dd-mon-yy hh:mm[:ss]" into calendar seconds of the local time zone.
#pragma once
#include <ctime>
#include <string>

namespace datenum {

// Longest date-time text accepted.
constexpr int kDateTimeMax = 18;

// Converts `text` as local time with mktime; the daylight-saving flag is that
// of the local time at `now`. On success stores the seconds in *seconds and
// returns true; otherwise sets *error to the text for the operator.
bool ConvertDateTime(const std::string& text, std::time_t now, double* seconds, std::string* error);

// Date word "dd-mon-yy": day, month 1 to 12 and year after the year window
// (below 70: 2000 + year; 70 to 99: 1900 + year; else as written). False
// when the word breaks a rule or the day does not exist in that month.
bool ParseDateWord(const std::string& word, int* day, int* month, int* year);

bool IsLeapYear(int year);

// The number at the start of `text` as atoi reads it (0 when none),
// held to the range of int instead of overflowing.
int LeadingNumber(const std::string& text);

}  // namespace datenum
