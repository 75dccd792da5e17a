#include "installer/transfer/xfer_list_writer.h"

#include <algorithm>
#include <limits>

#include "installer/catalogue/plain_file_name.h"
#include "installer/catalogue/procedures_list.h"
#include "installer/transfer/disk_map.h"
#include "installer/transfer/transfer_texts.h"
#include "installer/installer_codes.h"
#include "platform/ascii_case.h"
#include "platform/files.h"
#include "platform/hfile.h"
#include "platform/process.h"
#include "text/text.h"

namespace transfer {

namespace {

constexpr int kLastDisk = 100;

// One transfer list on its way into the file.
struct ListLayout {
  std::vector<std::string> names;
  char kind;  // 'P', 'A', or 0 for files (B or M by name)
  std::vector<char> placed;
  size_t placedCount = 0;
  bool Done() const { return placedCount == names.size(); }
};

// The listable names of `names`; each refused one is reported.
std::vector<std::string> Listable(const std::vector<std::string>& names) {
  std::vector<std::string> kept;
  kept.reserve(names.size());
  for (const std::string& name : names) {
    if (catalogue::IsListableFileName(name))
      kept.push_back(name);
    else
      ShowPlain(FormatText(kNameRefusedFormat, name));
  }
  return kept;
}

// Lines of the list file, each written (and so flushed) as it comes.
class ListFile {
 public:
  explicit ListFile(platform::HFILE file) : file_(file) {}
  void Line(const std::string& text) {
    if (file_ == platform::HFILE_ERROR) return;
    std::string line = text + "\r\n";
    platform::_lwrite(file_, line.data(), static_cast<platform::UINT>(line.size()));
  }
  void Close() {
    if (file_ != platform::HFILE_ERROR) platform::_lclose(file_);
    file_ = platform::HFILE_ERROR;
  }

 private:
  platform::HFILE file_;
};

std::vector<std::string> ToVector(const catalogue::StringList& list) {
  return std::vector<std::string>(list.begin(), list.end());
}

}  // namespace

XferLists CollectXferLists(const catalogue::ProceduresList& procedures) {
  XferLists lists;
  lists.procs = ToVector(procedures.xferProcs);
  lists.subProcs = ToVector(procedures.xferSubProcs);
  lists.files = ToVector(procedures.xferFiles);
  lists.dataFiles = ToVector(procedures.xferDataFiles);
  return lists;
}

bool LayOutXferList(const XferLists& lists, const InstallPaths& paths, XferPlan& plan, bool debugMode,
                    std::uint32_t* size) {
  plan.disks.clear();
  const std::string& path = paths.transferListPath;
  platform::_chmod(path.c_str(), platform::_S_IREAD | platform::_S_IWRITE);
  platform::HFILE handle = platform::_lcreat(path.c_str(), 0);
  if (debugMode) ShowPlain(FormatText(kListLocationFormat, path));
  if (handle == platform::HFILE_ERROR) ShowPlain(FormatText(kListNotWritableFormat, path));
  ListFile out(handle);

  ListLayout layouts[4] = {{Listable(lists.procs), 'P', {}},
                           {Listable(lists.subProcs), 'P', {}},
                           {Listable(lists.files), 0, {}},
                           {Listable(lists.dataFiles), 'A', {}}};
  for (ListLayout& layout : layouts) layout.placed.assign(layout.names.size(), 0);
  auto allPlaced = [&layouts] {
    return std::all_of(std::begin(layouts), std::end(layouts),
                       [](const ListLayout& l) { return l.Done(); });
  };

  const DiskMap diskMap(paths.diskMapPath);
  const std::uint64_t unit = plan.bytesPerSector == 0 ? 1 : plan.bytesPerSector;
  std::uint64_t total = 0;
  int disk = 0;
  while (!allPlaced()) {
    ++disk;
    const std::string section = DiskSection(disk);
    out.Line("[" + section + "]");
    int entry = 1;
    bool sectionHasEntry = false;
    for (ListLayout& layout : layouts) {
      if (layout.Done()) continue;
      for (size_t i = 0; i < layout.names.size(); ++i) {
        if (layout.placed[i]) continue;  // already laid out on an earlier disk
        const std::string& name = layout.names[i];
        std::int32_t bytes = diskMap.Size(section, name);
        if (bytes <= 0) continue;
        char kind = layout.kind != 0 ? layout.kind : (platform::EndsWithNoCase(name, ".bmp") ? 'B' : 'M');
        out.Line("F" + std::to_string(entry) + "=" + name + "," + kind);
        ++entry;
        layout.placed[i] = 1;
        ++layout.placedCount;
        total += (static_cast<std::uint64_t>(bytes) + unit) / unit;
        sectionHasEntry = true;
      }
    }
    if (sectionHasEntry && plan.disks.size() < static_cast<size_t>(kLastDisk)) plan.disks.push_back(disk);
    if (disk > kLastDisk) {
      out.Close();
      return false;
    }
    out.Line("F" + std::to_string(entry) + (allPlaced() ? "=last disk" : "=next disk"));
    out.Line("");
  }
  out.Close();
  // The count is 32 bits wide; a larger transfer is held at its top.
  *size = static_cast<std::uint32_t>(
      std::min<std::uint64_t>(total, std::numeric_limits<std::uint32_t>::max()));
  return true;
}

std::uint32_t WriteXferList(const XferLists& lists, const InstallPaths& paths, XferPlan& plan, bool debugMode) {
  std::uint32_t size = 0;
  if (!LayOutXferList(lists, paths, plan, debugMode, &size)) {
    errp(9249);
    platform::ExitProcess(installer::EXIT_FATAL);
  }
  return size;
}

std::uint32_t WriteXferList(const catalogue::ProceduresList& procedures, const InstallPaths& paths, XferPlan& plan,
                            bool debugMode) {
  return WriteXferList(CollectXferLists(procedures), paths, plan, debugMode);
}

}  // namespace transfer
