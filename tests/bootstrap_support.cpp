#include "tests/bootstrap_support.h"

#include <filesystem>

#include "testing/host_platform.h"

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
  const std::string standIn = orvik_testing::ReadFile(STAND_IN_PATH);
  for (const char* program : {"_kelmar.exe", "ov_clean.exe"}) {
    orvik_testing::WriteFile(folder + "/" + program, standIn);
    orvik_testing::ChangeMode(folder + "/" + program, 0755);
  }
  orvik_testing::WriteFile(folder + "/" + setupName, orvik_testing::ReadFile(setupProgram));
  orvik_testing::ChangeMode(folder + "/" + setupName, 0755);
  // The programs this test starts pass the environment on to the stand-ins.
  orvik_testing::SetEnv("ORVIK_STAND_IN_NOTES", notes);
}

void MakeReadOnly(const std::string& folder) {
  namespace fs = std::filesystem;
  for (const auto& e : fs::directory_iterator(folder))
    if (e.is_regular_file())
      fs::permissions(e.path(), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                      fs::perm_options::remove);
}

}  // namespace bootstrap_test
