// The whole making of a medium from a publisher's folder: read and check the
// catalogue, find the programs, compress the payload, lay it out on disks and
// write it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace mkmedia {

struct MediumRequest {
  std::string source;           // folder with kelmar.lst, readme.txt and the payload
  std::string output;           // the CD's root, or the folder of the disk folders
  std::uint64_t diskSize = 0;   // 0: one CD
  std::string programFolder;    // where kelmar_setup, kelmar, ov_clean, text.dll, ovtext.mdb are
  std::string zlibFile;         // the zlib library to ship as zlib.dll
  bool windowsPrograms = false; // programFolder holds the Windows build (kelmar_setup.exe ...)
  bool checkOnly = false;       // check and lay out, write nothing
};

struct MediumReport {
  std::vector<std::string> problems;  // empty when the medium was written
  std::vector<std::string> warnings;  // lines that load, likely not as meant
  std::vector<std::string> summary;   // what each disk holds (MediumListing)
};

MediumReport BuildMedium(const MediumRequest& request);

}  // namespace mkmedia
