#include "datenum/dose_file.h"

#include <cstdio>

#include "datenum/dose_format.h"
#include "datenum/dose_location.h"
#include "datenum/messages.h"
#include "datenum/stop_box.h"
#include "platform/dos_path.h"
#include "platform/files.h"
#include "platform/flush.h"
#include "platform/hfile.h"

namespace datenum {

namespace {

// The box for the first missing line `line` of the file at `path`.
std::string MissingLineText(int line, const std::string& path) {
  switch (line) {
    case 1: return FillText(msg::kCannotGetMem, path);
    case 2: return FillText(msg::kCannotGetMem1, path);
    case 3: return FillText(msg::kCannotGetMem2, path);
    default: return FillText(FillNumber(msg::kCannotGetM, line - 3).c_str(), path);
  }
}

// Suffix of the file written beside dosdose.dat before it replaces it.
constexpr const char* kNewSuffix = ".new";

}  // namespace

int get_dose(const std::string& iniPath, Registers& registers) {
  std::string path;
  if (!LocateDoseFile(iniPath, &path)) return 0;
  std::string host = platform::HostPath(path);
  std::FILE* file = host.empty() ? nullptr : std::fopen(host.c_str(), "r");
  if (file == nullptr) {
    StopBox(FillText(msg::kCannotRead, path), msg::kFileCaption);
    return 0;
  }
  int missing = ReadRegisters(file, registers);
  std::fclose(file);
  if (missing != 0) {
    StopBox(MissingLineText(missing, path), msg::kFileCaption);
    return 0;
  }
  return 1;
}

int put_dose(const std::string& iniPath, const Registers& registers) {
  std::string path;
  if (!LocateDoseFile(iniPath, &path)) return 0;
  platform::DWORD attributes = platform::GetFileAttributesA(path.c_str());
  bool replaceable = attributes == platform::INVALID_FILE_ATTRIBUTES ||
                     (attributes & (platform::FILE_ATTRIBUTE_READONLY |
                                    platform::FILE_ATTRIBUTE_DIRECTORY)) == 0;
  // Written beside dosdose.dat, the same bytes on every host.
  const std::string fresh = path + kNewSuffix;
  platform::HFILE file = platform::HostPath(path).empty() || !replaceable ? platform::HFILE_ERROR
                                                                          : platform::_lcreat(fresh.c_str(), 0);
  if (file == platform::HFILE_ERROR) {
    StopBox(FillText(msg::kCannotWrite, path), msg::kFileCaption);
    return 0;
  }
  const std::string text = FormatRegisters(registers);
  bool written = platform::_lwrite(file, text.data(), static_cast<platform::UINT>(text.size())) == text.size();
  // On the disk before the rename: a power cut leaves the old registers or
  // the new ones, never an empty file.
  bool flushed = written && platform::FlushFileBuffers(file);
  bool closed = platform::_lclose(file) != platform::HFILE_ERROR;
  if (!written || !flushed || !closed ||
      !platform::MoveFileExA(fresh.c_str(), path.c_str(), platform::MOVEFILE_REPLACE_EXISTING)) {
    platform::DeleteFileA(fresh.c_str());
    StopBox(FillText(msg::kWriteFailed, path), msg::kFileCaption);
    return 0;
  }
  return 1;
}

}  // namespace datenum
