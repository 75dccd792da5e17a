// Which disk of a set carries each payload file, and the disk map that says
// so: files go in catalogue order onto the first disk with room, the first
// disk also carrying the programs and lists the bootstrap stages.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace mkmedia {

constexpr int kMostDisks = 100;

struct LayoutFile {
  std::string name;
  std::uint64_t original = 0;    // bytes as installed (the disk map's size)
  std::uint64_t compressed = 0;  // bytes on the medium
};

struct DiskLayout {
  std::vector<int> diskOf;  // disk number of each file, from 1
  int diskCount = 0;
  std::vector<std::string> problems;
};

// Everything on one disk (a CD).
DiskLayout SingleDisk(const std::vector<LayoutFile>& files);

// Fills disks of `capacity` bytes in catalogue order: a file goes onto the
// current disk while it fits, else it opens the next one. `firstDiskFixed` is
// what the first disk carries besides payload (programs and lists, the disk
// map excluded): the disk map is sized for the layout it describes, so the
// layout is repeated until its own disk map fits. Reports a file larger than
// a disk, fixed files that leave no room, and a set of more than 100 disks,
// each time followed by the smallest disk size that holds the set.
DiskLayout PackDisks(const std::vector<LayoutFile>& files, std::uint64_t capacity, std::uint64_t firstDiskFixed);

// The smallest capacity at which PackDisks lays out `files` without a fault.
std::uint64_t SmallestDiskSize(const std::vector<LayoutFile>& files, std::uint64_t firstDiskFixed);

// The disk map _diskmap.lst: a section [Disk<n>] for every disk from 1 to the
// last, each file as <name>=<original size>, lines ending in CR LF and a
// blank line after each section.
std::string DiskMapText(const std::vector<LayoutFile>& files, const DiskLayout& layout);

}  // namespace mkmedia
