// Letter-case handling of catalogue names: ASCII letters only; every other
// byte (control characters, bytes of 0x80 and above) is compared as it is.
#pragma once
#include <string>

namespace catalogue {

// `text` with the ASCII capitals A-Z turned into a-z.
std::string FoldCase(const std::string& text);

// True when a and b are equal ignoring ASCII letter case.
bool EqualNoCase(const std::string& a, const std::string& b);

}  // namespace catalogue
