#include "installer/transfer/transfer_test_support.h"

#include <stdlib.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "platform/dos_path.h"
#include "platform/hfile.h"
#include "resources/kelmar_resources.h"
#include "text/text.h"
#include "ui/app.h"
#include "ui/frontend.h"
#include "ui/msgbox.h"

namespace xfertest {

namespace fs = std::filesystem;

namespace {

int TestMessageBox(const char* text, const char* caption, unsigned style) {
  return ui::MessageBox(text, caption, style);
}

// The database is named by its host path in the tests.
int TestReadFile(const char* path, std::string* contents) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return 0;
  *contents = std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return 1;
}

ui::InstanceHandle testInstance{&TestMessageBox, &TestReadFile};

// Reads a transcript string in quotes starting at `pos`; moves `pos` past it.
std::string Unquote(const std::string& line, size_t& pos) {
  std::string out;
  if (pos >= line.size() || line[pos] != '"') return out;
  for (++pos; pos < line.size() && line[pos] != '"'; ++pos) {
    char c = line[pos];
    if (c == '\\' && pos + 1 < line.size()) {
      char e = line[++pos];
      c = e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : e;
    }
    out += c;
  }
  ++pos;
  return out;
}

}  // namespace

std::string ReadHost(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteHost(const std::string& path, const std::string& contents) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << contents;
}

void WriteGzipHost(const std::string& path, const std::string& contents) {
  fs::create_directories(fs::path(path).parent_path());
  gzFile out = gzopen(path.c_str(), "wb6");
  ASSERT_NE(out, nullptr) << path;
  if (!contents.empty()) {
    ASSERT_EQ(gzwrite(out, contents.data(), static_cast<unsigned>(contents.size())),
              static_cast<int>(contents.size()));
  }
  ASSERT_EQ(gzclose(out), Z_OK);
}

bool HostExists(const std::string& path) {
  std::error_code ec;
  return fs::symlink_status(path, ec).type() != fs::file_type::not_found && !ec;
}

std::vector<std::string> HostNames(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

std::string Payload(size_t size, unsigned seed) {
  std::string out(size, '\0');
  unsigned x = seed * 2654435761u + 1;
  for (size_t i = 0; i < size; ++i) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    out[i] = static_cast<char>(x & 0xff);
  }
  return out;
}

std::string TextPayload(size_t size, unsigned seed) {
  static const char* words[] = {"calibrate ", "voltage ", "range ", "step ", "MEAS ", "10.000 ",
                                "procedure ", "DISP ", "\r\n", "tolerance ", "OHMS ", "2W "};
  std::string out;
  unsigned x = seed + 7;
  while (out.size() < size) {
    x = x * 1103515245u + 12345u;
    out += words[(x >> 16) % 12];
  }
  out.resize(size);
  return out;
}

void RecordingFrontend::OnDialog(int id, Handler handler) {
  std::lock_guard<std::mutex> lock(mutex_);
  handlers_[id] = std::move(handler);
}

void RecordingFrontend::QueueAnswers(std::initializer_list<int> answers) {
  std::lock_guard<std::mutex> lock(mutex_);
  answers_.insert(answers_.end(), answers.begin(), answers.end());
}

std::vector<RecordingFrontend::Box> RecordingFrontend::Boxes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return boxes_;
}

int RecordingFrontend::BoxCount(const std::string& part) const {
  std::lock_guard<std::mutex> lock(mutex_);
  int count = 0;
  for (const Box& box : boxes_)
    if (box.text.find(part) != std::string::npos) ++count;
  return count;
}

std::vector<std::string> RecordingFrontend::Seen(int id, int control) const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> out;
  auto it = seen_.find(id);
  if (it == seen_.end()) return out;
  for (const auto& texts : it->second) {
    auto text = texts.find(control);
    out.push_back(text == texts.end() ? std::string() : text->second);
  }
  return out;
}

int RecordingFrontend::Runs(int id) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = seen_.find(id);
  return it == seen_.end() ? 0 : static_cast<int>(it->second.size());
}

void RecordingFrontend::RunModal(ui::Dialog& dialog) {
  Handler handler;
  {
    std::map<int, std::string> texts;
    for (const ui::Control& control : dialog.ControlsSnapshot())
      if (control.tmpl.id >= 0) texts[control.tmpl.id] = control.text;
    std::lock_guard<std::mutex> lock(mutex_);
    seen_[dialog.TemplateId()].push_back(texts);
    auto it = handlers_.find(dialog.TemplateId());
    if (it != handlers_.end()) handler = it->second;
  }
  if (handler) handler(dialog);
  RunTimersUntilEnded(dialog);
}

int RecordingFrontend::ShowMessageBox(const std::string& text, const std::string& caption, unsigned) {
  std::lock_guard<std::mutex> lock(mutex_);
  int answer = ui::IDOK;
  if (!answers_.empty()) {
    answer = answers_.front();
    answers_.pop_front();
  }
  boxes_.push_back(Box{caption, text, answer});
  return answer;
}

RecordingFrontend& InstallRecorder() {
  auto recorder = std::make_unique<RecordingFrontend>();
  RecordingFrontend& ref = *recorder;
  ui::SetFrontend(std::move(recorder));
  return ref;
}

