// Procedure-index tests: an entered prefix with C:\proc, the message service
// open on the built ovtext.mdb, the recording frontend, and builders of
// index records.
#pragma once
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "installer/procdir/procdir_entry.h"
#include "platform/types.h"
#include "testing/host_files.h"
#include "testing/index_records.h"
#include "testing/recording_frontend.h"
#include "testing/sandbox.h"

namespace procdir_test {

using Box = orvik_testing::ShownBox;
using orvik_testing::MessageNumber;

using orvik_testing::FreeRecord;
using orvik_testing::Record;
// The records of one entry as the installer writes it (blank status).
std::string EntryRecords(char kind, const std::string& fileName, std::initializer_list<std::string> names);
// A descriptor holding `names`.
procdir::ProcDirEntry Names(std::initializer_list<std::string> names, std::uint8_t flags = 0);
std::vector<std::string> EntryNames(const procdir::ProcDirEntry& entry);

class ProcDirTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The index C:\proc\proc.dir and its host path.
  const char* IndexPath() const { return "C:\\proc\\proc.dir"; }
  std::string IndexHost() const { return procHost_ + "/proc.dir"; }
  void WriteIndex(const std::string& bytes) { orvik_testing::WriteFile(IndexHost(), bytes); }
  std::string IndexBytes() const { return orvik_testing::ReadFile(IndexHost()); }

  // Opens the index with ProcDirOpen; the fixture closes it at the end.
  platform::HFILE Open(const char* mode = "w");
  void Close();

  // Boxes shown so far, and the message numbers among them.
  std::vector<Box> Boxes();
  std::vector<int> Messages();
  void ClearBoxes();
  void Answer(std::initializer_list<int> answers);
  void OnBox(std::function<int(const Box&)> handler);

  std::unique_ptr<orvik_testing::Sandbox> box_;
  std::string dir_;       // the test's folder
  std::string procHost_;  // host folder of C:\proc
  platform::HFILE handle_ = -1;
  orvik_testing::RecordingFrontend* recorder_ = nullptr;
};

}  // namespace procdir_test
