#include "testing/recording_frontend.h"


#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <gtest/gtest.h>

#include "testing/host_files.h"
#include "testing/host_platform.h"
#include "ui/dialog.h"
#include "ui/msgbox.h"

namespace orvik_testing {

int MessageNumber(const ShownBox& box) {
  const char* prefix = "ORVIK Error ";
  if (box.caption.rfind(prefix, 0) != 0) return 0;
  return std::atoi(box.caption.c_str() + std::strlen(prefix));
}

void RecordingFrontend::OnDialog(int id, DialogHandler handler) {
  std::lock_guard<std::mutex> lock(mutex_);
  handlers_[id] = std::move(handler);
}

void RecordingFrontend::OnAnyDialog(DialogHandler handler) {
  std::lock_guard<std::mutex> lock(mutex_);
  anyDialog_ = std::move(handler);
}

void RecordingFrontend::OnBox(BoxHandler handler) {
  std::lock_guard<std::mutex> lock(mutex_);
  onBox_ = std::move(handler);
}

void RecordingFrontend::QueueAnswers(std::initializer_list<int> answers) {
  std::lock_guard<std::mutex> lock(mutex_);
  answers_.insert(answers_.end(), answers.begin(), answers.end());
}

void RecordingFrontend::Watch(const std::string& hostPath) {
  std::lock_guard<std::mutex> lock(mutex_);
  watched_ = hostPath;
}

void RecordingFrontend::Echo(bool on) {
  std::lock_guard<std::mutex> lock(mutex_);
  echo_ = on;
}

std::vector<ShownBox> RecordingFrontend::Boxes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return boxes_;
}

std::vector<int> RecordingFrontend::Messages() const {
  std::vector<int> numbers;
  for (const ShownBox& box : Boxes()) numbers.push_back(MessageNumber(box));
  return numbers;
}

int RecordingFrontend::BoxCount(const std::string& part) const {
  int count = 0;
  for (const ShownBox& box : Boxes()) count += box.text.find(part) != std::string::npos;
  return count;
}

void RecordingFrontend::ClearBoxes() {
  std::lock_guard<std::mutex> lock(mutex_);
  boxes_.clear();
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

std::vector<Repaint> RecordingFrontend::Repaints() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return repaints_;
}

std::vector<int> RecordingFrontend::Destroyed() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return destroyed_;
}

void RecordingFrontend::RunModal(ui::Dialog& dialog) {
  DialogHandler handler;
  {
    std::map<int, std::string> texts;
    for (const ui::Control& control : dialog.ControlsSnapshot())
      if (control.tmpl.id >= 0) texts[control.tmpl.id] = control.text;
    std::lock_guard<std::mutex> lock(mutex_);
    seen_[dialog.TemplateId()].push_back(texts);
    auto it = handlers_.find(dialog.TemplateId());
    handler = it != handlers_.end() ? it->second : anyDialog_;
  }
  if (handler) handler(dialog);
  if (dialog.IsEnded()) return;
  switch (unhandled_) {
    case Unhandled::kFail:
      ADD_FAILURE() << "unexpected dialog " << dialog.TemplateId();
      dialog.EndDialog(ui::IDCANCEL);
      break;
    case Unhandled::kCancel:
      dialog.EndDialog(ui::IDCANCEL);
      break;
    case Unhandled::kRunTimers:
      RunTimersUntilEnded(dialog);
      break;
  }
}

int RecordingFrontend::ShowMessageBox(const std::string& text, const std::string& caption, unsigned style) {
  ShownBox box{caption, text, style, ui::IDOK, ""};
  BoxHandler handler;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!watched_.empty()) box.snapshot = ReadFile(watched_);
    if (echo_) std::fprintf(stderr, "box \"%s\" \"%s\"\n", caption.c_str(), text.c_str());
    handler = onBox_;
    if (!handler && !answers_.empty()) {
      box.answer = answers_.front();
      answers_.pop_front();
    }
  }
  // A handler may show boxes itself, so it runs without the lock.
  if (handler) box.answer = handler(box);
  std::lock_guard<std::mutex> lock(mutex_);
  boxes_.push_back(box);
  return box.answer;
}

void RecordingFrontend::ModelessDestroyed(ui::Dialog& dialog) {
  std::lock_guard<std::mutex> lock(mutex_);
  destroyed_.push_back(dialog.TemplateId());
}

void RecordingFrontend::Note(ui::Dialog& dialog) {
  int pos = dialog.HasControl(1015) ? dialog.Progress(1015).GetPos() : -1;
  std::string file = dialog.HasControl(1039) ? dialog.GetDlgItemText(1039) : "";
  std::lock_guard<std::mutex> lock(mutex_);
  repaints_.push_back(Repaint{dialog.TemplateId(), pos, file});
}

RecordingFrontend& InstallRecorder(RecordingFrontend::Unhandled unhandled) {
  auto recorder = std::make_unique<RecordingFrontend>(unhandled);
  RecordingFrontend& ref = *recorder;
  ui::SetFrontend(std::move(recorder));
  return ref;
}

void RunTimersUntilEnded(ui::Dialog& dialog) {
  while (!dialog.IsEnded()) {
    int next = dialog.FireDueTimers();
    if (dialog.IsEnded()) break;
    SleepMilliseconds(next < 0 || next > 5 ? 5 : next < 1 ? 1 : next);
  }
}

}  // namespace orvik_testing
