#include "ui/window_stack.h"

#include <chrono>
#include <condition_variable>
#include <list>

namespace ui::detail {
namespace {

std::list<OpenWindow>& Stack() {
  static std::list<OpenWindow> stack;
  return stack;
}

std::mutex wakeMutex;
std::condition_variable wakeCv;
unsigned long wakeGeneration = 0;

}  // namespace

std::recursive_mutex& UiMutex() {
  static std::recursive_mutex mutex;
  return mutex;
}

OpenWindow* PushWindow(int id, const std::string& caption, Dialog* dialog) {
  OpenWindow* entry;
  {
    std::lock_guard<std::recursive_mutex> lock(UiMutex());
    Stack().push_back(OpenWindow{id, caption, dialog, std::this_thread::get_id()});
    entry = &Stack().back();
  }
  WakeWindows();
  return entry;
}

void PopWindow(OpenWindow* window) {
  {
    std::lock_guard<std::recursive_mutex> lock(UiMutex());
    for (auto it = Stack().begin(); it != Stack().end(); ++it) {
      if (&*it == window) {
        Stack().erase(it);
        break;
      }
    }
  }
  WakeWindows();
}

bool ThisThreadOnTop() {
  std::lock_guard<std::recursive_mutex> lock(UiMutex());
  return !Stack().empty() && Stack().back().thread == std::this_thread::get_id();
}

bool TopWindowIs(const Dialog* dialog) {
  std::lock_guard<std::recursive_mutex> lock(UiMutex());
  return !Stack().empty() && Stack().back().dialog == dialog;
}

bool NoWindowOpen() {
  std::lock_guard<std::recursive_mutex> lock(UiMutex());
  return Stack().empty();
}

void WakeWindows() {
  {
    std::lock_guard<std::mutex> lock(wakeMutex);
    ++wakeGeneration;
  }
  wakeCv.notify_all();
}

void WaitForWake(int milliseconds) {
  if (milliseconds <= 0) return;
  std::unique_lock<std::mutex> lock(wakeMutex);
  unsigned long seen = wakeGeneration;
  wakeCv.wait_for(lock, std::chrono::milliseconds(milliseconds),
                  [&] { return wakeGeneration != seen; });
}

}  // namespace ui::detail
