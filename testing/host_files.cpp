#include "testing/host_files.h"

#include <dirent.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace orvik_testing {

std::string ReadFile(const std::string& hostPath) {
  std::ifstream in(hostPath, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& hostPath, const std::string& contents) {
  std::size_t slash = hostPath.rfind('/');
  if (slash != std::string::npos && slash > 0) MakeDirs(hostPath.substr(0, slash));
  std::ofstream out(hostPath, std::ios::binary | std::ios::trunc);
  out << contents;
  if (!out) throw std::runtime_error("cannot write " + hostPath);
}

bool Exists(const std::string& hostPath) {
  struct stat st;
  return ::lstat(hostPath.c_str(), &st) == 0;
}

void MakeDirs(const std::string& hostPath) {
  std::error_code ignored;
  std::filesystem::create_directories(hostPath, ignored);
}

void RemoveTree(const std::string& hostPath) {
  ::nftw(hostPath.c_str(),
         [](const char* path, const struct stat* st, int type, struct FTW*) {
           if (type == FTW_D) ::chmod(path, st->st_mode | S_IRWXU);
           return 0;
         },
         16, FTW_PHYS);
  ::nftw(hostPath.c_str(),
         [](const char* path, const struct stat*, int type, struct FTW*) {
           if (type == FTW_DP)
             ::rmdir(path);
           else
             ::unlink(path);
           return 0;
         },
         16, FTW_PHYS | FTW_DEPTH);
}

std::vector<std::string> HostNames(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return names;
  while (dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::stringstream in(text);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

}  // namespace orvik_testing
