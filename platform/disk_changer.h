// A disk changer: a drive whose disks are the folders Disk1, Disk2, ... of
// one host folder (a set as mkmedia writes it). Whoever starts the programs
// names the set in ORVIK_MEDIA_<letter>; without it the drive holds whatever
// the operator puts in.
#pragma once
#include <string>

namespace platform {

// Puts disk `diskName` ("Disk2") of the set of drive `letter` into the
// drive: the drive is re-pointed in one step onto the set's folder of that
// name (letter case ignored). False, changing nothing, when the drive has no
// set or the set has no such disk.
bool LoadDisk(char letter, const std::string& diskName);

// Name of the environment variable that holds the set of drive `letter`.
std::string DiskSetVariable(char letter);

}  // namespace platform
