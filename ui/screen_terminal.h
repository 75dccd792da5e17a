// The terminal of the full-screen frontend: one curses session per process,
// shared by every thread under one lock, given back to a child program or at
// the end of the process. Internal.
#pragma once
#include <mutex>

namespace ui::detail {

// Guards every curses call and the frontend's window layers.
std::recursive_mutex& ScreenMutex();

// Takes the terminal (starts curses on first use, takes it back after a
// child program had it); false when curses cannot start on this terminal.
bool AcquireScreen();
// True while this process draws on the terminal.
bool ScreenHeld();
// Gives the terminal back as the program found it (idempotent).
void ReleaseScreen();

// Roles of the cells; each maps to a colour pair, or to video attributes on
// a terminal without colour (or with NO_COLOR set).
enum class Look { Desktop, Window, Frame, Focus, Field, Button, DefaultButton, Accelerator, Disabled, Bar, KeyLine,
                  Marked };
// The curses attributes of a role.
int LookAttr(Look look);

// Keys beyond curses' own codes.
constexpr int kNoKey = -1;
constexpr int kEndOfInput = -2;
constexpr int kAltBase = 0x10000;  // Alt+c is kAltBase + c

// The next key, waiting at most `timeoutMs` for one; kNoKey when none came.
int ReadKey(int timeoutMs);
// Puts a key back for the next ReadKey (of any thread): a window that lost
// the top while it waited hands the key to the window in front.
void UnreadKey(int key);

}  // namespace ui::detail
