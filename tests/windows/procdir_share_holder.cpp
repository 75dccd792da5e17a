// Test helper: another workstation's installer holding proc.dir. Opens the
// index with ProcDirOpen in the given mode and reports through files in the
// given folder, since the test starts it with WinExec (no pipes):
// "opened.txt" holds "open <records>" or "failed"; the index is held until
// "release.txt" appears, then closed and "closed.txt" written.
//   procdir_share_holder <index> r|w <folder>
#include <cstdio>
#include <string>

#include "installer/procdir/procdir_open.h"
#include "platform/files.h"
#include "platform/process.h"

namespace {

// Written beside and renamed, so the test never reads half a report.
void Report(const std::string& folder, const char* name, const std::string& text) {
  const std::string part = folder + "\\" + name + ".part";
  if (FILE* f = std::fopen(part.c_str(), "wb")) {
    std::fputs(text.c_str(), f);
    std::fclose(f);
  }
  platform::MoveFileA(part.c_str(), (folder + "\\" + name).c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: procdir_share_holder <index> r|w <folder>\n");
    return 2;
  }
  const std::string folder = argv[3];
  platform::HFILE file = procdir::ProcDirOpen(argv[1], argv[2]);
  if (file == -1) {
    Report(folder, "opened.txt", "failed");
    return 1;
  }
  Report(folder, "opened.txt", "open " + std::to_string(procdir::ProcDirRecordCount()));
  while (!platform::FindFile((folder + "\\release.txt").c_str())) platform::Sleep(10);
  Report(folder, "closed.txt", "closed " + std::to_string(procdir::ProcDirClose(file)));
  return 0;
}
