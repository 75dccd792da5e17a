// The programs and files a medium's first disk carries for the bootstrap to
// stage: where each comes from and the name it has on the medium.
#pragma once
#include <string>
#include <vector>

namespace mkmedia {

struct StagedFile {
  std::string mediumName;  // name on the medium ("setup.exe")
  std::string hostPath;    // where it comes from; empty for a file written fresh
                           // (and for a program, once stripped into `contents`)
  std::string contents;    // the contents of a file written fresh
  bool program = false;    // executable on the medium
};

// The nine files, in the order the bootstrap stages them except for the
// disk map, which the caller writes: setup.exe, _kelmar.exe, ov_clean.exe,
// text.dll, zlib.dll, ovtext.mdb from `programFolder` (the build's names
// kelmar_setup, kelmar, ov_clean) and `zlibFile`, the programs and libraries
// stripped of their debug information; orvik.lst empty; kelmar.lst and
// readme.txt from `sourceFolder`. With `windowsPrograms` the folder holds the
// Windows build, whose programs carry .exe already. Missing programs, and
// programs that cannot be stripped, are reported (the source folder's files
// are the caller's to check).
std::vector<StagedFile> StagedFiles(const std::string& programFolder, const std::string& zlibFile,
                                    const std::string& sourceFolder, bool windowsPrograms,
                                    std::vector<std::string>* problems);

// Total bytes of the staged files.
unsigned long long StagedSize(const std::vector<StagedFile>& files);

}  // namespace mkmedia
