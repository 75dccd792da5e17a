#include "installer/registration/copy_failure.h"

#include <cstdio>
#include <cstring>

#include "text/text.h"

namespace registration {
namespace {

// The conversion letters of `format` in order, or false when it holds one
// that cannot be filled safely (length modifiers, '*', %n, a width or
// precision of more than three digits, a lone '%' at the end).
bool Conversions(const std::string& format, std::string* letters) {
  letters->clear();
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') continue;
    if (++i < format.size() && format[i] == '%') continue;
    while (i < format.size() && std::strchr("-+ #0", format[i]) != nullptr) ++i;
    std::size_t digits = 0;
    while (i < format.size() && format[i] >= '0' && format[i] <= '9') ++i, ++digits;
    if (digits > 3) return false;
    if (i < format.size() && format[i] == '.') {
      digits = 0;
      ++i;
      while (i < format.size() && format[i] >= '0' && format[i] <= '9') ++i, ++digits;
      if (digits > 3) return false;
    }
    if (i >= format.size() || std::strchr("sdiuxX", format[i]) == nullptr) return false;
    letters->push_back(format[i] == 's' ? 's' : 'd');
  }
  return true;
}

}  // namespace

std::string FillCopyFailure(const std::string& format, const std::string& file, unsigned long error) {
  std::string letters;
  if (!Conversions(format, &letters) || letters != "sd") return format;
  // The integer conversions are int-sized; a system error code fits.
  int code = static_cast<int>(error);
  int length = std::snprintf(nullptr, 0, format.c_str(), file.c_str(), code);
  if (length < 0) return format;
  std::string out(static_cast<std::size_t>(length) + 1, '\0');
  std::snprintf(out.data(), out.size(), format.c_str(), file.c_str(), code);
  out.resize(static_cast<std::size_t>(length));
  return out;
}

std::string CopyFailureText(int number, const std::string& file, unsigned long error) {
  char buffer[260] = {};
  text(number, buffer, sizeof buffer);
  return FillCopyFailure(buffer, file, error);
}

}  // namespace registration
