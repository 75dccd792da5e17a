// The sandbox on Windows: DOS paths are the machine's own, so there is no
// prefix; the sandbox is a fresh folder under the temporary folder, and C:
// is the machine's drive C: (tests that write there share it).
#include <stdexcept>

#include "platform/dos_path.h"
#include "testing/host_files.h"
#include "testing/host_platform.h"
#include "testing/sandbox.h"

namespace orvik_testing {

Sandbox::Sandbox(Use use) {
  root = MakeTempFolder();
  driveC = "C:";
  work = root + "\\work";
  if (use == kThisProcess) {
    MakeDirs(work);
    Enter();
  }
}

std::string Sandbox::OnC(const std::string& dosPath) const { return dosPath; }

void Sandbox::MapDrive(char letter, const std::string& hostFolder) const {
  if (!platform::MapDrive(letter, hostFolder))
    throw std::runtime_error(std::string("cannot map ") + letter + ": onto " + hostFolder);
}

}  // namespace orvik_testing
