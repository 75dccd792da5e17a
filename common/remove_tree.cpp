// Recursive folder removal: clears read-only attributes, deletes files,
// descends into sub-folders and removes the folder, reporting each failure
// in a warning box. Symbolic links are deleted as entries and never followed.
#include "common/remove_tree.h"

#include <cstdio>
#include <string>

#include "platform/dos_path.h"
#include "platform/files.h"
#include "platform/hfile.h"
#include "resources/kelmar_ids.h"
#include "ui/msgbox.h"

namespace common {

namespace {

using platform::DWORD;

void Warn(const std::string& text) {
  ui::MessageBox(text, kInstallCaption, ui::MB_OK | ui::MB_ICONEXCLAMATION);
}

// `format` filled with one string.
std::string Format(const char* format, const char* value) {
  int length = std::snprintf(nullptr, 0, format, value);
  if (length < 0) return format;
  std::string out(size_t(length) + 1, '\0');
  std::snprintf(out.data(), out.size(), format, value);
  out.resize(size_t(length));
  return out;
}

// A path that fits the platform's limit with its terminating zero.
bool FitsMaxPath(const std::string& path) { return path.size() < size_t(platform::MAX_PATH); }

// True when `folder` is the root of a drive or share: never a folder to
// empty, whatever a configuration file says.
bool IsRoot(const std::string& folder) {
  std::string full = platform::FullDosPath(folder);
  if (full.size() == 3 && full[1] == ':') return true;
  if (full.size() > 2 && full[0] == '\\' && full[1] == '\\') {
    return full.find('\\', full.find('\\', 2) + 1) == std::string::npos;
  }
  return false;
}

// True when `folder` (ending in a backslash) names a symbolic link rather
// than a folder; its trailing backslash would make the host follow the link.
bool IsLink(const std::string& folder) {
  std::string entry = folder;
  while (entry.size() > 1 && (entry.back() == '\\' || entry.back() == '/')) entry.pop_back();
  DWORD attributes = platform::GetFileAttributesA(entry.c_str());
  return attributes != platform::INVALID_FILE_ATTRIBUTES &&
         (attributes & platform::FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

enum class EntryClass { kSkip, kLeave, kDescend, kDelete };

EntryClass Classify(const platform::WIN32_FIND_DATAA& entry) {
  std::string name = entry.cFileName;
  DWORD attributes = entry.dwFileAttributes;
  bool link = (attributes & platform::FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  if (!link && (attributes & platform::FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return (name == "." || name == "..") ? EntryClass::kSkip : EntryClass::kDescend;
  }
  if ((attributes & platform::FILE_ATTRIBUTE_SYSTEM) != 0) return EntryClass::kLeave;
  return EntryClass::kDelete;
}

// Handles one listed entry of `folder` (which ends in a backslash); 0 or -1.
int HandleEntry(const std::string& folder, const platform::WIN32_FIND_DATAA& entry) {
  EntryClass kind = Classify(entry);
  if (kind == EntryClass::kSkip || kind == EntryClass::kLeave) return 0;
  std::string name = entry.cFileName;
  std::string path = folder + name;
  // A host name holding a separator would address some other file than
  // this entry (even one outside the folder), so it is never touched.
  if (name.find_first_of("\\/") != std::string::npos) {
    Warn(Format("Unable to remove %s: its name holds a path separator.  Aborting.", path.c_str()));
    return -1;
  }
  if (!FitsMaxPath(path)) {
    Warn(Format("%s: path too long.  Aborting.", path.c_str()));
    return -1;
  }
  if (kind == EntryClass::kDescend) return RemoveDirectoryTree((path + "\\").c_str(), 0) != 0 ? -1 : 0;
  return DeleteFileForced(path.c_str()) != 0 ? -1 : 0;
}

// Removes the (emptied) folder itself, with the boxes for its failures.
int RemoveFolder(const std::string& folder, int quiet) {
  if (platform::_rmdir(folder.c_str()) == 0) return 0;
  if (!quiet) {
    int error = platform::CrtErrno();
    if (error == platform::CRT_ENOENT) {
      Warn(Format("%s not found!  Aborting.", folder.c_str()));
    } else if (error == platform::CRT_ENOTEMPTY) {
      Warn("Directory not empty.  Aborting.");
    } else {
      char number[64];
      std::snprintf(number, sizeof number, "Undefined error #%u", unsigned(error));
      Warn(number);
      Warn(Format("strerror says _rmdir failed: %s\n", platform::CrtStrError(error)));
    }
  }
  return -1;
}

}  // namespace

int RemoveDirectoryTree(const char* folder, int quiet) {
  if (folder == nullptr || *folder == '\0') return -1;  // "" would become the drive's root
  std::string path = folder;
  if (path.back() != '\\') path += '\\';
  if (!FitsMaxPath(path + "*.*")) {
    if (!quiet) Warn(Format("%s: path too long.  Aborting.", path.c_str()));
    return -1;
  }
  if (IsRoot(path)) {
    if (!quiet) Warn(Format("%s is the root of a drive.  Aborting.", path.c_str()));
    return -1;
  }
  // A link in place of the folder is removed as an entry: what it points
  // to is outside the folder and stays.
  if (IsLink(path)) {
    std::string link = path.substr(0, path.size() - 1);
    return DeleteFileForced(link.c_str());
  }

  platform::WIN32_FIND_DATAA entry;
  platform::FindHandle find = platform::FindFirstFileA((path + "*.*").c_str(), &entry);
  if (find != platform::INVALID_HANDLE_VALUE) {
    do {
      if (HandleEntry(path, entry) != 0) {
        platform::FindClose(find);
        return -1;
      }
    } while (platform::FindNextFileA(find, &entry));
    if (!platform::FindClose(find) && !quiet) Warn("failure closing find routine");
  }
  return RemoveFolder(path, quiet);
}

int DeleteFileForced(const char* path) {
  if (platform::_chmod(path, platform::_S_IREAD | platform::_S_IWRITE) != 0) {
    Warn(Format("Unable to change write protection on %s\n", path));
    return -1;
  }
  if (platform::DeleteFileA(path)) return 0;
  char message[256] = {};
  platform::FormatMessageA(platform::FORMAT_MESSAGE_FROM_SYSTEM, nullptr, platform::GetLastError(), 0,
                           message, sizeof message, nullptr);
  Warn(message);
  Warn("Unable to delete file.");
  Warn(path);
  return -1;
}

}  // namespace common
