// A frontend for in-process tests that records what it is shown, safe to use
// from worker threads. Boxes are answered by a handler, else from a queue,
// else OK. A modal dialog goes to the handler for its template id, else to
// the default handler; what happens to one that is still running after that
// is the policy: fail the test, cancel it, or fire its timers until it ends
// by itself (as a progress window does).
#pragma once
#include <deque>
#include <functional>
#include <initializer_list>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "ui/frontend.h"

namespace orvik_testing {

struct ShownBox {
  std::string caption;
  std::string text;
  unsigned style = 0;
  int answer = 0;
  std::string snapshot;  // the watched file as the box appeared
};

// A repaint of a modeless window: the progress bar 1015 (-1 without one) and
// the file shown in control 1039.
struct Repaint {
  int id;
  int pos;
  std::string file;
};

// The message number of an "ORVIK Error <n>" box, else 0.
int MessageNumber(const ShownBox& box);

class RecordingFrontend : public ui::Frontend {
 public:
  enum class Unhandled { kFail, kCancel, kRunTimers };
  using DialogHandler = std::function<void(ui::Dialog&)>;
  using BoxHandler = std::function<int(const ShownBox&)>;

  explicit RecordingFrontend(Unhandled unhandled = Unhandled::kFail) : unhandled_(unhandled) {}

  void OnDialog(int id, DialogHandler handler);
  void OnAnyDialog(DialogHandler handler);
  void OnBox(BoxHandler handler);
  void QueueAnswers(std::initializer_list<int> answers);
  // Each box snapshots this host file as it appears.
  void Watch(const std::string& hostPath);
  // Also write each box to standard error (for death tests).
  void Echo(bool on);

  std::vector<ShownBox> Boxes() const;
  // The message numbers of the boxes, in order.
  std::vector<int> Messages() const;
  // Boxes whose text contains `part`.
  int BoxCount(const std::string& part) const;
  void ClearBoxes();
  // Texts of control `control` of dialog `id` as each run began; runs of `id`.
  std::vector<std::string> Seen(int id, int control) const;
  int Runs(int id) const;
  std::vector<Repaint> Repaints() const;
  std::vector<int> Destroyed() const;

  void RunModal(ui::Dialog& dialog) override;
  int ShowMessageBox(const std::string& text, const std::string& caption, unsigned style) override;
  void ModelessShown(ui::Dialog& dialog) override { Note(dialog); }
  void ModelessUpdated(ui::Dialog& dialog) override { Note(dialog); }
  void ModelessDestroyed(ui::Dialog& dialog) override;

 private:
  void Note(ui::Dialog& dialog);

  const Unhandled unhandled_;
  mutable std::mutex mutex_;
  std::map<int, DialogHandler> handlers_;
  DialogHandler anyDialog_;
  BoxHandler onBox_;
  std::deque<int> answers_;
  std::string watched_;
  bool echo_ = false;
  std::vector<ShownBox> boxes_;
  std::map<int, std::vector<std::map<int, std::string>>> seen_;
  std::vector<Repaint> repaints_;
  std::vector<int> destroyed_;
};

// Installs a RecordingFrontend (owned by the ui library) and returns it.
RecordingFrontend& InstallRecorder(RecordingFrontend::Unhandled unhandled = RecordingFrontend::Unhandled::kFail);

// Fires the dialog's timers until it ends.
void RunTimersUntilEnded(ui::Dialog& dialog);

}  // namespace orvik_testing
