// The whole system from a medium: the repository's sample built into a CD
// or numbered disks by mkmedia, and what a finished installation must leave
// behind, byte for byte.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "testing/program_runner.h"

namespace e2e {

// DOS paths of the run.
constexpr const char* kStaging = R"(C:\windows\temp\~ovprocedureinstall)";

// The sample's source folder (kelmar.lst, readme.txt and the generated
// payload) in <box.root>/source, and media made from it by mkmedia.
class SampleMedia {
 public:
  explicit SampleMedia(const orvik_testing::Sandbox& box);
  // One CD in `out`; returns `out`.
  std::string MakeCd(const std::string& out);
  // Exactly two disks, <out>/Disk1 and <out>/Disk2, the second with room
  // for part of the payload only; returns their folders.
  std::vector<std::string> MakeTwoDisks(const std::string& out);
  // Numbered disks of `diskSize` bytes in `out`; returns their folders,
  // Disk1 first, each checked to hold no more than a disk takes.
  std::vector<std::string> MakeDisks(const std::string& out, std::uint64_t diskSize);

  std::string source;

 private:
  const orvik_testing::Sandbox& box_;
};

// One entry of proc.dir: kind letter, file number and names, and the
// catalogue's procedure file it holds.
struct Entry {
  char kind;  // 'E' procedure, 'H' sub-procedure
  int number;
  std::vector<std::string> names;
  std::string procFile;
};

// proc.dir as the installer writes these entries: 75-byte records, blank
// status, kind, F on the first and L on the last record, file name in 13
// columns, name in 55, CR LF.
std::string ProcDirBytes(const std::vector<Entry>& entries);

// What an installation into the default folders (C:\orvik with proc\ and
// pic\) must have left: proc.dir and the numbered procedure files, readme.txt,
// the pictures, the user programs and the data files, each equal to its
// source and nothing else in those folders; no scratch folder.
struct Installed {
  std::vector<Entry> entries;
  std::vector<std::string> pictures;
  std::vector<std::string> programs;
  std::vector<std::string> dataFiles;
};
void ExpectInstalled(const orvik_testing::Sandbox& box, const std::string& source, const Installed& expected);
// "DMM 45" and "Counter 220" of the sample (in list order) with their
// sub-procedures, registered first, each reached after its own
// sub-procedures; their pictures, program and data files.
Installed DmmAndCounter();

// Makes C:\orvik, C:\orvik\proc and C:\orvik\pic.
void MakeTargetFolders(const orvik_testing::Sandbox& box);

using orvik_testing::LinesStartingWith;
using orvik_testing::Quoted;
// The `window` lines of a transcript.
std::vector<std::string> WindowIds(const std::string& transcript);

}  // namespace e2e
