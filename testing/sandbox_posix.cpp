// The sandbox on a POSIX host: a prefix of its own under the temporary
// folder, whose dosdevices/ map C: onto its drive_c/ and Z: onto /.
#include <unistd.h>

#include <cctype>
#include <stdexcept>

#include "testing/host_files.h"
#include "testing/host_platform.h"
#include "testing/sandbox.h"

namespace orvik_testing {

Sandbox::Sandbox(Use use) {
  root = MakeTempFolder();
  prefix = root + "/prefix";
  driveC = prefix + "/drive_c";
  work = root + "/work";
  if (use == kForPrograms) {
    MakeDirs(driveC + "/windows/temp");
    MakeDirs(prefix + "/dosdevices/unc");
    ::symlink("../drive_c", (prefix + "/dosdevices/c:").c_str());
    ::symlink("/", (prefix + "/dosdevices/z:").c_str());
  } else {
    MakeDirs(work);
    Enter();
  }
}

// Everything the test made is under `root`.
void Sandbox::RemoveLeftovers() const {}

std::string Sandbox::OnC(const std::string& dosPath) const {
  std::string rest = dosPath.substr(2);
  for (char& c : rest)
    if (c == '\\') c = '/';
  return driveC + rest;
}

void Sandbox::MapDrive(char letter, const std::string& hostFolder) const {
  MakeDirs(prefix + "/dosdevices");
  std::string link = prefix + "/dosdevices/" + std::string(1, static_cast<char>(std::tolower(letter))) + ":";
  ::unlink(link.c_str());
  if (::symlink(hostFolder.c_str(), link.c_str()) != 0) throw std::runtime_error("symlink " + link);
  drives_[static_cast<char>(std::tolower(letter))] = hostFolder;
}

std::string Sandbox::OnDrive(char letter, const std::string& name) const {
  std::string path = drives_.at(static_cast<char>(std::tolower(letter))) + "/" + name;
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

}  // namespace orvik_testing
