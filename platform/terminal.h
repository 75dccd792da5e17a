// The controlling terminal as the programs share it: whether a full-screen
// frontend can run on it, and a hook that gives it back (to a child program
// or at the end of the process).
#pragma once

namespace platform {

// True when standard input and output are both a terminal and TERM names a
// terminal that can address the screen (set and not "dumb").
bool ScreenTerminal();

// True when ORVIK_UI chooses the full-screen frontend ("screen", or unset on
// a ScreenTerminal).
bool ScreenFrontendChosen();

// A function that restores the terminal to the state the program found it
// in. WinExec calls it before a child starts (the child takes the terminal
// over) and ExitProcess before the process ends. Null clears it.
using TerminalReleaseHook = void (*)();
void SetTerminalReleaseHook(TerminalReleaseHook hook);
void ReleaseTerminal();

// Shows a text file page by page on the terminal (space or PgDn: next page,
// b or PgUp: previous, q or Esc: quit); returns 0, or 1 when the file cannot
// be read. Used where no pager program is installed.
int PageTextFile(const char* hostPath);

}  // namespace platform
