// What a medium holds, disk by disk, for the publisher to read: the payload
// files with their sizes compressed and installed, the programs and lists of
// the first disk, and the room left on each disk.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tools/mkmedia/medium_writer.h"

namespace mkmedia {

// One header line per disk ("Disk2: 12 payload files, ..."), followed by
// indented lines: on the first disk the staged files, then one line per
// payload file. `capacity` 0 is a CD (no room to tell); `output` is the
// medium's folder, or "" when nothing was written.
std::vector<std::string> MediumListing(const MediumContents& contents, std::uint64_t capacity,
                                       const std::string& output);

}  // namespace mkmedia
