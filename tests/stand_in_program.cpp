// The installer and the clean-up program on a bootstrap test's medium. Run
// as _kelmar.exe it writes its command line as the installer reads it (its
// arguments joined by blanks) followed by "|", and its working folder, to
// installer_args and installer_cwd in the folder ORVIK_STAND_IN_NOTES names;
// under any other name it only ends.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/ascii_case.h"

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  const char* notes = std::getenv("ORVIK_STAND_IN_NOTES");
  std::string self = argc > 0 ? fs::path(argv[0]).filename().string() : "";
  if (notes == nullptr || !platform::EqualNoCase(self, "_kelmar.exe")) return 0;
  std::ofstream args(fs::path(notes) / "installer_args", std::ios::binary);
  for (int i = 1; i < argc; ++i) args << (i > 1 ? " " : "") << argv[i];
  args << '|';
  std::ofstream cwd(fs::path(notes) / "installer_cwd", std::ios::binary);
  cwd << fs::current_path().string() << '\n';
  return args && cwd ? 0 : 1;
}
