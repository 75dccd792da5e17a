#include "platform/disk_changer.h"

#include <cstdlib>

#include "platform/ascii_case.h"

#ifndef _WIN32
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/dos_path.h"
#include "platform/host.h"
#endif

namespace platform {

#ifdef _WIN32
std::string DiskSetVariable(char letter) { return std::string("ORVIK_MEDIA_") + AsciiUpper(letter); }

// The drives of a Windows machine are its own: the operator changes disks.
bool LoadDisk(char, const std::string&) { return false; }
#else

namespace {

// The set's folder named `diskName`, exact spelling first, else any letter
// case; "" when there is none.
std::string DiskFolder(const std::string& set, const std::string& diskName) {
  struct stat st;
  if (::stat((set + "/" + diskName).c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return set + "/" + diskName;
  std::string found;
  if (DIR* d = ::opendir(set.c_str())) {
    while (struct dirent* e = ::readdir(d)) {
      std::string candidate = set + "/" + e->d_name;
      if (detail::EqualNoCase(e->d_name, diskName) && ::stat(candidate.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        found = candidate;
        break;
      }
    }
    ::closedir(d);
  }
  return found;
}

}  // namespace

std::string DiskSetVariable(char letter) { return std::string("ORVIK_MEDIA_") + AsciiUpper(letter); }

bool LoadDisk(char letter, const std::string& diskName) {
  if (!((letter >= 'a' && letter <= 'z') || (letter >= 'A' && letter <= 'Z'))) return false;
  if (diskName.empty() || diskName.find('/') != std::string::npos || diskName[0] == '.') return false;
  const char* set = std::getenv(DiskSetVariable(letter).c_str());
  if (!set || !*set) return false;
  std::string disk = DiskFolder(set, diskName);
  if (disk.empty()) return false;
  // The new link is made beside the drive's and renamed over it, so that the
  // drive is never missing while the disk changes.
  std::string link = PrefixDir() + "/dosdevices/" + std::string(1, AsciiLower(letter)) + ":";
  std::string fresh = link + ".loading";
  ::unlink(fresh.c_str());
  if (::symlink(disk.c_str(), fresh.c_str()) != 0) return false;
  if (::rename(fresh.c_str(), link.c_str()) != 0) {
    ::unlink(fresh.c_str());
    return false;
  }
  return true;
}
#endif

}  // namespace platform
