// Test helper: another workstation's installer. Opens the index given on the
// command line with ProcDirOpen in the given mode, reports "open <records>"
// (or "failed") on stdout, holds it until a line or the end of stdin, closes
// it and reports "closed".
#include <cstdio>
#include <iostream>
#include <string>

#include "installer/procdir/procdir_open.h"
#include "platform/dos_path.h"
#include "text/text.h"
#include "ui/app.h"
#include "ui/msgbox.h"

namespace {

int ShowBox(const char* text, const char* caption, unsigned style) { return ui::MessageBox(text, caption, style); }

int ReadDosFile(const char* dosPath, std::string* contents) {
  std::FILE* in = std::fopen(platform::HostPath(dosPath).c_str(), "rb");
  if (in == nullptr) return 0;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, in)) > 0;) contents->append(buffer, n);
  std::fclose(in);
  return 1;
}

ui::InstanceHandle g_instance{&ShowBox, &ReadDosFile};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: procdir_lock_holder <index path> r|w\n");
    return 2;
  }
  // Numbered messages from the built ovtext.mdb.
  platform::_chdir(platform::DosPath(ORVIK_BIN_DIR).c_str());
  text_open(&g_instance, "text.h", "ovtext.mdb");
  platform::HFILE file = ProcDirOpen(argv[1], argv[2]);
  if (file == -1) {
    std::printf("failed\n");
    std::fflush(stdout);
    return 1;
  }
  std::printf("open %u\n", unsigned(ProcDirRecordCount()));
  std::fflush(stdout);
  std::string line;
  std::getline(std::cin, line);
  int closed = ProcDirClose(file);
  std::printf("closed %d\n", closed);
  std::fflush(stdout);
  return 0;
}
