#include "installer/transfer/part_file.h"

#include "platform/files.h"
#include "platform/hfile.h"

namespace transfer {

namespace {

// The number of names tried beside one target.
constexpr int kPartNames = 1000;

// True when the existing `target` could be opened for writing now: it is a
// regular file, not read-only and not held by another program. `error`
// says why not.
bool TargetWritable(const std::string& target, platform::DWORD* error) {
  platform::OFSTRUCT of;
  platform::HFILE probe =
      platform::OpenFile(target.c_str(), &of, platform::OF_WRITE | platform::OF_SHARE_DENY_NONE);
  if (probe == platform::HFILE_ERROR) {
    *error = of.nErrCode;
    return false;
  }
  platform::_lclose(probe);
  return true;
}

}  // namespace

bool PartFile::Create(const std::string& target, platform::DWORD* error) {
  using namespace platform;
  Release();
  output_ = HFILE_ERROR;
  path_.clear();
  const bool exists = GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES;
  if (exists && !TargetWritable(target, error)) return false;
  if (!exists && OpenUnnamed(target)) return true;
  for (int n = 0; n < kPartNames; ++n) {
    path_ = target + ".~ov" + std::to_string(n);
    // A name taken by a leftover of a copy that ended (a regular file that
    // no copy holds locked) is freed and tried once more; links, other
    // programs' files and live copies keep their names.
    for (int attempt = 0; attempt < 2; ++attempt) {
      OFSTRUCT of;
      output_ = OpenFile(path_.c_str(), &of, OF_CREATE | OF_CREATE_NEW | OF_WRITE | OF_SHARE_DENY_NONE);
      if (output_ != HFILE_ERROR) break;
      if (of.nErrCode != ERROR_FILE_EXISTS) return false;
      if (attempt > 0 || !DeleteFileIfUnused(path_.c_str())) break;
    }
    if (output_ == HFILE_ERROR) continue;
    guard_ = OpenGuard(output_, path_.c_str());
    if (guard_ != HFILE_ERROR) return true;
    // Taken away before it could be locked: another name.
    _lclose(output_);
    output_ = HFILE_ERROR;
  }
  return false;
}

bool PartFile::CreateUnnamed(const std::string& target) {
  Release();
  output_ = platform::HFILE_ERROR;
  path_.clear();
  return platform::GetFileAttributesA(target.c_str()) == platform::INVALID_FILE_ATTRIBUTES && OpenUnnamed(target);
}

bool PartFile::OpenUnnamed(const std::string& target) {
  using namespace platform;
  output_ = CreateUnnamedFile(target.c_str());
  if (output_ == HFILE_ERROR) return false;
  guard_ = OpenGuard(output_, "");
  if (guard_ != HFILE_ERROR) return true;
  _lclose(output_);
  output_ = HFILE_ERROR;
  return false;
}

platform::HFILE PartFile::TakeGuard() {
  const platform::HFILE guard = guard_;
  guard_ = platform::HFILE_ERROR;
  return guard;
}

void PartFile::Release() {
  if (guard_ != platform::HFILE_ERROR) platform::_lclose(guard_);
  guard_ = platform::HFILE_ERROR;
}

}  // namespace transfer
