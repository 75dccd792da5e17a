#include "tests/bootstrap_support.h"

#include <sys/stat.h>

#include <filesystem>

namespace bootstrap_test {

const std::vector<std::string>& StagedNames() {
  static const std::vector<std::string> names = {"text.dll",   "zlib.dll",   "ovtext.mdb",  "_diskmap.lst", "orvik.lst",
                                                 "kelmar.lst", "readme.txt", "_kelmar.exe", "ov_clean.exe"};
  return names;
}

void MakeStubMedium(const std::string& folder, const std::string& setupProgram, const std::string& notes,
                    const std::string& setupName) {
  orvik_testing::MakeDirs(folder);
  for (const std::string& name : StagedNames())
    orvik_testing::WriteFile(folder + "/" + name, "contents of " + name + " on the medium\n");
  orvik_testing::WriteFile(folder + "/_diskmap.lst", "[Disk1]\r\nDMM45.PRO=9685\r\n");
  orvik_testing::WriteFile(folder + "/_kelmar.exe",
                         "#!/bin/sh\n"
                         "# stand-in installer\n"
                         "for a in \"$@\"; do printf '%s|' \"$a\"; done > '" + notes + "/installer_args'\n"
                         "pwd > '" + notes + "/installer_cwd'\n");
  orvik_testing::WriteFile(folder + "/ov_clean.exe", "#!/bin/sh\n# stand-in clean-up program\nexit 0\n");
  orvik_testing::WriteFile(folder + "/" + setupName, orvik_testing::ReadFile(setupProgram));
  for (const char* program : {"_kelmar.exe", "ov_clean.exe"}) ::chmod((folder + "/" + program).c_str(), 0755);
  ::chmod((folder + "/" + setupName).c_str(), 0755);
}

void MakeReadOnly(const std::string& folder) {
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    struct stat st;
    if (::stat(e.path().c_str(), &st) == 0 && S_ISREG(st.st_mode))
      ::chmod(e.path().c_str(), st.st_mode & ~(S_IWUSR | S_IWGRP | S_IWOTH));
  }
}

bool OwnerWritable(const std::string& hostPath) {
  struct stat st;
  return ::stat(hostPath.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) != 0;
}

}  // namespace bootstrap_test
