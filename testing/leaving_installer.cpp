// Test helper: an installer at its end. Starts the command line it is given
// with WinExec, as the installer starts ov_clean just before it ends;
// reports "started" (or "not started <result>" and ends with status 1) and
// ends at the end of its standard input.
#include <cstdio>
#include <iostream>
#include <string>

#include "platform/process.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: leaving_installer <command line>\n");
    return 2;
  }
  platform::UINT result = platform::WinExec(argv[1], platform::SW_HIDE);
  if (result <= 31) {
    std::printf("not started %u\n", result);
    return 1;
  }
  std::printf("started\n");
  std::fflush(stdout);
  std::string line;
  while (std::getline(std::cin, line)) {
  }
  return 0;
}
