// The conversions of a printf format that a message text may carry. Header
// only, so that both the message service and the programs that fill its
// texts read formats alike without linking each other.
#pragma once
#include <cstddef>
#include <cstring>
#include <string>

namespace ovtext {

// Reads the conversions of `text` as a printf format, one letter each in
// order: 'd' for an integer (d, i, u, x, X) and 's' for a string. Flags, a
// width and a precision of up to three digits are allowed; "%%" is a literal
// percent. Returns false for anything else (length modifiers, '*', %n, a
// longer width, a lone '%' at the end ...), which no caller could fill safely.
inline bool ConversionSignature(const std::string& text, std::string* signature) {
  constexpr std::size_t kMaxDigits = 3;
  auto digits = [&text](std::size_t& i) {
    const std::size_t start = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    return i - start <= kMaxDigits;
  };
  auto in = [](const char* set, char c) { return c != '\0' && std::strchr(set, c) != nullptr; };
  signature->clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') continue;
    if (++i < text.size() && text[i] == '%') continue;
    while (i < text.size() && in("-+ #0", text[i])) ++i;
    if (!digits(i)) return false;
    if (i < text.size() && text[i] == '.' && !digits(++i)) return false;
    if (i >= text.size() || !in("sdiuxX", text[i])) return false;
    signature->push_back(text[i] == 's' ? 's' : 'd');
  }
  return true;
}

}  // namespace ovtext
