// The register exchange file dosdose.dat and the conversion of its MEM2:
// registers read from any text and written back read back the same, and a
// converted date-time, written as a date-time again, converts to the same
// seconds.
#include <stdio.h>
#include <stdlib.h>

#include <cmath>
#include <cstring>
#include <ctime>
#include <string>

#include "datenum/date_convert.h"
#include "datenum/dose_format.h"
#include "fuzz/fuzz_host.h"

namespace {

using datenum::Registers;

// ReadRegisters on the bytes, read from memory.
int Read(const std::string& bytes, Registers& registers) {
  if (bytes.empty()) return 1;
  FILE* file = ::fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
  if (file == nullptr) fuzz::Broken("fmemopen failed");
  int missing = datenum::ReadRegisters(file, registers);
  std::fclose(file);
  return missing;
}

bool SameNumber(double a, double b) { return (std::isnan(a) && std::isnan(b)) || a == b; }

void CheckConversion(const std::string& text, std::time_t now) {
  double seconds = 0;
  std::string error;
  if (!datenum::ConvertDateTime(text, now, &seconds, &error)) {
    fuzz::Check(!error.empty(), "a refused date-time has no message");
    return;
  }
  fuzz::Check(seconds == std::floor(seconds), "the seconds are not whole");
  // The date word names the day the seconds fall on (seconds 60 and 61 may
  // carry into the next day).
  int day = 0, month = 0, year = 0;
  const size_t start = text.find_first_not_of(' ');
  const size_t end = text.find(' ', start);
  fuzz::Check(datenum::ParseDateWord(text.substr(start, end - start), &day, &month, &year),
              "a converted date-time has no valid date word");
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm at{}, before{};
  fuzz::Check(::gmtime_r(&t, &at) != nullptr, "the seconds name no time");
  const std::time_t earlier = t - 2;
  ::gmtime_r(&earlier, &before);
  auto dayOf = [&](const std::tm& tm) {
    return tm.tm_mday == day && tm.tm_mon + 1 == month && tm.tm_year + 1900 == year;
  };
  fuzz::Check(dayOf(at) || dayOf(before), "the seconds fall on another day than " + text);
  // Back to a date-time text and converted again.
  if (at.tm_year + 1900 < 1970 || at.tm_year + 1900 > 2069) return;
  static const char* const kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                        "jul", "aug", "sep", "oct", "nov", "dec"};
  char again[32];
  std::snprintf(again, sizeof again, "%02d-%s-%02d %02d:%02d:%02d", at.tm_mday, kMonths[at.tm_mon],
                at.tm_year % 100, at.tm_hour, at.tm_min, at.tm_sec);
  double back = 0;
  fuzz::Check(datenum::ConvertDateTime(again, now, &back, &error), std::string("not converted back: ") + again);
  fuzz::Check(back == seconds, std::string("converted back to other seconds: ") + again);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The conversion works in local time: one without daylight saving makes
  // the seconds of a date-time a function of the text alone.
  ::setenv("TZ", "UTC", 1);
  ::tzset();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  Registers registers;
  registers.MEM2 = "untouched";
  int missing = Read(bytes, registers);
  fuzz::Check(missing >= 0 && missing <= datenum::kDoseLines, "line number out of range");
  if (missing != 0) {
    fuzz::Check(registers.MEM2 == "untouched" && registers.MEM == 0, "a failed read changed the registers");
  } else {
    fuzz::Check(registers.MEM2.size() <= bytes.size(), "MEM2 holds more than the file");
    // What is written back reads back as the same registers.
    const std::string written = datenum::FormatRegisters(registers);
    Registers again;
    fuzz::Check(Read(written, again) == 0, "the written registers cannot be read");
    fuzz::Check(again.MEM2 == registers.MEM2, "MEM2 changed on its way through the file");
    fuzz::Check(datenum::FormatRegisters(again) == written, "the registers changed on their way through the file");
    for (int i = 0; i < datenum::kMExchanged; ++i) {
      const double m = registers.M[i];
      if (std::isfinite(m) && std::fabs(m) < 1e12 && m == std::floor(m))
        fuzz::Check(SameNumber(again.M[i], registers.M[i]), "a whole number register changed");
    }
  }
  std::time_t now = 0;
  if (size >= sizeof now) std::memcpy(&now, data, sizeof now);
  CheckConversion(missing == 0 ? registers.MEM2 : bytes.substr(0, 40), now);
  return 0;
}
