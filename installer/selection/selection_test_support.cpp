#include "installer/selection/selection_test_support.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

#include "platform/dos_path.h"
#include "resources/kelmar_resources.h"
#include "text/text.h"
#include "ui/app.h"
#include "ui/msgbox.h"

namespace seltest {
namespace {

namespace fs = std::filesystem;

std::string ReadHost(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteHost(const std::string& path, const std::string& contents) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << contents;
}

int TestMessageBox(const char* text, const char* caption, unsigned style) {
  return ui::MessageBox(text, caption, style);
}

// The database is named by its host path in the tests.
int TestReadFile(const char* path, std::string* contents) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return 0;
  *contents = std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return 1;
}

ui::InstanceHandle testInstance{&TestMessageBox, &TestReadFile};

std::string Pad(const std::string& text, std::size_t width) {
  std::string out = text.substr(0, width);
  out.resize(width, ' ');
  return out;
}

}  // namespace

Sandbox::Sandbox() {
  char pattern[] = "/tmp/orvik-selection-XXXXXX";
  char* made = ::mkdtemp(pattern);
  EXPECT_NE(made, nullptr);
  root = made ? made : "/tmp";
  ::setenv("ORVIK_PREFIX", (root + "/prefix").c_str(), 1);
  ::setenv("ORVIK_TRANSCRIPT", (root + "/transcript.txt").c_str(), 1);
  ::unsetenv("ORVIK_SCRIPT_LINE");
  ::unsetenv("ORVIK_UI");
  platform::ResetPlatformForTesting();
  ui::ResetFrontendForTesting();
  ui::SetResources(&resources::Kelmar());
  EXPECT_NE(text_open(&testInstance, "text.h", ORVIK_BIN_DIR "/ovtext.mdb"), 0)
      << "ovtext.mdb is built beside the programs";
}

Sandbox::~Sandbox() {
  text_close();
  ui::ResetFrontendForTesting();
  ::unsetenv("ORVIK_UI");
  ::unsetenv("ORVIK_SCRIPT");
  ::unsetenv("ORVIK_TRANSCRIPT");
  std::error_code ignored;
  fs::remove_all(root, ignored);
}

std::string Sandbox::Host(const std::string& dosPath) const { return platform::HostPath(dosPath); }

void Sandbox::Write(const std::string& dosPath, const std::string& contents) const {
  WriteHost(Host(dosPath), contents);
}

std::string Sandbox::Read(const std::string& dosPath) const { return ReadHost(Host(dosPath)); }

bool Sandbox::Exists(const std::string& dosPath) const {
  std::error_code ignored;
  return fs::exists(Host(dosPath), ignored);
}

void Sandbox::MakeDir(const std::string& dosPath) const { fs::create_directories(Host(dosPath)); }

void Sandbox::Answers(const std::string& lines) {
  WriteHost(root + "/answers.txt", lines);
  ::setenv("ORVIK_UI", "script", 1);
  ::setenv("ORVIK_SCRIPT", (root + "/answers.txt").c_str(), 1);
  ::unsetenv("ORVIK_SCRIPT_LINE");
  ui::ResetFrontendForTesting();
}

std::string Sandbox::Transcript() const { return ReadHost(root + "/transcript.txt"); }

std::vector<std::string> Sandbox::TranscriptLines() const {
  std::vector<std::string> lines;
  std::istringstream in(Transcript());
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

bool Sandbox::Has(const std::string& line) const {
  for (const std::string& l : TranscriptLines())
    if (l == line) return true;
  return false;
}

int Sandbox::Count(const std::string& prefix) const {
  int n = 0;
  for (const std::string& l : TranscriptLines()) n += l.rfind(prefix, 0) == 0;
  return n;
}

void Sandbox::ClearTranscript() const {
  std::error_code ignored;
  fs::remove(root + "/transcript.txt", ignored);
}

std::string ListText(const std::vector<Rec>& records) {
  std::string text;
  auto lines = [&text](const std::vector<std::string>& list) {
    for (const std::string& line : list) text += line + "\n";
  };
  for (const Rec& r : records) {
    text += r.isSub ? "instrumentSub=======\n" : "instrument==========\n";
    lines(r.names);
    text += "procfile\n" + r.procFile + "\n";
    text += "sub\n";
    lines(r.subs);
    text += "files\n";
    lines(r.files);
    text += "datafiles\n";
    lines(r.data);
    text += "calibrator\n" + r.calibrator + "\n";
    text += "configuration\n";
    lines(r.config);
    text += "end\n";
  }
  return text;
}

void LoadCatalogue(const Sandbox& box, ProceduresList& catalogue, const std::vector<Rec>& records) {
  box.Write("C:\\windows\\temp\\kelmar.lst", ListText(records));
  ASSERT_EQ(catalogue.TextInput("C:\\windows\\temp\\kelmar.lst"), 1);
  ASSERT_GE(catalogue.GetProcs(), 0);
}

std::string Record(char status, char kind, bool first, bool last, const std::string& file,
                   const std::string& name) {
  std::string r;
  r += status;
  r += kind;
  r += first ? 'F' : ' ';
  r += last ? 'L' : ' ';
  r += ' ';
  r += Pad(file, 13);
  r += Pad(name, 55);
  r += "\r\n";
  return r;
}

std::string Entry(char kind, const std::string& file, const std::vector<std::string>& names, char status) {
  std::string out;
  for (std::size_t i = 0; i < names.size(); ++i) {
    out += Record(status, kind, i == 0, i + 1 == names.size(), file, names[i]);
  }
  return out;
}

std::string FreeRecord() { return "X" + std::string(72, ' ') + "\r\n"; }

void RecordingFrontend::RunModal(ui::Dialog& dialog) {
  if (onModal) onModal(dialog);
  if (!dialog.IsEnded()) dialog.EndDialog(ui::IDCANCEL);
}

int RecordingFrontend::ShowMessageBox(const std::string& text, const std::string& caption, unsigned) {
  boxes.push_back(Box{caption, text});
  if (echo) std::fprintf(stderr, "box \"%s\" \"%s\"\n", caption.c_str(), text.c_str());
  if (answers.empty()) return ui::IDOK;
  int answer = answers.front();
  answers.erase(answers.begin());
  return answer;
}

void RecordingFrontend::Note(ui::Dialog& dialog, bool visible) {
  int pos = dialog.HasControl(1015) ? dialog.Progress(1015).GetPos() : -1;
  std::string file = dialog.HasControl(1039) ? dialog.GetDlgItemText(1039) : "";
  repaints.push_back(Repaint{dialog.TemplateId(), pos, file, visible});
}

void RecordingFrontend::ModelessShown(ui::Dialog& dialog) { Note(dialog, true); }
void RecordingFrontend::ModelessUpdated(ui::Dialog& dialog) { Note(dialog, true); }
void RecordingFrontend::ModelessDestroyed(ui::Dialog& dialog) { destroyed.push_back(dialog.TemplateId()); }

RecordingFrontend& InstallRecorder() {
  auto recorder = std::make_unique<RecordingFrontend>();
  RecordingFrontend& ref = *recorder;
  ui::SetFrontend(std::move(recorder));
  return ref;
}

}  // namespace seltest
