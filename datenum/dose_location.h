// Where dosdose.dat lives, found through the product's initialisation file.
#pragma once
#include <string>

namespace datenum {

constexpr const char* kDoseFileName = "dosdose.dat";

// True when `iniPath` is not empty, the file exists (a bare name is looked
// for in C:\windows\, where the profile reader reads it) and its [Startup]
// section has a non-empty procdir.
bool IsValidIniFile(const std::string& iniPath);

// The DOS path of dosdose.dat: in user_data_dir of [Startup], else in
// user_cwd, else the bare name (current directory). Worked out on the first
// call that succeeds and kept for the rest of the run. On an invalid
// initialisation file shows its box and returns false.
bool LocateDoseFile(const std::string& iniPath, std::string* dosePath);

// Forgets the kept path (tests run several "runs" in one process).
void ResetDoseLocationForTesting();

}  // namespace datenum
