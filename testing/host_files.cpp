#include "testing/host_files.h"

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
  std::filesystem::path folder = std::filesystem::path(hostPath).parent_path();
  if (!folder.empty()) MakeDirs(folder.string());
  std::ofstream out(hostPath, std::ios::binary | std::ios::trunc);
  out << contents;
  if (!out) throw std::runtime_error("cannot write " + hostPath);
}

bool Exists(const std::string& hostPath) {
  std::error_code ignored;
  return std::filesystem::exists(std::filesystem::symlink_status(hostPath, ignored));
}

void MakeDirs(const std::string& hostPath) {
  std::error_code ignored;
  std::filesystem::create_directories(hostPath, ignored);
}

void RemoveTree(const std::string& hostPath) {
  namespace fs = std::filesystem;
  std::error_code ec;
  // Folders a test left without owner rights, and read-only files (which
  // Windows will not delete), are given them back first; links are neither
  // followed nor changed.
  auto writable = [&ec](const fs::path& path) {
    if (!fs::is_symlink(fs::symlink_status(path, ec)))
      fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ec);
  };
  writable(hostPath);  // a read-only file alone too
  if (fs::is_directory(fs::symlink_status(hostPath, ec))) {
    for (fs::recursive_directory_iterator it(hostPath, fs::directory_options::skip_permission_denied, ec), end;
         !ec && it != end; it.increment(ec))
      writable(it->path());
  }
  fs::remove_all(hostPath, ec);
}

void ChangeMode(const std::string& hostPath, unsigned bits) {
  std::filesystem::permissions(hostPath, static_cast<std::filesystem::perms>(bits));
}

bool OwnerWritable(const std::string& hostPath) {
  std::error_code ec;
  auto perms = std::filesystem::status(hostPath, ec).permissions();
  return !ec && (perms & std::filesystem::perms::owner_write) != std::filesystem::perms::none;
}

std::vector<std::string> HostNames(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    names.push_back(it->path().filename().string());
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
