#include "tools/mkmedia/staged_files.h"

#include <filesystem>

#include "tools/mkmedia/strip_program.h"

namespace mkmedia {

namespace {

bool RegularFile(const std::string& path, unsigned long long* size) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return false;
  std::uintmax_t bytes = std::filesystem::file_size(path, ec);
  if (ec) return false;
  if (size) *size = static_cast<unsigned long long>(bytes);
  return true;
}

}  // namespace

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
