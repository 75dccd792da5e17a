#include "text/mdb_format.h"

#include <string_view>

#include "text/placeholders.h"

namespace ovtext {
namespace {

constexpr int kMaxNumber = 999999;

std::string LineError(int line, const std::string& what) {
  return "line " + std::to_string(line) + ": " + what;
}

// Splits `data` into lines without their terminators (LF or CR LF).
template <typename Fn>
bool ForEachLine(const std::string& data, Fn fn) {
  size_t start = 0;
  int line = 0;
  while (start < data.size()) {
    size_t end = data.find('\n', start);
    if (end == std::string::npos) end = data.size();
    std::string_view text(data.data() + start, end - start);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    if (!fn(++line, text)) return false;
    start = end + 1;
  }
  return true;
}

// A decimal number of 1 to 6 digits, greater than 0.
bool ParseNumber(std::string_view digits, int* number) {
  if (digits.empty() || digits.size() > 6) return false;
  int value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value < 1 || value > kMaxNumber) return false;
  *number = value;
  return true;
}

bool Unescape(std::string_view escaped, std::string* text, std::string* error) {
  text->clear();
  for (size_t i = 0; i < escaped.size(); ++i) {
    char c = escaped[i];
    if (c != '\\') {
      text->push_back(c);
      continue;
    }
    if (++i == escaped.size()) {
      *error = "backslash at the end of the text";
      return false;
    }
    switch (escaped[i]) {
      case 'n': text->push_back('\n'); break;
      case 't': text->push_back('\t'); break;
      case '\\': text->push_back('\\'); break;
      default:
        *error = std::string("unknown escape \\") + escaped[i];
        return false;
    }
  }
  return true;
}

std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\\': out += "\\\\"; break;
      default: out.push_back(c);
    }
  }
  return out;
}

// "<number> <text>": the number, one blank, the escaped text.
bool ParseEntry(std::string_view line, int* number, std::string* text, std::string* error) {
  size_t blank = line.find(' ');
  if (blank == std::string_view::npos || !ParseNumber(line.substr(0, blank), number)) {
    *error = "expected \"<number> <text>\" with a number from 1 to " + std::to_string(kMaxNumber);
    return false;
  }
  if (!Unescape(line.substr(blank + 1), text, error)) return false;
  return CheckText(*number, *text, error);
}

}  // namespace

bool CheckText(int number, const std::string& text, std::string* error) {
  std::string where = "message " + std::to_string(number) + ": ";
  if (text.empty()) {
    *error = where + "empty text";
    return false;
  }
  if (text.size() > kMaxTextLength) {
    *error = where + "text longer than " + std::to_string(kMaxTextLength) + " characters";
    return false;
  }
  for (unsigned char c : text) {
    if ((c < 0x20 && c != '\n' && c != '\t') || c == 0x7F) {
      *error = where + "control character in the text";
      return false;
    }
  }
  std::string signature;
  if (!ConversionSignature(text, &signature)) {
    *error = where + "a conversion other than %d or %s (write a literal percent as %%)";
    return false;
  }
  std::string expected = ExpectedSignature(number);
  if (signature != expected) {
    *error = where + "conversions \"" + signature + "\" where callers fill \"" + expected + "\"";
    return false;
  }
  return true;
}

bool ParseSource(const std::string& source, Texts* texts, std::string* error) {
  texts->clear();
  bool ok = ForEachLine(source, [&](int line, std::string_view text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos || text[first] == '#') return true;
    int number = 0;
    std::string message, why;
    if (!ParseEntry(text.substr(first), &number, &message, &why)) {
      *error = LineError(line, why);
      return false;
    }
    if (!texts->emplace(number, message).second) {
      *error = LineError(line, "message " + std::to_string(number) + " given twice");
      return false;
    }
    return true;
  });
  if (!ok) texts->clear();
  return ok;
}

bool ParseDatabase(const std::string& data, Texts* texts, std::string* error) {
  texts->clear();
  bool signed_ = false, ended = false;
  bool ok = ForEachLine(data, [&](int line, std::string_view text) {
    if (ended) {
      *error = LineError(line, "text after the END line");
      return false;
    }
    if (!signed_) {
      if (text != kSignature) {
        *error = LineError(line, "not a message database (no signature line)");
        return false;
      }
      signed_ = true;
      return true;
    }
    if (text.substr(0, 4) == "END ") {
      std::string_view count = text.substr(4);
      bool zero = count == "0";
      int value = 0;
      if (!(zero || ParseNumber(count, &value)) || static_cast<size_t>(value) != texts->size()) {
        *error = LineError(line, "the END line does not count the " + std::to_string(texts->size()) +
                                     " messages read");
        return false;
      }
      ended = true;
      return true;
    }
    int number = 0;
    std::string message, why;
    if (!ParseEntry(text, &number, &message, &why)) {
      *error = LineError(line, why);
      return false;
    }
    if (!texts->empty() && number <= texts->rbegin()->first) {
      *error = LineError(line, "message " + std::to_string(number) + " out of order or given twice");
      return false;
    }
    texts->emplace_hint(texts->end(), number, message);
    return true;
  });
  if (ok && !ended) {
    *error = signed_ ? "the database ends without its END line (cut short?)" : "empty database";
    ok = false;
  }
  if (!ok) texts->clear();
  return ok;
}

std::string FormatDatabase(const Texts& texts) {
  std::string out = kSignature;
  out += '\n';
  for (const auto& [number, text] : texts) {
    out += std::to_string(number) + ' ' + Escape(text) + '\n';
  }
  out += "END " + std::to_string(texts.size()) + '\n';
  return out;
}

}  // namespace ovtext
