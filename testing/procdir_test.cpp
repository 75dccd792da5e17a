#include "testing/procdir_test.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "installer/procdir/procdir_open.h"
#include "installer/procdir/procdir_testing.h"
#include "platform/dos_path.h"
#include "platform/hfile.h"
#include "text/text.h"
#include "testing/fake_instance.h"
#include "ui/frontend.h"
#include "ui/msgbox.h"

namespace procdir_test {

std::string EntryRecords(char kind, const std::string& fileName, std::initializer_list<std::string> names) {
  return orvik_testing::Entry(kind, fileName, std::vector<std::string>(names));
}

procdir::ProcDirEntry Names(std::initializer_list<std::string> names, std::uint8_t flags) {
  procdir::ProcDirEntry entry;
  std::memset(&entry, 0, sizeof entry);
  entry.flags = flags;
  int i = 0;
  for (const std::string& name : names) {
    if (i < 6) std::strncpy(entry.names[i], name.c_str(), 55);
    ++i;
  }
  entry.nameCount = std::uint8_t(i);
  return entry;
}

std::vector<std::string> EntryNames(const procdir::ProcDirEntry& entry) {
  std::vector<std::string> names;
  for (int i = 0; i < entry.nameCount && i < 6; ++i) names.emplace_back(entry.names[i]);
  return names;
}

void ProcDirTest::SetUp() {
  box_ = std::make_unique<orvik_testing::Sandbox>(orvik_testing::Sandbox::kThisProcess);
  dir_ = box_->root;
  procHost_ = box_->driveC + "/proc";
  orvik_testing::MakeDirs(procHost_);
  recorder_ = &orvik_testing::InstallRecorder();
  ASSERT_TRUE(orvik_testing::OpenMessages()) << "ovtext.mdb is built beside the programs";
}

void ProcDirTest::TearDown() {
  procdir::ProcDirSetSizeQueryForTesting({});
  Close();
  text_close();
  box_.reset();
}

platform::HFILE ProcDirTest::Open(const char* mode) {
  handle_ = procdir::ProcDirOpen(IndexPath(), mode);
  return handle_;
}

void ProcDirTest::Close() {
  if (procdir::ProcDirIsOpen()) procdir::ProcDirClose(handle_);
  handle_ = -1;
}

std::vector<Box> ProcDirTest::Boxes() { return recorder_->Boxes(); }

std::vector<int> ProcDirTest::Messages() { return recorder_->Messages(); }

void ProcDirTest::ClearBoxes() { recorder_->ClearBoxes(); }

void ProcDirTest::Answer(std::initializer_list<int> answers) { recorder_->QueueAnswers(answers); }

void ProcDirTest::OnBox(std::function<int(const Box&)> handler) { recorder_->OnBox(std::move(handler)); }

}  // namespace procdir_test
