// The transfer list orvik.lst: one section per disk naming, in order, every
// file to copy from that disk and its kind, built from the catalogue's
// transfer lists and the disk map.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "installer/transfer/install_paths.h"
#include "installer/transfer/xfer_plan.h"

namespace catalogue {
class ProceduresList;
}  // namespace catalogue

namespace transfer {

// The four transfer lists of the catalogue, in their own order.
struct XferLists {
  std::vector<std::string> procs;      // kind P
  std::vector<std::string> subProcs;   // kind P
  std::vector<std::string> files;      // kind B (".bmp") or M
  std::vector<std::string> dataFiles;  // kind A
};

XferLists CollectXferLists(const catalogue::ProceduresList& procedures);

// Writes the transfer list to `paths.transferListPath` and the disks to visit
// to `plan.disks`, looking every file up in the disk map `paths.diskMapPath`.
// Returns the transfer size in units of `plan.bytesPerSector`: for each file
// (size + unit) / unit. When the files cannot be laid out on disks 1 to 100
// it returns false and the caller ends the installation.
//
// Data files are laid out like the other files: a data file that no disk
// holds keeps the layout going until it fails, so none is left behind
// unnoticed. A name that the list files cannot carry is refused with a
// message and left out. A file that the disk map names under two disks is
// taken from the first.
bool LayOutXferList(const XferLists& lists, const InstallPaths& paths, XferPlan& plan, bool debugMode,
                    std::uint32_t* size);

// LayOutXferList, ending the process after message 9249 when it fails.
std::uint32_t WriteXferList(const XferLists& lists, const InstallPaths& paths, XferPlan& plan, bool debugMode);
std::uint32_t WriteXferList(const catalogue::ProceduresList& procedures, const InstallPaths& paths, XferPlan& plan,
                            bool debugMode);

}  // namespace transfer
