// The message database: its readable source (ovtext.txt) and the compiled
// form the service loads (ovtext.mdb).
//
// Source: one message a line, "<number> <text>", in any order; blank lines
// and lines whose first non-blank is '#' are skipped.
// Database: the signature line, then "<number> <text>" in ascending order,
// then "END <count>" as the last line, so that a cut or damaged file shows.
// In both, a text escapes a line feed as \n, a tab as \t and a backslash as \\.
#pragma once
#include <map>
#include <string>

namespace ovtext {

using Texts = std::map<int, std::string>;

inline constexpr const char* kSignature = "ORVIK message texts 1";
// Callers fetch texts into 260-byte buffers, so a text holds at most 259.
inline constexpr size_t kMaxTextLength = 259;

// Checks the rules every message obeys: not empty, at most kMaxTextLength
// characters, no control characters but line feed and tab, and exactly the
// conversions its callers fill (ExpectedSignature). On failure `error`
// says why.
bool CheckText(int number, const std::string& text, std::string* error);

// Parse the two forms; every text is checked with CheckText, and a number
// may appear only once. On failure `error` names the line and the fault.
bool ParseSource(const std::string& source, Texts* texts, std::string* error);
bool ParseDatabase(const std::string& data, Texts* texts, std::string* error);

// The database form of `texts`.
std::string FormatDatabase(const Texts& texts);

}  // namespace ovtext
