#include "tools/mkmedia/medium_listing.h"

#include <cstdio>

namespace mkmedia {

namespace {

std::string FileLine(const std::string& name, std::uint64_t compressed, std::uint64_t original) {
  char line[160];
  std::snprintf(line, sizeof line, "  %-24s %12llu bytes compressed %12llu installed", name.c_str(),
                static_cast<unsigned long long>(compressed), static_cast<unsigned long long>(original));
  return line;
}

}  // namespace

std::vector<std::string> MediumListing(const MediumContents& c, std::uint64_t capacity, const std::string& output) {
  std::vector<std::string> lines;
  for (int disk = 1; disk <= c.layout.diskCount; ++disk) {
    std::vector<std::string> files;
    std::size_t count = 0;
    std::uint64_t compressed = 0, original = 0;
    for (std::size_t i = 0; i < c.files.size() && i < c.layout.diskOf.size(); ++i) {
      if (c.layout.diskOf[i] != disk) continue;
      ++count;
      compressed += c.files[i].compressed;
      original += c.files[i].original;
      files.push_back(FileLine(c.files[i].name, c.files[i].compressed, c.files[i].original));
    }
    std::uint64_t used = compressed;
    std::string staged;
    if (disk == 1) {
      std::uint64_t fixed = StagedSize(c.staged) + c.diskMap.size();
      used += fixed;
      for (const StagedFile& f : c.staged) staged += f.mediumName + ", ";
      staged = "  " + staged + "_diskmap.lst: " + std::to_string(fixed) + " bytes";
    }
    std::string name = c.cd ? "DiskCD" : "Disk" + std::to_string(disk);
    std::string header = name + ": " + std::to_string(count) + " payload files, " + std::to_string(compressed) +
                         " bytes compressed (" + std::to_string(original) + " installed)";
    if (disk == 1) header += ", with setup.exe and the installer";
    if (capacity > 0) header += ", " + std::to_string(capacity >= used ? capacity - used : 0) + " bytes left";
    if (!output.empty()) header += " (" + (c.cd ? output : output + "/" + name) + ")";
    lines.push_back(header);
    if (disk == 1) lines.push_back(staged);
    lines.insert(lines.end(), files.begin(), files.end());
  }
  return lines;
}

}  // namespace mkmedia
