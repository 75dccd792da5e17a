// Test helper: another workstation's installer. Opens the index given on the
// command line with ProcDirOpen in the given mode, reports "open <records>"
// (or "failed") on stdout, holds it until a line or the end of stdin, closes
// it and reports "closed".
#include <cstdio>
#include <iostream>
#include <string>

#include "installer/procdir/procdir_open.h"
#include "testing/fake_instance.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: procdir_lock_holder <index path> r|w\n");
    return 2;
  }
  orvik_testing::OpenMessages();  // numbered messages from the built ovtext.mdb
  platform::HFILE file = procdir::ProcDirOpen(argv[1], argv[2]);
  if (file == -1) {
    std::printf("failed\n");
    std::fflush(stdout);
    return 1;
  }
  std::printf("open %u\n", unsigned(procdir::ProcDirRecordCount()));
  std::fflush(stdout);
  std::string line;
  std::getline(std::cin, line);
  int closed = procdir::ProcDirClose(file);
  std::printf("closed %d\n", closed);
  std::fflush(stdout);
  return 0;
}
