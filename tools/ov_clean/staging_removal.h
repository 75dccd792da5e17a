// Removal of the installer's staging folder.
#pragma once
#include <string>

namespace ov_clean {

// Name every staging folder ends in; ov_clean removes nothing else.
inline constexpr char kStagingName[] = "~ovprocedureinstall";

// True when the last component of the DOS path `folder` is the staging
// folder's name (ASCII case ignored; trailing separators allowed).
bool IsStagingFolder(const std::string& folder);

// Removes `folder` and everything in it. Symbolic links are removed as
// entries, never followed; read-only files and folders are made writable
// first. A missing folder counts as removed. Returns true when it is gone.
bool RemoveStagingFolder(const std::string& folder);

}  // namespace ov_clean
