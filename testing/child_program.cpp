// What a child program's handling shares between the hosts; starting,
// waiting for and killing it are in program_runner_<host>.cpp.
#include "testing/program_runner.h"

namespace orvik_testing {

ChildProgram::~ChildProgram() {
  CloseInput();
  Wait();
  if (output_ != nullptr) std::fclose(output_);
}

std::string ChildProgram::ReadLine() {
  std::string line;
  for (int c; output_ != nullptr && (c = std::fgetc(output_)) != EOF && c != '\n';) line += char(c);
  // A Windows program's text-mode output ends its lines in CR LF.
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

void ChildProgram::Write(const std::string& text) {
  if (input_ >= 0) WriteAll(input_, text);
}

}  // namespace orvik_testing
