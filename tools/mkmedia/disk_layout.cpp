#include "tools/mkmedia/disk_layout.h"

namespace mkmedia {

namespace {

// Next-fit of the files after `reserve` bytes on the first disk.
DiskLayout Pack(const std::vector<LayoutFile>& files, std::uint64_t capacity, std::uint64_t reserve) {
  DiskLayout layout;
  int disk = 1;
  std::uint64_t used = reserve;
  for (const LayoutFile& f : files) {
    if (f.compressed > capacity) {
      layout.problems.push_back("\"" + f.name + "\" takes " + std::to_string(f.compressed) +
                                " bytes compressed, more than a disk of " + std::to_string(capacity) + " bytes");
      layout.diskOf.push_back(0);
      continue;
    }
    if (used + f.compressed > capacity) {
      ++disk;
      used = 0;
    }
    used += f.compressed;
    layout.diskOf.push_back(disk);
  }
  layout.diskCount = disk;
  return layout;
}

// The layout at `capacity`, its faults without advice.
DiskLayout TryPack(const std::vector<LayoutFile>& files, std::uint64_t capacity, std::uint64_t firstDiskFixed) {
  std::uint64_t reserve = firstDiskFixed;
  for (;;) {
    if (reserve > capacity) {
      DiskLayout layout;
      layout.problems.push_back("the first disk's programs and lists take " + std::to_string(reserve) +
                                " bytes, more than a disk of " + std::to_string(capacity) + " bytes");
      return layout;
    }
    DiskLayout layout = Pack(files, capacity, reserve);
    // A larger reserve only moves files to later disks, so the disk map only
    // grows and this ends.
    std::uint64_t needed = firstDiskFixed + DiskMapText(files, layout).size();
    if (needed <= reserve || !layout.problems.empty()) {
      if (layout.diskCount > kMostDisks)
        layout.problems.push_back("the set needs " + std::to_string(layout.diskCount) +
                                  " disks; the disk map holds at most 100");
      return layout;
    }
    reserve = needed;
  }
}

}  // namespace

DiskLayout SingleDisk(const std::vector<LayoutFile>& files) {
  DiskLayout layout;
  layout.diskOf.assign(files.size(), 1);
  layout.diskCount = 1;
  return layout;
}

std::uint64_t SmallestDiskSize(const std::vector<LayoutFile>& files, std::uint64_t firstDiskFixed) {
  // Everything on one disk always fits; search down from there. More room
  // never needs more disks in practice, and the answer is tried, so it works.
  std::uint64_t total = firstDiskFixed;
  for (const LayoutFile& f : files) total += f.compressed;
  DiskLayout one = SingleDisk(files);
  std::uint64_t works = total + DiskMapText(files, one).size();
  std::uint64_t fails = 0;
  while (works - fails > 1) {
    std::uint64_t middle = fails + (works - fails) / 2;
    (TryPack(files, middle, firstDiskFixed).problems.empty() ? works : fails) = middle;
  }
  return works;
}

DiskLayout PackDisks(const std::vector<LayoutFile>& files, std::uint64_t capacity, std::uint64_t firstDiskFixed) {
  DiskLayout layout = TryPack(files, capacity, firstDiskFixed);
  if (!layout.problems.empty()) {
    std::string smallest = std::to_string(SmallestDiskSize(files, firstDiskFixed));
    layout.problems.push_back("the smallest disk size that holds this set is " + smallest + " bytes: --disk-size " +
                              smallest);
  }
  return layout;
}

std::string DiskMapText(const std::vector<LayoutFile>& files, const DiskLayout& layout) {
  std::string text;
  for (int disk = 1; disk <= layout.diskCount; ++disk) {
    text += "[Disk" + std::to_string(disk) + "]\r\n";
    for (std::size_t i = 0; i < files.size() && i < layout.diskOf.size(); ++i) {
      if (layout.diskOf[i] == disk) text += files[i].name + "=" + std::to_string(files[i].original) + "\r\n";
    }
    text += "\r\n";
  }
  return text;
}

}  // namespace mkmedia
