#include "datenum/date_convert.h"

#include <cctype>
#include <climits>
#include <vector>

#include "datenum/messages.h"
#include "datenum/stop_box.h"
#include "platform/ascii_case.h"

namespace datenum {

namespace {

constexpr std::size_t kDateWordMax = 9;
constexpr int kWholeNumberMax = 32767;

// The non-empty runs of `text` between `separator`s, as strtok gives them.
std::vector<std::string> Tokens(const std::string& text, char separator) {
  std::vector<std::string> tokens;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find(separator, at);
    if (end == std::string::npos) end = text.size();
    if (end > at) tokens.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return tokens;
}

// An optional minus sign and one or more digits, at most 32,767 in size.
bool WholeNumber(const std::string& text, int* value) {
  std::size_t at = text.size() > 0 && text[0] == '-' ? 1 : 0;
  if (at == text.size()) return false;
  long magnitude = 0;
  for (; at < text.size(); ++at) {
    if (!std::isdigit(static_cast<unsigned char>(text[at]))) return false;
    magnitude = magnitude * 10 + (text[at] - '0');
    if (magnitude > kWholeNumberMax) return false;
  }
  *value = static_cast<int>(text[0] == '-' ? -magnitude : magnitude);
  return true;
}

// Month 1 to 12 from its three-letter name, letter case ignored; 0 if none.
int MonthNumber(const std::string& name) {
  static const char* const kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                        "jul", "aug", "sep", "oct", "nov", "dec"};
  if (name.size() != 3) return 0;
  for (int m = 0; m < 12; ++m) {
    if (platform::EqualNoCase(name, kMonths[m])) return m + 1;
  }
  return 0;
}

int WindowedYear(int year) {
  if (year < 70) return 2000 + year;
  if (year <= 99) return 1900 + year;
  return year;
}

bool DayExists(int day, int month, int year) {
  if (day < 1 || day > 31) return false;
  if (month == 2) return day <= 28 || (day == 29 && IsLeapYear(year));
  if (day == 31) return month != 4 && month != 6 && month != 9 && month != 11;
  return true;
}

bool Fail(std::string* error, std::string text) {
  *error = std::move(text);
  return false;
}

}  // namespace

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int LeadingNumber(const std::string& text) {
  std::size_t at = 0;
  while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
  long long value = 0;
  for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
    if (value <= INT_MAX) value = value * 10 + (text[at] - '0');
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

bool ParseDateWord(const std::string& word, int* day, int* month, int* year) {
  if (word.size() > kDateWordMax) return false;
  std::size_t first = word.find('-');
  if (first == std::string::npos) return false;
  std::size_t second = word.find('-', first + 1);
  if (second == std::string::npos) return false;
  int d = 0, y = 0;
  int m = MonthNumber(word.substr(first + 1, second - first - 1));
  if (!WholeNumber(word.substr(0, first), &d) || m == 0 ||
      !WholeNumber(word.substr(second + 1), &y)) {
    return false;
  }
  y = WindowedYear(y);
  if (!DayExists(d, m, y)) return false;
  *day = d;
  *month = m;
  *year = y;
  return true;
}

bool ConvertDateTime(const std::string& text, std::time_t now, double* seconds, std::string* error) {
  if (text.size() > static_cast<std::size_t>(kDateTimeMax)) {
    return Fail(error, FillNumber(msg::kBufferExceeded, kDateTimeMax));
  }
  std::vector<std::string> words = Tokens(text, ' ');
  if (words.empty()) return Fail(error, msg::kDateTimeForm);
  int day = 0, month = 0, year = 0;
  if (!ParseDateWord(words[0], &day, &month, &year)) return Fail(error, msg::kDateForm);
  if (words.size() < 2) return Fail(error, msg::kDateTimeForm);

  std::vector<std::string> parts = Tokens(words[1], ':');
  if (parts.size() < 2) return Fail(error, msg::kTimeForm);
  int hours = LeadingNumber(parts[0]);
  int minutes = LeadingNumber(parts[1]);
  int secs = parts.size() > 2 ? LeadingNumber(parts[2]) : 0;
  if (hours < 0 || hours > 23) return Fail(error, msg::kHoursRange);
  if (minutes < 0 || minutes > 59) return Fail(error, msg::kMinutesRange);
  if (secs < 0 || secs > 61) return Fail(error, msg::kSecondsRange);

  // The daylight-saving flag is the one in force now, not the one of the date.
  std::tm local{};
  const std::tm* current = std::localtime(&now);
  local.tm_isdst = current != nullptr ? current->tm_isdst : -1;
  local.tm_mday = day;
  local.tm_mon = month - 1;
  local.tm_year = year - 1900;
  local.tm_hour = hours;
  local.tm_min = minutes;
  local.tm_sec = secs;
  std::time_t result = std::mktime(&local);
  if (result == static_cast<std::time_t>(-1)) return Fail(error, msg::kMktimeFailed);
  *seconds = static_cast<double>(result);
  return true;
}

}  // namespace datenum
