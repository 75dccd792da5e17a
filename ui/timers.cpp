// Window timers, the per-thread dialog registry, the message pump and the
// wait cursor.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "ui/dialog.h"
#include "ui/frontend.h"
#include "ui/thread_dialogs.h"

namespace ui {
namespace detail {
namespace {

std::mutex registryMutex;
std::vector<std::pair<Dialog*, std::thread::id>>& Registry() {
  static std::vector<std::pair<Dialog*, std::thread::id>> registry;
  return registry;
}

bool Registered(Dialog* dialog) {
  std::lock_guard<std::mutex> lock(registryMutex);
  for (auto& entry : Registry()) {
    if (entry.first == dialog) return true;
  }
  return false;
}

std::atomic<bool> waitCursor{false};

}  // namespace

long long NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void RegisterThreadDialog(Dialog* dialog) {
  std::lock_guard<std::mutex> lock(registryMutex);
  Registry().emplace_back(dialog, std::this_thread::get_id());
}

void UnregisterThreadDialog(Dialog* dialog) {
  std::lock_guard<std::mutex> lock(registryMutex);
  auto& registry = Registry();
  for (auto it = registry.begin(); it != registry.end(); ++it) {
    if (it->first == dialog) {
      registry.erase(it);
      return;
    }
  }
}

int FireThreadTimers() {
  std::vector<Dialog*> mine;
  {
    std::lock_guard<std::mutex> lock(registryMutex);
    for (auto& entry : Registry()) {
      if (entry.second == std::this_thread::get_id()) mine.push_back(entry.first);
    }
  }
  int next = -1;
  for (Dialog* dialog : mine) {
    // A handler of an earlier dialog may have closed this one.
    if (!Registered(dialog)) continue;
    int ms = dialog->FireDueTimers();
    if (ms >= 0 && (next < 0 || ms < next)) next = ms;
  }
  return next;
}

}  // namespace detail

void Dialog::SetTimer(int timerId, unsigned milliseconds) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  long long due = detail::NowMs() + milliseconds;
  for (Timer& t : timers_) {
    if (t.id == timerId) {
      t.interval = milliseconds;
      t.due = due;
      return;
    }
  }
  timers_.push_back(Timer{timerId, milliseconds, due});
}

void Dialog::KillTimer(int timerId) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  timers_.erase(std::remove_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.id == timerId; }),
                timers_.end());
}

void Dialog::StopTimers() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  timers_.clear();
}

int Dialog::FireDueTimers() {
  std::vector<int> due;
  {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (ended_.load()) return -1;
    long long now = detail::NowMs();
    for (Timer& t : timers_) {
      if (!t.firing && t.due <= now) {
        due.push_back(t.id);
        t.firing = true;
        t.due = now + t.interval;
      }
    }
  }
  // Handlers run without the lock: they may set texts, kill timers or open
  // windows of their own.
  for (int id : due) {
    if (!ended_.load()) OnTimer(id);
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    for (Timer& t : timers_) {
      if (t.id == id) t.firing = false;
    }
  }
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (ended_.load()) return -1;
  long long now = detail::NowMs();
  long long next = -1;
  for (const Timer& t : timers_) {
    if (t.firing) continue;  // an outer frame runs its handler
    long long ms = std::max(0LL, t.due - now);
    if (next < 0 || ms < next) next = ms;
  }
  return static_cast<int>(std::min(next, 1LL << 30));
}

int SetWaitCursor(bool on) {
  detail::waitCursor.store(on);
  if (Frontend* frontend = ChosenFrontend()) frontend->WaitCursorChanged(on);
  return 1;
}

bool WaitCursorShown() { return detail::waitCursor.load(); }

int PumpMessages(unsigned milliseconds) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point end = Clock::now() + std::chrono::milliseconds(milliseconds);
  if (milliseconds == 0) return 1;
  for (;;) {
    if (Frontend* frontend = ChosenFrontend()) frontend->DispatchPending();
    int next = detail::FireThreadTimers();
    Clock::duration left = end - Clock::now();
    if (left <= Clock::duration::zero()) break;
    // Short slices: to the next timer, at most 10 ms, never a busy spin.
    Clock::duration wait = std::min<Clock::duration>(left, std::chrono::milliseconds(10));
    if (next >= 0) wait = std::min<Clock::duration>(wait, std::chrono::milliseconds(std::max(next, 1)));
    std::this_thread::sleep_for(wait);
  }
  return 1;
}

}  // namespace ui
