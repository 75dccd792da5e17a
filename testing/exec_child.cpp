// Test helper: a program started by WinExec. Writes its argument count, its
// arguments, ORVIK_SCRIPT_LINE, its current folder, ORVIK_PARENT_PID and
// ORVIK_PREFIX to out.txt beside itself, renamed into place when complete.
// With the one argument --exit-process it prints unflushed text and ends
// through platform::ExitProcess(3) instead.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/process.h"

namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  if (argc == 2 && std::string(argv[1]) == "--exit-process") {
    std::printf("buffered text");
    platform::ExitProcess(3);
  }
  const fs::path out = fs::absolute(argv[0]).parent_path() / "out.txt";
  std::string text = "argc=" + std::to_string(argc - 1) + "\n";
  for (int i = 1; i < argc; ++i) text += "arg=[" + std::string(argv[i]) + "]\n";
  text += "line=" + Env("ORVIK_SCRIPT_LINE") + "\ncwd=" + fs::current_path().string() + "\nstarter=" +
          Env("ORVIK_PARENT_PID") + "\nprefix=" + Env("ORVIK_PREFIX") + "\n";
  const fs::path beside = out.string() + ".tmp";
  {
    std::ofstream file(beside, std::ios::binary);
    file << text;
    if (!file) return 1;
  }
  std::error_code ec;
  fs::rename(beside, out, ec);
  return ec ? 1 : 0;
}
