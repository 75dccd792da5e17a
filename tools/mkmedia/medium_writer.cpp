#include "tools/mkmedia/medium_writer.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

#include "tools/mkmedia/host_files.h"

namespace mkmedia {

namespace {

constexpr unsigned kProgramMode = 0755;
constexpr unsigned kFileMode = 0644;

class Writer {
 public:
  Writer(const MediumContents& contents, std::vector<std::string>* problems)
      : c_(contents), problems_(problems) {}

  bool Write(const std::string& root) {
    if (c_.cd) return WriteDisk(root, 1, "DiskCD");
    for (int disk = 1; disk <= c_.layout.diskCount; ++disk) {
      std::string name = "Disk" + std::to_string(disk);
      if (!WriteDisk(root + "/" + name, disk, name)) return false;
    }
    return true;
  }

 private:
  bool WriteDisk(const std::string& root, int disk, const std::string& marker) {
    if (!MakeDir(root) || !MakeDir(root + "/proc_data")) return false;
    if (!Put(root + "/" + marker, "", kFileMode)) return false;
    if (disk == 1) {
      for (const StagedFile& f : c_.staged) {
        std::string bytes = f.contents;
        if (!f.hostPath.empty() && !ReadHostFile(f.hostPath, &bytes)) return Fail("cannot read " + f.hostPath);
        if (!Put(root + "/" + f.mediumName, bytes, f.program ? kProgramMode : kFileMode)) return false;
      }
      if (!Put(root + "/_diskmap.lst", c_.diskMap, kFileMode)) return false;
    }
    for (std::size_t i = 0; i < c_.files.size(); ++i) {
      if (c_.layout.diskOf[i] != disk) continue;
      if (!Put(root + "/proc_data/" + c_.files[i].name, c_.gzipped[i], kFileMode)) return false;
    }
    return true;
  }

  bool MakeDir(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::create_directory(path, ec) || (!ec && std::filesystem::is_directory(path, ec))) return true;
    return Fail("cannot create " + path + ": " + (ec ? ec.message() : "a file is in the way"));
  }

  bool Put(const std::string& path, const std::string& bytes, unsigned mode) {
    if (WriteHostFile(path, bytes, mode)) return true;
    return Fail("cannot write " + path + ": " + std::strerror(errno));
  }

  bool Fail(const std::string& problem) {
    problems_->push_back(problem);
    return false;
  }

  const MediumContents& c_;
  std::vector<std::string>* problems_;
};

}  // namespace

bool WriteMedium(const std::string& output, const MediumContents& contents, std::vector<std::string>* problems) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path out = fs::absolute(fs::path(output), ec).lexically_normal();
  if (out.has_filename() == false) out = out.parent_path();
  bool existed = fs::exists(fs::symlink_status(out, ec));
  if (existed && !IsEmptyFolder(out.string())) {
    problems->push_back(out.string() + " exists and is not an empty folder");
    return false;
  }
  std::string parent = out.parent_path().string();
  if (!MakeHostDirs(parent)) {
    problems->push_back("cannot create " + parent);
    return false;
  }
  // A new folder of our own beside `output`, so that the final rename stays
  // on one file system.
  const std::string stem = (out.parent_path() / ("." + out.filename().string() + ".mkmedia-")).string();
  std::string building;
  std::random_device seed;
  std::minstd_rand next(seed());
  for (int attempt = 0; attempt < 100 && building.empty(); ++attempt) {
    std::string candidate = stem + std::to_string(next());
    if (fs::create_directory(candidate, ec)) building = candidate;
    if (ec) break;
  }
  if (building.empty()) {
    problems->push_back("cannot create a folder beside " + out.string() +
                        (ec ? ": " + ec.message() : ": every name tried is taken"));
    return false;
  }
  fs::permissions(building, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec,
                  ec);
  bool ok = Writer(contents, problems).Write(building);
  if (ok && existed && !fs::remove(out, ec)) {
    problems->push_back("cannot replace " + out.string() + ": " + ec.message());
    ok = false;
  }
  if (ok) {
    fs::rename(building, out, ec);
    if (ec) {
      problems->push_back("cannot rename " + building + " to " + out.string() + ": " + ec.message());
      ok = false;
    }
  }
  if (!ok) fs::remove_all(building, ec);
  return ok;
}

}  // namespace mkmedia
