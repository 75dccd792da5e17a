// Programs run as child processes, waited for with everything they start.
#pragma once
#include <functional>
#include <map>
#include <string>
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

}  // namespace orvik_testing
