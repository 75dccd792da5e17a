// The copy phase with files decoded ahead on several threads and put in
// place on another: what the operator sees and what lands on the disk still
// come in the order of the list. Built and run under ThreadSanitizer too.
#include <algorithm>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "installer/transfer/copy_phase.h"
#include "installer/transfer/disk_entries.h"
#include "installer/transfer/xfer_entry.h"
#include "platform/hfile.h"
#include "platform/host_backend.h"
#include "testing/host_files.h"
#include "testing/transfer_test.h"
#include "ui/msgbox.h"

namespace xfertest {
namespace {

namespace fs = std::filesystem;

// One thing the copy did, with what the progress showed at that moment.
struct Event {
  std::string what;  // "part" (a file beside a target made), "rename", "box"
  std::string file;  // the target's name; a box's text
  std::string shown;  // the progress's current name
  std::uint32_t count;  // the progress's count
};

std::string BaseName(const std::string& dosPath) { return dosPath.substr(dosPath.find_last_of('\\') + 1); }

// Notes every named part file made and every rename or naming onto a
// target; on request, presses Cancel as the part file of one name is made.
class CopyLog : public platform::ForwardingBackend {
 public:
  explicit CopyLog(transfer::CopyProgress& progress)
      : platform::ForwardingBackend(platform::CurrentHostBackend()), progress_(progress) {
    previous_ = platform::InstallHostBackend(this);
  }
  ~CopyLog() override { platform::InstallHostBackend(previous_); }

  platform::HFILE OpenFile(const char* path, platform::OFSTRUCT* of, platform::UINT style) override {
    const std::string name = BaseName(path);
    const std::size_t part = name.find(".~ov");
    if ((style & platform::OF_CREATE) && part != std::string::npos) {
      Note("part", name.substr(0, part));
      if (name.compare(0, part, cancelAt_) == 0) progress_.status.fetch_or(STATUS_CANCEL_REQUESTED);
    }
    return inner().OpenFile(path, of, style);
  }
  // A file with no name shows nowhere: a decoding thread may write it ahead.
  platform::HFILE CreateUnnamedFile(const char* target) override {
    if (BaseName(target) == cancelAt_) progress_.status.fetch_or(STATUS_CANCEL_REQUESTED);
    return inner().CreateUnnamedFile(target);
  }
  platform::BOOL MoveFileExA(const char* src, const char* dst, platform::DWORD flags) override {
    Note("rename", BaseName(dst));
    return inner().MoveFileExA(src, dst, flags);
  }
  platform::BOOL NameUnnamedFile(platform::HFILE file, const char* target) override {
    Note("rename", BaseName(target));
    return inner().NameUnnamedFile(file, target);
  }
  void Note(const std::string& what, const std::string& file) {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back({what, file, progress_.CurrentName(), progress_.progressCount.load()});
  }
  std::vector<Event> Events(const std::string& what) const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<Event> chosen;
    for (const Event& e : events_)
      if (e.what.rfind(what, 0) == 0) chosen.push_back(e);
    return chosen;
  }
  std::vector<Event> All() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return events_;
  }
  void CancelAt(const std::string& name) { cancelAt_ = name; }

 private:
  transfer::CopyProgress& progress_;
  platform::HostBackend* previous_;
  std::string cancelAt_;
  mutable std::mutex mutex_;
  std::vector<Event> events_;
};

std::vector<std::string> Files(const std::vector<Event>& events) {
  std::vector<std::string> names;
  for (const Event& e : events) names.push_back(e.file);
  return names;
}

class CopyOrderTest : public TransferTest {
 protected:
  // `small` small files and three of 5 MB (decoded through a stream rather
  // than whole) among them, on one disk of a CD.
  void MakeMedium(int small) {
    AddMarker("cd", "DiskCD");
    Insert("cd");
    std::string map = "[Disk1]\n";
    transfer::XferLists lists;
    for (int i = 0; i < small + 3; ++i) {
      const bool large = i % (small / 3 + 1) == small / 6;
      const std::string name = (large ? "BIG" : "F") + std::to_string(i) + ".DAT";
      const std::string contents = TextPayload(large ? (5u << 20) + unsigned(i) : 200u + unsigned(i) * 37, i);
      AddPayload("cd", name, contents);
      map += name + "=" + std::to_string(contents.size()) + "\n";
      lists.dataFiles.push_back(name);
      expected[name] = contents;
    }
    WriteDiskMap(map);
    std::uint32_t size = 0;
    ASSERT_TRUE(transfer::LayOutXferList(lists, paths, plan, false, &size));
    progress.requiredSize = size;
    // The order the worker takes them in.
    for (const std::string& value :
         transfer::ReadDiskEntries(transfer::XferListFile(paths.transferListPath), "Disk1").values)
      order.push_back(transfer::SplitXferEntry(value).name);
    ASSERT_EQ(order.size(), expected.size());
  }
  // The n-th file of the list whose name begins with `prefix`.
  std::string Nth(const std::string& prefix, int n) const {
    for (const std::string& name : order)
      if (name.rfind(prefix, 0) == 0 && n-- == 0) return name;
    return "";
  }
  std::string Data(const std::string& name) const { return CHost("orvik/data/" + name); }
  std::string Source(const std::string& name) const { return Medium("cd") + "/proc_data/" + name; }

  std::map<std::string, std::string> expected;
  std::vector<std::string> order;
};

