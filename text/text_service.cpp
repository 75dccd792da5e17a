// The message text service: loads ovtext.mdb through the program's host
// services and shows numbered messages in the program's message boxes.
// It keeps no host state of its own: the program hands in its InstanceHandle.
#include "text/text.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

#include "text/mdb_format.h"
#include "ui/app.h"
#include "ui/msgbox.h"

namespace {

struct Service {
  std::mutex mutex;
  ui::InstanceHandle* instance = nullptr;
  std::string header;
  bool ready = false;
  ovtext::Texts texts;
};

// Never destroyed, so that a thread still reporting at exit finds it.
Service& State() {
  static Service* service = new Service;
  return *service;
}

// The text of message `number`; false (with a text naming the number) when
// the service has none for it.
bool Lookup(int number, std::string* text) {
  Service& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (s.ready) {
    auto it = s.texts.find(number);
    if (it != s.texts.end()) {
      *text = it->second;
      return true;
    }
    *text = "Message " + std::to_string(number) + " is not in the message database.";
  } else {
    *text = "Message " + std::to_string(number) + " (the message database is not open).";
  }
  return false;
}

ui::InstanceHandle* Instance() {
  Service& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.instance;
}

std::string Fill(const std::string& format, va_list args) {
  va_list count;
  va_copy(count, args);
  int length = std::vsnprintf(nullptr, 0, format.c_str(), count);
  va_end(count);
  if (length < 0) return format;
  std::string out(static_cast<size_t>(length) + 1, '\0');
  std::vsnprintf(out.data(), out.size(), format.c_str(), args);
  out.resize(static_cast<size_t>(length));
  return out;
}

// Shows a box through the program; without one (the service was never
// opened) the message goes to stderr and the answer is 0.
int Show(const std::string& text, const std::string& caption, unsigned style) {
  ui::InstanceHandle* instance = Instance();
  if (instance == nullptr || instance->messageBox == nullptr) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return 0;
  }
  return instance->messageBox(text.c_str(), caption.c_str(), style);
}

// The message filled with the caller's values; a text naming the number,
// unfilled, when there is none.
std::string Message(int number, va_list args) {
  std::string text;
  if (!Lookup(number, &text)) return text;
  return Fill(text, args);
}

}  // namespace

extern "C" {

int text_open(ui::InstanceHandle* instance, const char* header, const char* database) {
  Service& s = State();
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    s.instance = instance;
    s.header = header != nullptr ? header : "";
    s.ready = false;
    s.texts.clear();
  }
  if (instance == nullptr || instance->readFile == nullptr || database == nullptr) return 0;
  std::string contents;
  if (!instance->readFile(database, &contents)) return 0;
  ovtext::Texts texts;
  std::string error;
  if (!ovtext::ParseDatabase(contents, &texts, &error)) {
    std::fprintf(stderr, "text: %s: %s\n", database, error.c_str());
    return 0;
  }
  std::lock_guard<std::mutex> lock(s.mutex);
  s.texts = std::move(texts);
  s.ready = true;
  return 1;
}

int text(int number, char* buffer, int size) {
  if (buffer == nullptr || size <= 0) return 0;
  std::string message;
  Lookup(number, &message);
  size_t length = std::min(message.size(), static_cast<size_t>(size) - 1);
  std::memcpy(buffer, message.data(), length);
  buffer[length] = '\0';
  return static_cast<int>(length);
}

int errp(int number, ...) {
  va_list args;
  va_start(args, number);
  std::string message = Message(number, args);
  va_end(args);
  int answer = Show(message, "ORVIK Error " + std::to_string(number), ui::MB_OKCANCEL | ui::MB_ICONHAND);
  return answer == ui::IDOK ? 1 : 0;
}

int msgp(int number, ...) {
  va_list args;
  va_start(args, number);
  std::string message = Message(number, args);
  va_end(args);
  return Show(message, "ORVIK Notice " + std::to_string(number), ui::MB_OK | ui::MB_ICONASTERISK);
}

void text_close(void) {
  Service& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.instance = nullptr;
  s.header.clear();
  s.ready = false;
  s.texts.clear();
}

}  // extern "C"
