// A program driven on the console frontend, turn by turn: each turn waits
// for a line of the transcript, may change the world (swap the disk in drive
// A:, look at the staging folder) and then types the next command. An answer
// file cannot wait for a disk swap; this can.
#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "testing/program_runner.h"

namespace orvik_testing {

struct Turn {
  // A transcript line beginning with this text, after the line that the
  // turn before matched ("window 1048 ", "box \"ORVIK Error 9226\"" ...).
  std::string waitFor;
  // Run when the line has come, before the input is typed.
  std::function<void()> before;
  // Typed on standard input (lines ending in "\n"); may be empty.
  std::string input;
};

// Runs `program` as RunProgram does (waiting for everything it leaves), with
// standard input a pipe that stays open: the turns are played in order
// against `transcriptPath`, and standard input is closed after the last one,
// so that a window nobody expected ends the program (status 86) instead of
// hanging. A turn whose line never comes ends the run at the timeout; the
// result's `err` then names the turn that was waiting.
RunResult RunConsole(const std::string& program, const std::vector<std::string>& args,
                     const std::map<std::string, std::string>& env, const std::string& cwd,
                     const std::string& transcriptPath, const std::vector<Turn>& turns,
                     int timeoutSeconds = 120);

// The environment of Sandbox::ScriptEnv with the console frontend instead
// of an answer file.
std::map<std::string, std::string> ConsoleEnv(const Sandbox& box);

}  // namespace orvik_testing
