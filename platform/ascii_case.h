// Letter case of ASCII only: A-Z and a-z fold into each other, every other
// byte (control characters, bytes of 0x80 and above) stays as it is. The
// host locale plays no part, so names compare alike on every machine.
#pragma once
#include <cstddef>
#include <string>

namespace platform {

constexpr bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
constexpr char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
constexpr char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string AsciiLower(std::string text);
std::string AsciiUpper(std::string text);

// True when the texts are equal ignoring ASCII letter case.
bool EqualNoCase(const std::string& a, const std::string& b);
inline bool EqualNoCase(char a, char b) { return AsciiLower(a) == AsciiLower(b); }

// True when `text` begins, ends with or contains `part`, ignoring ASCII case.
bool StartsWithNoCase(const std::string& text, const std::string& part);
bool EndsWithNoCase(const std::string& text, const std::string& part);
bool ContainsNoCase(const std::string& text, const std::string& part);

}  // namespace platform
