// Processes, time and the command line.
#pragma once
#include <string>

#include "platform/types.h"

namespace platform {

constexpr UINT SW_HIDE = 0;
constexpr UINT SW_SHOW = 5;
constexpr UINT SW_SHOWNORMAL = 1;

// The program's command line: its arguments joined by single blanks.
std::string CommandLineFromArgs(int argc, char** argv);

// Starts the program named by the first word of `commandLine` (a DOS path, or
// a quoted one); the rest of the text, after one blank, reaches the child as
// its one argument. Returns a value above 31 when the program started, 2 when
// it was not found. Writes the transcript line `exec "<command line>" <result>`.
// The bare name write.exe starts the text viewer ($ORVIK_VIEWER; under the
// full-screen frontend less or a built-in pager on the terminal; else
// xdg-open when a display is there, else nothing). The child's environment
// also holds ORVIK_PARENT_PID, this process's id, so that a child can tell
// when its starter has ended even if that happened before it looked.
UINT WinExec(const char* commandLine, UINT show);

// Environment given to every program started by WinExec from now on
// (the script frontend passes ORVIK_SCRIPT_LINE this way).
void SetChildEnvironment(const std::string& name, const std::string& value);

// This process's id.
DWORD GetCurrentProcessId();

void Sleep(DWORD milliseconds);
DWORD GetTickCount();

// Ends the process at once with `code` after flushing the transcript and the
// standard streams; no destructors run.
[[noreturn]] void ExitProcess(int code);

}  // namespace platform
