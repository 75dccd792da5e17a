// Shared pieces of the transfer tests: a sandbox prefix with the transfer
// windows, the message texts, the script frontend and a transcript; target
// folders on C: and distribution media mapped as drive D:.
#pragma once
#include <atomic>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ui/frontend.h"

#include "installer/transfer/copy_progress.h"
#include "installer/transfer/install_paths.h"
#include "installer/transfer/xfer_plan.h"
#include "installer/transfer/xfer_list_writer.h"

namespace xfertest {

std::string ReadHost(const std::string& path);
// Writes a host file, making its folders.
void WriteHost(const std::string& path, const std::string& contents);
void WriteGzipHost(const std::string& path, const std::string& contents);
bool HostExists(const std::string& path);
// Names in a host folder, sorted.
std::vector<std::string> HostNames(const std::string& folder);
// Bytes that do not repeat in short runs (compress poorly), from `seed`.
std::string Payload(size_t size, unsigned seed);
// Text that compresses well.
std::string TextPayload(size_t size, unsigned seed);

// A transcript line `box "<caption>" "<text>"` split into its two strings.
struct BoxLine {
  std::string caption;
  std::string text;
};

// A frontend for in-process runs, safe to use from the worker thread: each
// modal dialog goes to the handler for its id (or, without one, fires its
// timers until it ends by itself, as the progress window does); boxes are
// recorded and answered from a queue (OK when it is empty).
class RecordingFrontend : public ui::Frontend {
 public:
  struct Box {
    std::string caption;
    std::string text;
    int answer;
  };
  // Runs the dialog; must end it, or return to let it run its timers.
  using Handler = std::function<void(ui::Dialog&)>;

  void OnDialog(int id, Handler handler);
  void QueueAnswers(std::initializer_list<int> answers);
  std::vector<Box> Boxes() const;
  int BoxCount(const std::string& part) const;
  // Texts of control `control` of dialog `id` as each run began.
  std::vector<std::string> Seen(int id, int control) const;
  int Runs(int id) const;

  void RunModal(ui::Dialog& dialog) override;
  int ShowMessageBox(const std::string& text, const std::string& caption, unsigned style) override;
  void ModelessShown(ui::Dialog&) override {}
  void ModelessUpdated(ui::Dialog&) override {}
  void ModelessDestroyed(ui::Dialog&) override {}

 private:
  mutable std::mutex mutex_;
  std::map<int, Handler> handlers_;
  std::deque<int> answers_;
  std::vector<Box> boxes_;
  std::map<int, std::vector<std::map<int, std::string>>> seen_;
};

// Installs a RecordingFrontend (owned by the ui library) and returns it.
RecordingFrontend& InstallRecorder();

// Fires the dialog's timers until it ends.
void RunTimersUntilEnded(ui::Dialog& dialog);

class TransferTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Host path of `rel` on drive C: ("orvik/pic/A.BMP").
  std::string CHost(const std::string& rel) const;
  // Host folder of medium `name` (outside the prefix); made on first use.
  std::string Medium(const std::string& name) const;
  // Puts payload file `file` into the medium's proc_data folder.
  void AddPayload(const std::string& medium, const std::string& file, const std::string& contents,
                  bool gzip = true) const;
  void AddMarker(const std::string& medium, const std::string& marker) const;
  // Maps drive D: (the source folder D:\) onto the medium.
  void Insert(const std::string& medium) const;

  void WriteDiskMap(const std::string& text) const;
  std::string ListText() const;  // orvik.lst as written

  // The script frontend answers with these lines from now on.
  void Answers(const std::vector<std::string>& lines);
  std::vector<std::string> Transcript() const;
  std::vector<BoxLine> Boxes() const;
  // Boxes whose text contains `part`.
  int BoxCount(const std::string& part) const;
  // Transcript lines that begin with `prefix`.
  int LineCount(const std::string& prefix) const;
  bool HasLine(const std::string& line) const;

  // The four target folders, the scratch folder and the list files, all on
  // C:, with the targets made; bytesPerSector 512.
  xfer::InstallPaths paths;
  xfer::XferPlan plan;
  xfer::CopyProgress progress;
  std::string root_;
};

}  // namespace xfertest
