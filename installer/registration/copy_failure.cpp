#include "installer/registration/copy_failure.h"

#include <cstdio>

#include "text/printf_conversions.h"
#include "text/text.h"

namespace registration {

std::string FillCopyFailure(const std::string& format, const std::string& file, unsigned long error) {
  std::string letters;
  if (!ovtext::ConversionSignature(format, &letters) || letters != "sd") return format;
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
