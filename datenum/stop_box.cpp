#include "datenum/stop_box.h"

#include <cstring>

#include "ui/msgbox.h"

namespace datenum {

namespace {

// Replaces the first occurrence of `marker` in `format` by `value`.
std::string Replace(const char* format, const char* marker, const std::string& value) {
  std::string out(format);
  std::size_t at = out.find(marker);
  if (at != std::string::npos) out.replace(at, std::strlen(marker), value);
  return out;
}

}  // namespace

std::string FillText(const char* format, const std::string& text) { return Replace(format, "%s", text); }

std::string FillNumber(const char* format, int number) {
  return Replace(format, "%d", std::to_string(number));
}

void StopBox(const std::string& text, const char* caption) {
  ui::MessageBox(text, caption, ui::MB_ICONSTOP | ui::MB_TASKMODAL | ui::MB_OK);
}

}  // namespace datenum
