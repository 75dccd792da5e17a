#include "tools/mkmedia/calibrator_codes.h"

#include <cctype>

#include "platform/ascii_case.h"

namespace mkmedia {

namespace {

const char* const kCodes[] = {"R210",   "R220",   "R310",   "R320",   "R410",   "R420",  "R510",
                              "R520",   "R310X3", "R310X6", "R320X3", "R320X6", "Other"};

// Letters and digits only, capitals folded to small letters.
std::string Skeleton(const std::string& text) {
  std::string out;
  for (unsigned char c : text)
    if (std::isalnum(c)) out += platform::AsciiLower(static_cast<char>(c));
  return out;
}

}  // namespace

bool IsCalibratorCode(const std::string& code) {
  for (const char* known : kCodes)
    if (code == known) return true;
  return false;
}

std::string CalibratorCodeList() {
  std::string list;
  for (const char* known : kCodes) list += (list.empty() ? "" : " ") + std::string(known);
  return list;
}

std::string LikelyCalibratorCode(const std::string& code) {
  const std::string skeleton = Skeleton(code);
  for (const char* known : kCodes)
    if (!skeleton.empty() && skeleton == Skeleton(known)) return known;
  return "";
}

}  // namespace mkmedia
