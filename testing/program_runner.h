// Programs run as child processes, waited for with everything they start.
#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "testing/host_files.h"
#include "testing/sandbox.h"
#include "testing/transcript.h"

namespace orvik_testing {

struct RunResult {
  int exitStatus = -1;  // the program's exit status, or 128+signal
  std::string out;
  std::string err;
};

// Runs `program` (a host path) with `args` in host folder `cwd`, with the
// current environment plus `env` (an empty value removes a name), feeding
// `input` on standard input. Waits for the program and for every process it
// leaves behind (it becomes their subreaper), at most `timeoutSeconds`.
RunResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                     const std::map<std::string, std::string>& env, const std::string& cwd,
                     const std::string& input = "", int timeoutSeconds = 120);

// The engine of both runners: starts `program` like RunProgram and, on every
// turn of its wait loop, calls `feed` with the program's standard input
// until `feed` returns true (standard input is then closed). `timeoutNote`
// adds to the message of a run that timed out.
RunResult RunChild(const std::string& program, const std::vector<std::string>& args,
                   const std::map<std::string, std::string>& env, const std::string& cwd,
                   const std::function<bool(int input)>& feed, int timeoutSeconds,
                   const std::function<std::string()>& timeoutNote = {});
// Writes all of `text` to `fd` (stops quietly when the reader has gone).
void WriteAll(int fd, const std::string& text);

// Runs `program` as RunProgram does, but with a terminal as its standard
// input: each pair of `typed` types its keys once the output holds its text.
// POSIX only: on Windows, whose tests of it are skipped, nothing runs and
// the exit status is 127.
RunResult RunAtTerminal(const std::string& program, const std::vector<std::string>& args,
                        const std::map<std::string, std::string>& env,
                        const std::vector<std::pair<std::string, std::string>>& typed, int timeoutSeconds = 120);

// A program running beside the test while the test goes on (another
// workstation's installer, a process to kill), talked to through its
// standard input and output; its standard error is the test's.
class ChildProgram {
 public:
  // Starts `program` (a host path) with `args`, the current environment
  // plus `env` (an empty value removes a name) and the test's current folder.
  ChildProgram(const std::string& program, const std::vector<std::string>& args,
               const std::map<std::string, std::string>& env = {});
  // Closes its input and waits for it.
  ~ChildProgram();
  ChildProgram(const ChildProgram&) = delete;
  ChildProgram& operator=(const ChildProgram&) = delete;

  // The next line of its standard output without the line end; "" once the
  // output has ended.
  std::string ReadLine();
  // Types `text` on its standard input (nothing once the input is closed).
  void Write(const std::string& text);
  void CloseInput();
  bool InputOpen() const { return input_ >= 0; }
  // Waits for it to end: its exit status, 128+signal when a signal ended it.
  int Wait();
  // Ends it at once, as a crash or a power cut would: no code of its own
  // runs any more (Wait then gives 137).
  void Kill();
  // For a program that starts another one and ends at the end of its input
  // (an installer leaving ov_clean behind), once it has started that one:
  // closes its input, waits for it to end, then for the program it left
  // running, and returns that one's exit status (-1 when it left none).
  // The test has no other child program running meanwhile.
  int EndAndWaitForLeftProgram();

 private:
  std::intptr_t process_ = -1;  // the process id, or its handle on Windows
  int input_ = -1;
  std::FILE* output_ = nullptr;
  int status_ = -1;
};

}  // namespace orvik_testing