// Over three hundred files (more than one batch of renames) with damaged
// ones among them: each message comes at its file's place, progress only
// grows, and the good files replace their targets in the list's order.
TEST_F(CopyOrderTest, MessagesProgressAndRenamesFollowTheList) {
  MakeMedium(300);
  const std::string corrupt = Nth("F", 40), missing = Nth("F", 120), cut = Nth("BIG", 1),
                    oversize = Nth("F", 250);
  // A flipped byte inside the compressed data, a missing file, a large one
  // cut in half, and one that decodes to far more than the map declares.
  std::string bytes = orvik_testing::ReadFile(Source(corrupt));
  bytes[bytes.size() / 2] ^= 0x5a;
  orvik_testing::WriteFile(Source(corrupt), bytes);
  fs::remove(Source(missing));
  bytes = orvik_testing::ReadFile(Source(cut));
  orvik_testing::WriteFile(Source(cut), bytes.substr(0, bytes.size() / 2));
  AddPayload("cd", oversize, TextPayload(400000, 9));
  // Their old targets stay as they were.
  for (const std::string& name : {corrupt, missing, cut, oversize}) orvik_testing::WriteFile(Data(name), "old " + name);

  RecordingFrontend& ui = InstallRecorder();
  CopyLog log(progress);
  ui.OnBox([&](const orvik_testing::ShownBox& box) {
    log.Note("box", box.text);
    return ui::IDOK;
  });
  EXPECT_EQ(transfer::CopyXferFiles(paths, plan, progress, nullptr), 1);

  // Each message names, as it comes, the file it is about.
  const std::vector<std::pair<std::string, std::string>> messages = {
      {corrupt, "A read error occurred while decompressing"},
      {missing, "D:\\proc_data\\" + missing + " cannot be opened"},
      {cut, "could not be closed properly"},
      {oversize, "D:\\proc_data\\" + oversize + " decompresses to more than"}};
  const std::vector<Event> boxes = log.Events("box");
  ASSERT_EQ(boxes.size(), messages.size());
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    EXPECT_EQ(boxes[i].shown, messages[i].first);
    EXPECT_NE(boxes[i].file.find(messages[i].second), std::string::npos) << boxes[i].file;
  }
  // Files are written beside their targets under a name, by the worker at
  // their turn; where the host keeps files with no name, only those whose
  // targets exist (the others have no name until they are in place).
  const platform::HFILE probe = platform::CreateUnnamedFile("C:\\orvik\\data\\PROBE.DAT");
  if (probe != platform::HFILE_ERROR) platform::_lclose(probe);
  std::vector<std::string> written, renamed;
  for (const std::string& name : order) {
    if (probe == platform::HFILE_ERROR ? name != missing : (name == corrupt || name == cut || name == oversize))
      written.push_back(name);
    if (name != corrupt && name != missing && name != cut && name != oversize) renamed.push_back(name);
  }
  EXPECT_EQ(Files(log.Events("part")), written);
  EXPECT_EQ(Files(log.Events("rename")), renamed);
  // Every event finds the file being copied shown, and the share never shrinks.
  std::uint32_t last = 0;
  for (const Event& e : log.All()) {
    EXPECT_GE(e.count, last) << e.what << " " << e.file;
    last = e.count;
    if (e.what == "part") {
      EXPECT_EQ(e.shown, e.file);
    }
  }
  for (const auto& [name, contents] : expected) {
    if (name == corrupt || name == missing || name == cut || name == oversize)
      EXPECT_EQ(orvik_testing::ReadFile(Data(name)), "old " + name);
    else
      EXPECT_EQ(orvik_testing::ReadFile(Data(name)), contents) << name;
  }
  EXPECT_EQ(HostNames(CHost("orvik/data")).size(), expected.size());  // nothing left beside a target
}

// Cancel, pressed while the decoders write a file ahead, is asked before
// the worker starts its next file; No leaves that file and every later one
// untouched: what they had written ahead never shows on the disk.
TEST_F(CopyOrderTest, CancelAnsweredNoStopsBeforeTheNextFileIsWritten) {
  MakeMedium(60);
  const std::string stopAt = Nth("F", 30);
  RecordingFrontend& ui = InstallRecorder();
  CopyLog log(progress);
  log.CancelAt(stopAt);
  ui.OnBox([](const orvik_testing::ShownBox&) { return ui::IDNO; });
  EXPECT_EQ(transfer::CopyXferFiles(paths, plan, progress, nullptr), 0);
  EXPECT_EQ(ui.BoxCount("Copying has been interrupted"), 1);
  EXPECT_EQ(ui.Boxes().size(), 1u);
  // The files in place are the list's first ones, up to stopAt at most.
  const std::vector<std::string> renamed = Files(log.Events("rename"));
  const auto stop = std::find(order.begin(), order.end(), stopAt);
  ASSERT_LE(renamed.size(), std::size_t(stop - order.begin()));
  const std::vector<std::string> before(order.begin(), order.begin() + long(renamed.size()));
  EXPECT_EQ(renamed, before);
  std::vector<std::string> sorted = before;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(HostNames(CHost("orvik/data")), sorted);
  for (const std::string& name : before) EXPECT_EQ(orvik_testing::ReadFile(Data(name)), expected[name]);
}

// Yes lets the copy go on: every file arrives, the question came once.
TEST_F(CopyOrderTest, CancelAnsweredYesCopiesEveryFile) {
  MakeMedium(60);
  RecordingFrontend& ui = InstallRecorder();
  CopyLog log(progress);
  log.CancelAt(Nth("BIG", 0));
  ui.OnBox([](const orvik_testing::ShownBox&) { return ui::IDYES; });
  EXPECT_EQ(transfer::CopyXferFiles(paths, plan, progress, nullptr), 1);
  EXPECT_EQ(ui.BoxCount("Copying has been interrupted"), 1);
  EXPECT_EQ(Files(log.Events("rename")), order);
  for (const auto& [name, contents] : expected) EXPECT_EQ(orvik_testing::ReadFile(Data(name)), contents) << name;
}

}  // namespace
}  // namespace xfertest
