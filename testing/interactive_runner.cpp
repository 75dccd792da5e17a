#include "testing/interactive_runner.h"

namespace orvik_testing {

namespace {

// Index of the first line at or after `from` that begins with `prefix`, or -1.
long FindLine(const std::vector<std::string>& lines, std::size_t from, const std::string& prefix) {
  for (std::size_t i = from; i < lines.size(); ++i)
    if (lines[i].rfind(prefix, 0) == 0) return static_cast<long>(i);
  return -1;
}

}  // namespace

std::map<std::string, std::string> ConsoleEnv(const Sandbox& box) {
  std::map<std::string, std::string> env = box.ScriptEnv("");
  env["ORVIK_UI"] = "console";
  env["ORVIK_SCRIPT"] = "";
  return env;
}

RunResult RunConsole(const std::string& program, const std::vector<std::string>& args,
                     const std::map<std::string, std::string>& env, const std::string& cwd,
                     const std::string& transcriptPath, const std::vector<Turn>& turns, int timeoutSeconds) {
  std::size_t turn = 0;
  std::size_t seenUpTo = 0;  // transcript lines before this one are used up
  auto feed = [&](int input) {
    while (turn < turns.size()) {
      std::vector<std::string> lines = Lines(ReadFile(transcriptPath));
      long at = FindLine(lines, seenUpTo, turns[turn].waitFor);
      if (at < 0) return false;
      seenUpTo = static_cast<std::size_t>(at) + 1;
      if (turns[turn].before) turns[turn].before();
      WriteAll(input, turns[turn].input);
      ++turn;
    }
    return true;  // every turn has typed its input: end of input
  };
  auto note = [&]() -> std::string {
    return turn < turns.size() ? " waiting for \"" + turns[turn].waitFor + "\"" : std::string();
  };
  return RunChild(program, args, env, cwd, feed, timeoutSeconds, note);
}

}  // namespace orvik_testing
