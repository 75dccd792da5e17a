#include "installer/procdir/procdir_test_support.h"

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
#include "ui/app.h"
#include "ui/frontend.h"
#include "ui/msgbox.h"

namespace procdir_test {

namespace {

class RecordingFrontend : public ui::Frontend {
 public:
  explicit RecordingFrontend(std::shared_ptr<BoxLog> log) : log_(std::move(log)) {}
  void RunModal(ui::Dialog& dialog) override {
    ADD_FAILURE() << "unexpected dialog " << dialog.TemplateId();
    dialog.EndDialog(ui::IDCANCEL);
  }
  int ShowMessageBox(const std::string& text, const std::string& caption, unsigned style) override {
    Box box{caption, text, style};
    std::function<int(const Box&)> handler;
    {
      std::lock_guard<std::mutex> lock(log_->mutex);
      log_->boxes.push_back(box);
      handler = log_->onBox;
      if (!handler) {
        if (log_->answers.empty()) return ui::IDOK;
        int answer = log_->answers.front();
        log_->answers.pop_front();
        return answer;
      }
    }
    return handler(box);
  }
  void ModelessShown(ui::Dialog&) override {}
  void ModelessUpdated(ui::Dialog&) override {}
  void ModelessDestroyed(ui::Dialog&) override {}

 private:
  std::shared_ptr<BoxLog> log_;
};

int ShowBox(const char* text, const char* caption, unsigned style) { return ui::MessageBox(text, caption, style); }

int ReadDosFile(const char* dosPath, std::string* contents) {
  std::string host = platform::HostPath(dosPath);
  if (host.empty()) return 0;
  std::ifstream in(host, std::ios::binary);
  if (!in) return 0;
  std::stringstream bytes;
  bytes << in.rdbuf();
  *contents = bytes.str();
  return 1;
}

ui::InstanceHandle g_instance{&ShowBox, &ReadDosFile};

std::string Pad(const std::string& text, std::size_t width) {
  std::string out = text.substr(0, width);
  out.resize(width, ' ');
  return out;
}

}  // namespace

int MessageNumber(const Box& box) {
  const char* prefix = "ORVIK Error ";
  if (box.caption.rfind(prefix, 0) != 0) return 0;
  return std::atoi(box.caption.c_str() + std::strlen(prefix));
}

std::string Record(char status, char kind, bool first, bool last, const std::string& fileName,
                   const std::string& name) {
  std::string record;
  record += status;
  record += kind;
  record += first ? 'F' : ' ';
  record += last ? 'L' : ' ';
  record += ' ';
  record += Pad(fileName, 13);
  record += Pad(name, 55);
  record += "\r\n";
  return record;
}

std::string FreeRecord() { return "X" + std::string(72, ' ') + "\r\n"; }

std::string EntryRecords(char kind, const std::string& fileName, std::initializer_list<std::string> names) {
  std::string out;
  std::size_t i = 0;
  for (const std::string& name : names) {
    out += Record(' ', kind, i == 0, i + 1 == names.size(), fileName, name);
    ++i;
  }
  return out;
}

ProcDirEntry Names(std::initializer_list<std::string> names, std::uint8_t flags) {
  ProcDirEntry entry;
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

std::vector<std::string> EntryNames(const ProcDirEntry& entry) {
  std::vector<std::string> names;
  for (int i = 0; i < entry.nameCount && i < 6; ++i) names.emplace_back(entry.names[i]);
  return names;
}

std::string ReadHostFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteHostFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

void ProcDirTest::SetUp() {
  char tmpl[] = "/tmp/orvik_procdir_XXXXXX";
  ASSERT_NE(::mkdtemp(tmpl), nullptr);
  dir_ = tmpl;
  ::setenv("ORVIK_PREFIX", (dir_ + "/prefix").c_str(), 1);
  ::unsetenv("ORVIK_TRANSCRIPT");
  platform::ResetPlatformForTesting();
  procHost_ = platform::PrefixDir() + "/drive_c/proc";
  std::filesystem::create_directories(procHost_);

  log_ = std::make_shared<BoxLog>();
  ui::SetFrontend(std::make_unique<RecordingFrontend>(log_));

  // The message service reads ovtext.mdb from the current directory.
  std::string bin = ORVIK_BIN_DIR;
  std::string dosBin = platform::DosPath(bin);
  ASSERT_FALSE(dosBin.empty());
  ASSERT_EQ(platform::_chdir(dosBin.c_str()), 0);
  ASSERT_NE(text_open(&g_instance, "text.h", "ovtext.mdb"), 0) << "ovtext.mdb in " << bin;
}

void ProcDirTest::TearDown() {
  ProcDirSetSizeQueryForTesting({});
  Close();
  text_close();
  ui::ResetFrontendForTesting();
  platform::ResetPlatformForTesting();
  ::unsetenv("ORVIK_PREFIX");
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

platform::HFILE ProcDirTest::Open(const char* mode) {
  handle_ = ProcDirOpen(IndexPath(), mode);
  return handle_;
}

void ProcDirTest::Close() {
  if (ProcDirIsOpen()) ProcDirClose(handle_);
  handle_ = -1;
}

std::vector<Box> ProcDirTest::Boxes() {
  std::lock_guard<std::mutex> lock(log_->mutex);
  return log_->boxes;
}

std::vector<int> ProcDirTest::Messages() {
  std::vector<int> numbers;
  for (const Box& box : Boxes()) numbers.push_back(MessageNumber(box));
  return numbers;
}

void ProcDirTest::ClearBoxes() {
  std::lock_guard<std::mutex> lock(log_->mutex);
  log_->boxes.clear();
}

void ProcDirTest::Answer(std::initializer_list<int> answers) {
  std::lock_guard<std::mutex> lock(log_->mutex);
  log_->answers.insert(log_->answers.end(), answers.begin(), answers.end());
}

void ProcDirTest::OnBox(std::function<int(const Box&)> handler) {
  std::lock_guard<std::mutex> lock(log_->mutex);
  log_->onBox = std::move(handler);
}

}  // namespace procdir_test
