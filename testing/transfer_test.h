// Transfer tests: an entered sandbox with the transfer windows, the message
// texts, the script frontend and a transcript; target folders on C: and
// distribution media mapped as drive D:.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "testing/host_files.h"
#include "testing/recording_frontend.h"
#include "testing/sandbox.h"
#include "ui/frontend.h"

#include "installer/transfer/copy_progress.h"
#include "installer/transfer/install_paths.h"
#include "installer/transfer/xfer_plan.h"
#include "installer/transfer/xfer_list_writer.h"

namespace xfertest {

void WriteGzipHost(const std::string& path, const std::string& contents);
using orvik_testing::HostNames;
// Bytes that do not repeat in short runs (compress poorly), from `seed`.
std::string Payload(size_t size, unsigned seed);
// Text that compresses well.
std::string TextPayload(size_t size, unsigned seed);

using orvik_testing::BoxLine;
using orvik_testing::RecordingFrontend;
using orvik_testing::RunTimersUntilEnded;

// Installs a recording frontend on which a dialog without a handler fires
// its timers until it ends by itself, as the progress window does.
RecordingFrontend& InstallRecorder();

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
  transfer::InstallPaths paths;
  transfer::XferPlan plan;
  transfer::CopyProgress progress;
  std::unique_ptr<orvik_testing::Sandbox> box_;
  std::string root_;
};

}  // namespace xfertest
