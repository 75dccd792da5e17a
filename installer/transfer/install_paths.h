// The folders and list files of an installation. They are fixed when the
// operator confirms the target directories; the transfer only reads them.
#pragma once
#include <string>

namespace transfer {

struct InstallPaths {
  std::string sourceDir;         // folder of the first medium, ends in a backslash
  std::string transferListPath;  // <workDir>\orvik.lst
  std::string dataDir;           // data files (user_cwd)
  std::string tempDir;           // <procDir>_temp; during the install step this run's folder in it
  std::string procDir;           // procedure files (procdir)
  std::string picDir;            // pictures (picdir)
  std::string passwordDir;       // user programs once the directories are confirmed
  std::string userProgDir;       // user programs (user_prog_dir)
  std::string diskMapPath;       // <workDir>\_diskmap.lst
};

}  // namespace transfer
