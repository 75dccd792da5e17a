#include "installer/transfer/transfer_texts.h"

#include <cstdarg>
#include <cstdio>

#include "resources/kelmar_ids.h"
#include "installer/installer_codes.h"
#include "text/text.h"
#include "ui/msgbox.h"

namespace transfer {

namespace {

// printf-style filling of a runtime format. The numbered texts are checked
// when ovtext.mdb is built to carry exactly the conversions filled here.
std::string Fill(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list count;
  va_copy(count, args);
  int length = std::vsnprintf(nullptr, 0, format, count);
  va_end(count);
  std::string out;
  if (length >= 0) {
    out.assign(static_cast<size_t>(length) + 1, '\0');
    std::vsnprintf(out.data(), out.size(), format, args);
    out.resize(static_cast<size_t>(length));
  } else {
    out = format;
  }
  va_end(args);
  return out;
}

std::string Fetch(int number) {
  char buffer[260];
  text(number, buffer, sizeof buffer);
  return buffer;
}

}  // namespace

std::string FormatText(const std::string& format, const std::string& value) {
  return Fill(format.c_str(), value.c_str());
}

std::string FormatText(const std::string& format, const std::string& first,
                       const std::string& second) {
  return Fill(format.c_str(), first.c_str(), second.c_str());
}

std::string FormatNumber(const std::string& format, int value) {
  return Fill(format.c_str(), value);
}

void ShowPlain(const std::string& text) {
  ui::MessageBox(text, kInstallCaption, ui::MB_OK | ui::MB_ICONWARNING);
}

void ShowNumbered(int number) { ShowPlain(Fetch(number)); }

void ShowNumbered(int number, const std::string& value) {
  ShowPlain(FormatText(Fetch(number), value));
}

void ShowNumbered(int number, const std::string& first, const std::string& second) {
  ShowPlain(FormatText(Fetch(number), first, second));
}

bool AskNumbered(int number) {
  return ui::MessageBox(Fetch(number), kInstallCaption,
                        ui::MB_YESNO | ui::MB_ICONQUESTION) == ui::IDYES;
}

}  // namespace transfer
