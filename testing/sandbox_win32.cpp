// The sandbox on Windows: DOS paths are the machine's own, so there is no
// prefix; the sandbox is a fresh folder under the temporary folder, and C:
// is the machine's drive C:. What a test makes in C:\, C:\windows and
// C:\windows\temp (the product's folders, orvik.ini, the staging folder) is
// removed at its end, once the programs the test started let go of them;
// test programs that write there hold CTest's lock on the drive.
#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "platform/dos_path.h"
#include "testing/host_files.h"
#include "testing/host_platform.h"
#include "testing/sandbox.h"
#include "testing/wait_until.h"

namespace orvik_testing {

namespace {

const char* const kWatched[] = {"C:\\", "C:\\windows\\", "C:\\windows\\temp\\"};

}  // namespace

Sandbox::Sandbox(Use use) {
  for (const char* folder : kWatched)
    for (const std::string& name : HostNames(folder)) before_.push_back(folder + name);
  std::sort(before_.begin(), before_.end());
  root = MakeTempFolder();
  driveC = "C:";
  work = root + "\\work";
  if (use == kThisProcess) {
    MakeDirs(work);
    Enter();
  }
}

void Sandbox::RemoveLeftovers() const {
  // Drives mapped for the test go too (they are the machine's, not the process's).
  for (const auto& mapped : drives_) platform::UnmapDrive(mapped.first);
  for (const char* folder : kWatched)
    for (const std::string& name : HostNames(folder)) {
      std::string path = folder + name;
      if (std::binary_search(before_.begin(), before_.end(), path)) continue;
      // A program the test started may still be ending, and Windows keeps a
      // running program's file: removing is tried again until it is gone.
      WaitUntil([&path] {
        RemoveTree(path);
        return !orvik_testing::Exists(path);
      });
    }
}

std::string Sandbox::OnC(const std::string& dosPath) const { return dosPath; }

void Sandbox::MapDrive(char letter, const std::string& hostFolder) const {
  if (!platform::MapDrive(letter, hostFolder))
    throw std::runtime_error(std::string("cannot map ") + letter + ": onto " + hostFolder);
  drives_[static_cast<char>(std::tolower(static_cast<unsigned char>(letter)))] = hostFolder;
}

std::string Sandbox::OnDrive(char letter, const std::string& name) const {
  std::string path = std::string(1, static_cast<char>(std::tolower(static_cast<unsigned char>(letter)))) + ":\\" + name;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

}  // namespace orvik_testing
