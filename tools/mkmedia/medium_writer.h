// Writes a finished medium: one CD folder, or one folder per disk.
#pragma once
#include <string>
#include <vector>

#include "tools/mkmedia/disk_layout.h"
#include "tools/mkmedia/staged_files.h"

namespace mkmedia {

struct MediumContents {
  std::vector<StagedFile> staged;    // first disk, beside setup.exe
  std::string diskMap;               // _diskmap.lst
  std::vector<LayoutFile> files;     // payload files, catalogue order
  std::vector<std::string> gzipped;  // their compressed bytes
  DiskLayout layout;
  bool cd = true;
};

// A CD: `output` is the medium's root with the DiskCD marker, the staged
// files, _diskmap.lst and proc_data\. Disks: `output`/Disk<n> for each disk,
// each with its Disk<n> marker and proc_data\, the first also with the staged
// files and _diskmap.lst. The whole medium is built in a new folder beside
// `output` and renamed into place at the end, so `output` (which must not
// exist or be empty) never holds half a medium. False, with the reason in
// `problems`, when it could not be written.
bool WriteMedium(const std::string& output, const MediumContents& contents, std::vector<std::string>* problems);

}  // namespace mkmedia
