#include "ui/screen_terminal.h"

#include <curses.h>
#include <poll.h>

#include <cstdlib>

#include "platform/terminal.h"

namespace ui::detail {
namespace {

bool started = false;   // curses was set up in this process
bool held = false;      // ... and owns the terminal now
bool colour = false;
SCREEN* screen = nullptr;

constexpr short kPairs = 12;

void ReleaseHook() { ReleaseScreen(); }

void SetUpColours() {
  colour = has_colors() && !std::getenv("NO_COLOR") && start_color() == OK && COLOR_PAIRS > kPairs;
  if (!colour) return;
  init_pair(1, COLOR_WHITE, COLOR_BLUE);    // desktop
  init_pair(2, COLOR_BLACK, COLOR_WHITE);   // window
  init_pair(3, COLOR_BLUE, COLOR_WHITE);    // frame
  init_pair(4, COLOR_WHITE, COLOR_CYAN);    // focus
  init_pair(5, COLOR_BLACK, COLOR_CYAN);    // field
  init_pair(6, COLOR_BLACK, COLOR_WHITE);   // button
  init_pair(7, COLOR_BLUE, COLOR_WHITE);    // default button
  init_pair(8, COLOR_RED, COLOR_WHITE);     // accelerator
  init_pair(9, COLOR_BLACK, COLOR_WHITE);   // disabled (dim)
  init_pair(10, COLOR_WHITE, COLOR_BLUE);   // bar
  init_pair(11, COLOR_BLACK, COLOR_CYAN);   // key line
  init_pair(12, COLOR_GREEN, COLOR_WHITE);  // marked item
}

}  // namespace

std::recursive_mutex& ScreenMutex() {
  static std::recursive_mutex* mutex = new std::recursive_mutex;  // outlives exit handlers
  return *mutex;
}

bool AcquireScreen() {
  std::lock_guard<std::recursive_mutex> lock(ScreenMutex());
  if (held) return true;
  if (!started) {
    screen = newterm(nullptr, stdout, stdin);
    if (!screen) return false;
    set_term(screen);
    started = true;
    cbreak();
    noecho();
    nonl();
    keypad(stdscr, TRUE);
    nodelay(stdscr, TRUE);
    set_escdelay(25);
    curs_set(0);
    SetUpColours();
    platform::SetTerminalReleaseHook(&ReleaseHook);
    std::atexit(&ReleaseHook);
  } else {
    reset_prog_mode();
    clearok(curscr, TRUE);
  }
  held = true;
  return true;
}

bool ScreenHeld() {
  std::lock_guard<std::recursive_mutex> lock(ScreenMutex());
  return held;
}

void ReleaseScreen() {
  std::lock_guard<std::recursive_mutex> lock(ScreenMutex());
  if (!held) return;
  held = false;
  endwin();
}

int LookAttr(Look look) {
  if (colour) {
    int pair = static_cast<int>(look) + 1;
    int extra = 0;
    if (look == Look::Focus || look == Look::DefaultButton || look == Look::Accelerator) extra = A_BOLD;
    if (look == Look::Disabled) extra = A_DIM;
    if (look == Look::Accelerator) extra |= A_UNDERLINE;
    return COLOR_PAIR(pair) | extra;
  }
  switch (look) {
    case Look::Focus: return A_REVERSE;
    case Look::Field: return A_UNDERLINE;
    case Look::DefaultButton: return A_BOLD;
    case Look::Accelerator: return A_UNDERLINE | A_BOLD;
    case Look::Disabled: return A_DIM;
    case Look::Bar: return A_REVERSE;
    case Look::KeyLine: return A_REVERSE;
    case Look::Marked: return A_BOLD;
    default: return A_NORMAL;
  }
}

// The next key of curses' own queue, or ERR; kNoKey when the terminal is
// not this process's now.
int NextQueuedKey(bool* ours) {
  std::lock_guard<std::recursive_mutex> lock(ScreenMutex());
  *ours = held;
  if (!held) return ERR;
  int ch = wgetch(stdscr);
  if (ch == 27) {
    int next = wgetch(stdscr);
    if (next != ERR && next < 256) return kAltBase + next;
    if (next != ERR) ungetch(next);
  }
  return ch;
}

int ReadKey(int timeoutMs) {
  bool ours = false;
  int ch = NextQueuedKey(&ours);
  if (ch != ERR) return ch;
  if (!ours) {
    // A child program has the terminal: its keys are not ours.
    poll(nullptr, 0, timeoutMs);
    return kNoKey;
  }
  pollfd fd{0, POLLIN, 0};
  int ready = poll(&fd, 1, timeoutMs);
  if (ready <= 0) return kNoKey;
  ch = NextQueuedKey(&ours);
  if (ch != ERR) return ch;
  return (fd.revents & (POLLHUP | POLLERR | POLLNVAL)) ? kEndOfInput : kNoKey;
}

void UnreadKey(int key) {
  std::lock_guard<std::recursive_mutex> lock(ScreenMutex());
  if (key >= kAltBase) {
    ungetch(key - kAltBase);
    ungetch(27);
  } else if (key >= 0) {
    ungetch(key);
  }
}

}  // namespace ui::detail
