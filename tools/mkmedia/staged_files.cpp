#include "tools/mkmedia/staged_files.h"

#include <dlfcn.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdlib>

#include "tools/mkmedia/strip_program.h"

namespace mkmedia {

namespace {

bool RegularFile(const std::string& path, unsigned long long* size) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  if (size) *size = static_cast<unsigned long long>(st.st_size);
  return true;
}

}  // namespace

std::string OwnFolder() {
  char exe[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (n <= 0) return "";
  std::string path(exe, static_cast<std::size_t>(n));
  std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::string LoadedZlibFile() {
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&gzopen), &info) == 0 || info.dli_fname == nullptr) return "";
  // dli_fname is the name the loader used; resolve it to the file itself.
  char* real = ::realpath(info.dli_fname, nullptr);
  if (real == nullptr) return "";
  std::string path = real;
  std::free(real);
  return path;
}

std::vector<StagedFile> StagedFiles(const std::string& programFolder, const std::string& zlibFile,
                                    const std::string& sourceFolder, bool windowsPrograms,
                                    std::vector<std::string>* problems) {
  const std::string exe = windowsPrograms ? ".exe" : "";
  std::vector<StagedFile> files = {
      {"text.dll", programFolder + "/text.dll", "", true},
      {"zlib.dll", zlibFile, "", true},
      {"ovtext.mdb", programFolder + "/ovtext.mdb", "", false},
      {"orvik.lst", "", "", false},
      {"kelmar.lst", sourceFolder + "/kelmar.lst", "", false},
      {"readme.txt", sourceFolder + "/readme.txt", "", false},
      {"_kelmar.exe", programFolder + "/kelmar" + exe, "", true},
      {"ov_clean.exe", programFolder + "/ov_clean" + exe, "", true},
      {"setup.exe", programFolder + "/kelmar_setup" + exe, "", true},
  };
  for (const StagedFile& f : files) {
    // The source folder's files are the caller's to check.
    if (!f.program && f.mediumName != "ovtext.mdb") continue;
    if (f.hostPath.empty()) {
      problems->push_back("the zlib library this program uses cannot be found (for " + f.mediumName + ")");
    } else if (!RegularFile(f.hostPath, nullptr)) {
      problems->push_back(f.hostPath + " is missing (for " + f.mediumName + ")");
    }
  }
  // The programs and libraries travel without their debug information.
  for (StagedFile& f : files) {
    if (!f.program || f.hostPath.empty() || !RegularFile(f.hostPath, nullptr)) continue;
    std::string problem;
    if (!StrippedProgram(f.hostPath, &f.contents, &problem)) {
      problems->push_back(problem);
      continue;
    }
    f.hostPath.clear();
  }
  return files;
}

unsigned long long StagedSize(const std::vector<StagedFile>& files) {
  unsigned long long total = 0;
  for (const StagedFile& f : files) {
    unsigned long long size = 0;
    if (!f.hostPath.empty() && RegularFile(f.hostPath, &size))
      total += size;
    else
      total += f.contents.size();
  }
  return total;
}

}  // namespace mkmedia
