#include "platform/ascii_case.h"

namespace platform {

namespace {

bool SameAt(const std::string& text, std::size_t at, const std::string& part) {
  for (std::size_t i = 0; i < part.size(); ++i)
    if (AsciiLower(text[at + i]) != AsciiLower(part[i])) return false;
  return true;
}

}  // namespace

std::string AsciiLower(std::string text) {
  for (char& c : text) c = AsciiLower(c);
  return text;
}

std::string AsciiUpper(std::string text) {
  for (char& c : text) c = AsciiUpper(c);
  return text;
}

bool EqualNoCase(const std::string& a, const std::string& b) { return a.size() == b.size() && SameAt(a, 0, b); }

bool StartsWithNoCase(const std::string& text, const std::string& part) {
  return part.size() <= text.size() && SameAt(text, 0, part);
}

bool EndsWithNoCase(const std::string& text, const std::string& part) {
  return part.size() <= text.size() && SameAt(text, text.size() - part.size(), part);
}

bool ContainsNoCase(const std::string& text, const std::string& part) {
  for (std::size_t at = 0; at + part.size() <= text.size(); ++at)
    if (SameAt(text, at, part)) return true;
  return false;
}

}  // namespace platform
