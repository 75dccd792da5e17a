#include "ui/answer_recorder.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/process.h"
#include "ui/dialog.h"

namespace ui::detail {

namespace {

// Tells programs started from here that they continue this recording.
constexpr const char* kSessionVariable = "ORVIK_RECORD_SESSION";
// Longest text a box line checks for.
constexpr size_t kContainsLength = 60;

bool Writable(const std::string& text) { return text.find('"') == std::string::npos; }

std::string Quote(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

std::string RecordedDialogLine(const Dialog& dialog, const DialogAction& action) {
  std::string line = dialog.Template() && dialog.Template()->dependsOnState ? "? " : "";
  line += std::to_string(dialog.TemplateId()) + " ";
  const std::string control = std::to_string(action.control);
  switch (action.kind) {
    case ActionKind::Close:
      return line + "close";
    case ActionKind::Click:
      return line + "click " + control;
    case ActionKind::Set:
      if (!Writable(action.text)) return "";
      return line + "set " + control + " " + Quote(action.text);
    case ActionKind::Toggle: {
      // The item's own text serves other workstations whose lists differ;
      // its number stands in when the text cannot be written.
      std::string why;
      int index = ResolveItem(dialog, action.control, action.text, &why);
      if (index < 0) return "";
      std::string item = const_cast<Dialog&>(dialog).List(action.control).GetText(index);
      return line + "toggle " + control + " " + (Writable(item) ? Quote(item) : "#" + std::to_string(index + 1));
    }
  }
  return "";
}

std::string RecordedBoxLine(const std::string& text, int answer) {
  std::string first = text.substr(0, text.find_first_of("\r\n\""));
  if (first.size() > kContainsLength) first.resize(kContainsLength);
  while (!first.empty() && (first.back() == ' ' || first.back() == '\t')) first.pop_back();
  std::string line = "? box ";
  if (!first.empty()) line += "contains " + Quote(first) + " ";
  return line + AnswerWord(answer);
}

std::unique_ptr<AnswerRecorder> AnswerRecorder::FromEnvironment() {
  const char* path = std::getenv("ORVIK_RECORD");
  if (!path || !*path) return nullptr;
  const char* session = std::getenv(kSessionVariable);
  auto recorder = std::make_unique<AnswerRecorder>(path, session && std::string(session) == path);
  platform::SetChildEnvironment(kSessionVariable, path);
  return recorder;
}

AnswerRecorder::AnswerRecorder(const std::string& path, bool continued) {
  if (!continued) {
    // An earlier recording is replaced in one step, never left half-written.
    const std::string fresh = path + ".new";
    {
      std::ofstream start(fresh, std::ios::binary | std::ios::trunc);
      start << "# Answer file recorded by ORVIK_RECORD; replay with ORVIK_UI=script ORVIK_SCRIPT=<this file>.\n"
               "# Lines that begin with ? are passed over when their window does not come.\n";
      start.flush();
      if (!start) {
        std::fprintf(stderr, "ORVIK_RECORD: cannot write %s\n", fresh.c_str());
        return;
      }
    }
    std::error_code ec;
    std::filesystem::rename(fresh, path, ec);
    if (ec) {
      std::fprintf(stderr, "ORVIK_RECORD: cannot put %s in place: %s\n", path.c_str(), ec.message().c_str());
      std::filesystem::remove(fresh, ec);
      return;
    }
  }
  out_.open(path, std::ios::binary | std::ios::app);
  if (!out_) std::fprintf(stderr, "ORVIK_RECORD: cannot add to %s\n", path.c_str());
}

void AnswerRecorder::Write(const std::string& line) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!out_.is_open() || !out_) return;
  // One write per line, flushed at once: the file is complete up to the
  // last answer even when the program ends abruptly.
  out_ << line << '\n';
  out_.flush();
}

void AnswerRecorder::RecordAction(const Dialog& dialog, const DialogAction& action) {
  std::string line = RecordedDialogLine(dialog, action);
  if (line.empty()) {
    line = "# window " + std::to_string(dialog.TemplateId()) + ": control " + std::to_string(action.control) +
           " was given a text with a double quote, which an answer file cannot hold";
  }
  Write(line);
}

void AnswerRecorder::RecordBox(const std::string& text, int answer) { Write(RecordedBoxLine(text, answer)); }

}  // namespace ui::detail
