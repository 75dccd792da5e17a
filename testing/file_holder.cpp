// Test helper: another process using a file. Opens the DOS path given with
// OpenFile in the given style (a number), or as a lock file ("lock"),
// writes "y" or "n <error>" to the report file, and keeps the file open
// until its standard input ends; it then ends without closing it.
//   file_holder <DOS path> <style>|lock <report host path>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/hfile.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: file_holder <path> <style>|lock <report>\n");
    return 2;
  }
  platform::OFSTRUCT of;
  const std::string style = argv[2];
  platform::HFILE file = style == "lock" ? platform::OpenLockFile(argv[1])
                                         : platform::OpenFile(argv[1], &of, static_cast<platform::UINT>(std::stoul(style)));
  const std::string report = file == platform::HFILE_ERROR ? "n " + std::to_string(platform::GetLastError()) : "y";
  // Complete before the test sees it: written beside, then renamed.
  const std::string beside = std::string(argv[3]) + ".new";
  if (std::FILE* out = std::fopen(beside.c_str(), "wb")) {
    std::fputs(report.c_str(), out);
    std::fclose(out);
  }
  if (std::rename(beside.c_str(), argv[3]) != 0) return 3;
  while (std::getchar() != EOF) {
  }
  std::_Exit(0);  // the file stays open to the end, as a process that dies
}
