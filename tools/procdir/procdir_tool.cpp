// The commands of procdir: list and check.
#include "tools/procdir/procdir_tool.h"

#include <cstdio>
#include <filesystem>

#include "installer/procdir/procdir_inspect.h"
#include "platform/dos_path.h"
#include "platform/files.h"
#include "platform/hfile.h"

namespace procdir_tool {

namespace {

const char* kUsageText =
    "usage: procdir list <proc.dir>\n"
    "       procdir check [--no-files | --folder <procedure folder>] <proc.dir>\n";

bool IsDosForm(const std::string& path) {
  bool drive = path.size() >= 2 && path[1] == ':' &&
               ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  return drive || path.rfind("\\\\", 0) == 0;
}

// The folder part of a DOS path, with its trailing backslash.
std::string FolderOf(const std::string& dosPath) {
  std::size_t slash = dosPath.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : dosPath.substr(0, slash + 1);
}

// Reads the whole index, sharing it with readers and refusing to read while
// an installer holds it for writing. kHealthy when read, else the status to
// end with: an index the installer would refuse (a link, a device or a
// pipe) is damaged.
int ReadIndex(const std::string& argument, const std::string& dosPath, std::string* bytes, std::ostream& err) {
  platform::OFSTRUCT of;
  platform::HFILE file = platform::OpenFile(dosPath.c_str(), &of,
                                            platform::OF_READ | platform::OF_SHARE_DENY_WRITE | platform::OF_NOFOLLOW);
  if (file == platform::HFILE_ERROR) {
    platform::DWORD error = of.nErrCode != 0 ? of.nErrCode : platform::GetLastError();
    err << "procdir: " << argument << ": ";
    if (error == platform::ERROR_CANT_ACCESS_FILE) {
      err << "a symbolic link: the installer refuses to open an index through a link\n";
      return kDamaged;
    }
    if (error == platform::ERROR_BAD_FILE_TYPE) {
      err << "not a regular file (a device or a pipe): the installer refuses it\n";
      return kDamaged;
    }
    if (error == platform::ERROR_SHARING_VIOLATION || error == platform::ERROR_LOCK_VIOLATION)
      err << "in use: an installer is writing it; try again later\n";
    else if (error == platform::ERROR_FILE_NOT_FOUND || error == platform::ERROR_PATH_NOT_FOUND)
      err << "not found\n";
    else
      err << "cannot be opened (error " << error << ")\n";
    return kUsage;
  }
  bytes->clear();
  char buffer[65536];
  for (;;) {
    platform::UINT got = platform::_lread(file, buffer, sizeof buffer);
    if (got == platform::UINT(platform::HFILE_ERROR)) {
      err << "procdir: " << argument << ": read error\n";
      platform::_lclose(file);
      return kUsage;
    }
    bytes->append(buffer, got);
    if (got < sizeof buffer) break;
  }
  platform::_lclose(file);
  return kHealthy;
}

char Shown(char letter) { return letter == ' ' ? '-' : letter; }

int List(const std::string& argument, std::ostream& out, std::ostream& err) {
  std::string dosPath = ArgumentToDosPath(argument);
  std::string bytes;
  if (dosPath.empty()) {
    err << "procdir: " << argument << ": no drive of the prefix covers it\n";
    return kUsage;
  }
  if (int status = ReadIndex(argument, dosPath, &bytes, err); status != kHealthy) return status;
  procdir::IndexReport report = procdir::InspectIndex(bytes);
  for (const procdir::InspectedEntry& entry : report.entries) {
    char head[64];
    std::snprintf(head, sizeof head, "%5u %5u  %c%c  %-12s ", unsigned(entry.first), unsigned(entry.last),
                  Shown(entry.status), Shown(entry.kind), entry.fileName.c_str());
    out << head;
    for (const std::string& name : entry.names) out << " \"" << name << '"';
    out << '\n';
  }
  for (const std::string& problem : report.problems) err << argument << ": " << problem << '\n';
  return report.problems.empty() ? kHealthy : kDamaged;
}

int Check(const std::string& argument, bool checkFiles, const std::string& folderArgument, std::ostream& out,
          std::ostream& err) {
  std::string dosPath = ArgumentToDosPath(argument);
  if (dosPath.empty()) {
    err << "procdir: " << argument << ": no drive of the prefix covers it\n";
    return kUsage;
  }
  std::string folder = FolderOf(dosPath);
  if (!folderArgument.empty()) {
    folder = ArgumentToDosPath(folderArgument);
    if (folder.empty() || !platform::DirectoryExists(folder.c_str())) {
      err << "procdir: " << folderArgument << ": not a folder\n";
      return kUsage;
    }
    if (folder.back() != '\\') folder += '\\';
  }
  std::string bytes;
  if (int status = ReadIndex(argument, dosPath, &bytes, err); status != kHealthy) return status;

  procdir::IndexReport report = procdir::InspectIndex(bytes);
  std::vector<std::string> problems = report.problems;
  if (checkFiles) {
    for (const procdir::InspectedEntry& entry : report.entries) {
      if (!entry.fileNameValid) continue;
      std::string file = folder + entry.fileName;
      if (platform::_access(file.c_str(), 0) != 0)
        problems.push_back("entry at record " + std::to_string(entry.first) + ": file " + entry.fileName +
                           " is missing from " + folder);
    }
  }
  for (const std::string& problem : problems) out << argument << ": " << problem << '\n';
  if (!problems.empty()) return kDamaged;
  out << argument << ": healthy: " << report.records << " records, " << report.entries.size() << " entries, "
      << report.freeRecords << " free\n";
  return kHealthy;
}

}  // namespace

std::string ArgumentToDosPath(const std::string& argument) {
  if (argument.empty()) return "";
  if (IsDosForm(argument)) return argument;
  std::error_code error;
  std::filesystem::path host = std::filesystem::absolute(argument, error);
  if (error) return "";
  return platform::DosPath(host.lexically_normal().string());
}

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() == 2 && args[0] == "list") return List(args[1], out, err);
  if (!args.empty() && args[0] == "check") {
    bool files = true;
    std::string folder;
    std::size_t i = 1;
    for (; i + 1 < args.size(); ++i) {
      if (args[i] == "--no-files") {
        files = false;
      } else if (args[i] == "--folder" && i + 2 < args.size()) {
        folder = args[++i];
      } else {
        break;
      }
    }
    if (i + 1 == args.size() && !(folder.size() && !files)) return Check(args[i], files, folder, out, err);
  }
  err << kUsageText;
  return kUsage;
}

}  // namespace procdir_tool
