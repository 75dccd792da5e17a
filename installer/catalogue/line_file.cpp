#include "installer/catalogue/line_file.h"

#include "platform/hfile.h"

namespace catalogue {

namespace {

platform::HFILE OpenForAppend(const char* path) {
  platform::OFSTRUCT of;
  return platform::OpenFile(path, &of, platform::OF_WRITE | platform::OF_SHARE_EXCLUSIVE);
}

}  // namespace

bool LineFile::Open(const char* path) {
  Close();
  if (path == nullptr) return false;
  platform::HFILE file = OpenForAppend(path);
  if (file == platform::HFILE_ERROR && platform::GetLastError() == platform::ERROR_FILE_NOT_FOUND) {
    // Missing: create it empty, then open it like an existing one.
    platform::HFILE created = platform::_lcreat(path, 0);
    if (created == platform::HFILE_ERROR) return false;
    platform::_lclose(created);
    file = OpenForAppend(path);
  }
  if (file == platform::HFILE_ERROR) return false;
  if (platform::_llseek(file, 0, 2) == platform::HFILE_ERROR) {
    platform::_lclose(file);
    return false;
  }
  file_ = file;
  return true;
}

void LineFile::WriteLine(const std::string& text) {
  if (!IsOpen()) return;
  std::string line;
  line.reserve(text.size() + 1);
  line += text;
  line += '\n';
  WriteLines(line);
}

void LineFile::WriteLines(const std::string& lines) {
  if (!IsOpen() || lines.empty()) return;
  // A short or failed write is dropped like the rest of an unwritable file.
  platform::_lwrite(file_, lines.data(), static_cast<platform::UINT>(lines.size()));
}

void LineFile::Close() {
  if (!IsOpen()) return;
  platform::_lclose(file_);
  file_ = platform::HFILE_ERROR;
}

}  // namespace catalogue
