// The checks a catalogue passes before a medium is made from it: every
// record complete and installable, every named file present and listable,
// and no two names that the target would take for one.
#pragma once
#include <string>
#include <vector>

#include "tools/mkmedia/media_catalogue.h"

namespace mkmedia {

// Most names one installed procedure carries, the longest name the
// procedure index keeps, and the line length the installer cuts at.
constexpr std::size_t kMostNames = 6;
constexpr std::size_t kLongestName = 55;
constexpr std::size_t kLongestLine = 79;

// Faults of the records themselves (names, sub-procedures, procedure files),
// each as "kelmar.lst:<line>: <text>", in file order.
std::vector<std::string> CheckRecords(const MediaCatalogue& catalogue);

// How a payload file was found in the source folder.
struct FoundFile {
  std::string hostPath;  // empty when missing
  bool regular = false;
  unsigned long long size = 0;
};
// Looks a payload name up in the source folder (exact name first, then the
// one entry that differs only in letter case).
FoundFile FindInFolder(const std::string& folder, const std::string& name);

// Faults of the payload files: names that cannot be listed, names that differ
// only in letter case, files missing, empty, not regular or too large for the
// disk map's sizes. `found` receives the host path of each good file, in the
// order of PayloadFiles.
std::vector<std::string> CheckPayloadFiles(const MediaCatalogue& catalogue, const std::string& folder,
                                           std::vector<FoundFile>* found);

}  // namespace mkmedia
