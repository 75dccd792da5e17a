// Test support for the procedure index: a private prefix with drive C:, the
// message service opened on the built ovtext.mdb, and a frontend that
// records every box and answers from a queue.
#pragma once
#include <deque>
#include <functional>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "installer/procdir/procdir_entry.h"
#include "platform/types.h"

namespace procdir_test {

struct Box {
  std::string caption;
  std::string text;
  unsigned style = 0;
};

// What the recording frontend saw and will answer.
struct BoxLog {
  std::mutex mutex;
  std::vector<Box> boxes;
  std::deque<int> answers;               // answered in order; IDOK when empty
  std::function<int(const Box&)> onBox;  // when set, answers instead
};

// The message number of an "ORVIK Error <n>" box, else 0.
int MessageNumber(const Box& box);

// One record: status, kind, F, L, file name, name.
std::string Record(char status, char kind, bool first, bool last, const std::string& fileName,
                   const std::string& name);
std::string FreeRecord();
// The records of one entry as the installer writes it (blank status).
std::string EntryRecords(char kind, const std::string& fileName, std::initializer_list<std::string> names);
// A descriptor holding `names`.
ProcDirEntry Names(std::initializer_list<std::string> names, std::uint8_t flags = 0);
std::vector<std::string> EntryNames(const ProcDirEntry& entry);

std::string ReadHostFile(const std::string& path);
void WriteHostFile(const std::string& path, const std::string& bytes);

class ProcDirTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The index C:\proc\proc.dir and its host path.
  const char* IndexPath() const { return "C:\\proc\\proc.dir"; }
  std::string IndexHost() const { return procHost_ + "/proc.dir"; }
  void WriteIndex(const std::string& bytes) { WriteHostFile(IndexHost(), bytes); }
  std::string IndexBytes() const { return ReadHostFile(IndexHost()); }

  // Opens the index with ProcDirOpen; the fixture closes it at the end.
  platform::HFILE Open(const char* mode = "w");
  void Close();

  // Boxes shown so far, and the message numbers among them.
  std::vector<Box> Boxes();
  std::vector<int> Messages();
  void ClearBoxes();
  void Answer(std::initializer_list<int> answers);
  void OnBox(std::function<int(const Box&)> handler);

  std::string dir_;       // the test's folder
  std::string procHost_;  // host folder of C:\proc
  platform::HFILE handle_ = -1;
  std::shared_ptr<BoxLog> log_;
};

}  // namespace procdir_test
