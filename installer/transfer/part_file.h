// The new file beside a target that receives a copy's data, and a second
// handle that keeps it until it is in place. For a target that does not
// exist yet, where the host can, the file has no name until it is in place:
// nothing is left behind if the copy ends early, and the folder is changed
// once per file. Otherwise it has a free name (<target>.~ov<n>), and the
// second handle keeps it locked until it has replaced the target or been
// removed, so that no other installer on a shared folder takes it for a
// leftover.
#pragma once
#include <string>

#include "platform/types.h"

namespace transfer {

class PartFile {
 public:
  PartFile() = default;
  ~PartFile() { Release(); }
  PartFile(const PartFile&) = delete;
  PartFile& operator=(const PartFile&) = delete;

  // Makes a new file beside `target`. False when the target exists but could
  // not be written now (a folder, a device, read-only, held by another
  // program) or no free name was found; *error then says why when known.
  bool Create(const std::string& target, platform::DWORD* error);
  // Makes a file with no name for `target` only: false when the target
  // exists or the host makes no such file there.
  bool CreateUnnamed(const std::string& target);

  // The part's name; "" for a file with no name.
  const std::string& Path() const { return path_; }
  // The handle the data are written through; whoever writes closes it.
  platform::HFILE Output() const { return output_; }
  // Hands the lock over (to a batch that closes it once the file is in place).
  platform::HFILE TakeGuard();
  // Closes the lock if it is still held.
  void Release();

 private:
  bool OpenUnnamed(const std::string& target);

  std::string path_;
  platform::HFILE output_ = -1;
  platform::HFILE guard_ = -1;
};

}  // namespace transfer