void RunTimersUntilEnded(ui::Dialog& dialog) {
  while (!dialog.IsEnded()) {
    int next = dialog.FireDueTimers();
    if (dialog.IsEnded()) break;
    ::usleep(static_cast<useconds_t>(1000 * (next < 0 || next > 5 ? 5 : next < 1 ? 1 : next)));
  }
}

void TransferTest::SetUp() {
  char pattern[] = "/tmp/orvik-transfer-XXXXXX";
  char* made = ::mkdtemp(pattern);
  ASSERT_NE(made, nullptr);
  root_ = made;
  ::setenv("ORVIK_PREFIX", (root_ + "/prefix").c_str(), 1);
  ::setenv("ORVIK_TRANSCRIPT", (root_ + "/transcript.txt").c_str(), 1);
  ::setenv("ORVIK_UI", "script", 1);
  ::setenv("ORVIK_SCRIPT", (root_ + "/answers.txt").c_str(), 1);
  ::unsetenv("ORVIK_SCRIPT_LINE");
  platform::ResetPlatformForTesting();
  ASSERT_EQ(platform::PrefixDir(), root_ + "/prefix");
  ui::ResetFrontendForTesting();
  ui::SetResources(&resources::Kelmar());
  ASSERT_NE(text_open(&testInstance, "text.h", ORVIK_BIN_DIR "/ovtext.mdb"), 0)
      << "ovtext.mdb is built beside the programs";
  WriteHost(root_ + "/answers.txt", "");

  for (const char* dir : {"work", "orvik/proc", "orvik/pic", "orvik/prog", "orvik/data"})
    fs::create_directories(CHost(dir));
  t.transferListPath = "C:\\work\\orvik.lst";
  t.diskMapPath = "C:\\work\\_diskmap.lst";
  t.sourceDir = "D:\\";
  t.procDir = "C:\\orvik\\proc\\";
  t.tempDir = "C:\\orvik\\proc\\_temp";
  t.picDir = "C:\\orvik\\pic\\";
  t.passwordDir = "C:\\orvik\\prog\\";
  t.userProgDir = "C:\\orvik\\prog\\";
  t.dataDir = "C:\\orvik\\data\\";
  t.bytesPerSector = 512;
}

void TransferTest::TearDown() {
  text_close();
  ui::SetBeforeAnswerHook(nullptr);
  ui::ResetFrontendForTesting();
  ::unsetenv("ORVIK_UI");
  ::unsetenv("ORVIK_SCRIPT");
  ::unsetenv("ORVIK_TRANSCRIPT");
  platform::ResetPlatformForTesting();
  // Read-only files and folders made by a test must not stop the clean-up.
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(root_, ec); !ec && it != fs::end(it); it.increment(ec)) {
    if (!it->is_symlink(ec)) fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  }
  fs::remove_all(root_, ec);
}

std::string TransferTest::CHost(const std::string& rel) const {
  return root_ + "/prefix/drive_c/" + rel;
}

std::string TransferTest::Medium(const std::string& name) const {
  std::string path = root_ + "/media/" + name;
  fs::create_directories(path + "/proc_data");
  return path;
}

void TransferTest::AddPayload(const std::string& medium, const std::string& file,
                              const std::string& contents, bool gzip) const {
  std::string path = Medium(medium) + "/proc_data/" + file;
  if (gzip)
    WriteGzipHost(path, contents);
  else
    WriteHost(path, contents);
}

void TransferTest::AddMarker(const std::string& medium, const std::string& marker) const {
  WriteHost(Medium(medium) + "/" + marker, "");
}

void TransferTest::Insert(const std::string& medium) const {
  ASSERT_TRUE(platform::MapDrive('d', Medium(medium)));
}

void TransferTest::WriteDiskMap(const std::string& text) const { WriteHost(CHost("work/_diskmap.lst"), text); }

std::string TransferTest::ListText() const { return ReadHost(CHost("work/orvik.lst")); }

void TransferTest::Answers(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  WriteHost(root_ + "/answers.txt", text);
  ui::ResetFrontendForTesting();
}

std::vector<std::string> TransferTest::Transcript() const {
  std::vector<std::string> lines;
  std::stringstream in(ReadHost(root_ + "/transcript.txt"));
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

std::vector<BoxLine> TransferTest::Boxes() const {
  std::vector<BoxLine> boxes;
  for (const std::string& line : Transcript()) {
    if (line.rfind("box ", 0) != 0) continue;
    size_t pos = 4;
    BoxLine box;
    box.caption = Unquote(line, pos);
    ++pos;
    box.text = Unquote(line, pos);
    boxes.push_back(box);
  }
  return boxes;
}

int TransferTest::BoxCount(const std::string& part) const {
  int count = 0;
  for (const BoxLine& box : Boxes())
    if (box.text.find(part) != std::string::npos) ++count;
  return count;
}

int TransferTest::LineCount(const std::string& prefix) const {
  int count = 0;
  for (const std::string& line : Transcript())
    if (line.rfind(prefix, 0) == 0) ++count;
  return count;
}

bool TransferTest::HasLine(const std::string& line) const {
  std::vector<std::string> lines = Transcript();
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

}  // namespace xfertest
