// How the transfer list lays the files out: the unit its sizes are counted
// in and the disks to visit.
#pragma once
#include <cstdint>
#include <vector>

namespace transfer {

struct XferPlan {
  // Bytes per sector of the target drive, or 1 when its geometry is unknown.
  std::uint32_t bytesPerSector = 0;
  // Disks that carry files of the list, in the order they are visited.
  std::vector<std::int32_t> disks;
};

}  // namespace transfer
