// Shared pieces of the selection tests: a sandbox prefix with the installer's
// resources and message texts, catalogue and proc.dir builders, and a
// frontend that records boxes and the index progress window.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "installer/catalogue/procedures_list.h"
#include "ui/frontend.h"

namespace seltest {

// A temporary prefix (ORVIK_PREFIX) with the installer's dialogs installed,
// the text service open on the built ovtext.mdb, and a transcript file.
class Sandbox {
 public:
  Sandbox();
  ~Sandbox();
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  std::string root;  // host folder of the sandbox

  // Host path of a DOS path.
  std::string Host(const std::string& dosPath) const;
  // Writes a file at a DOS path, making its folders.
  void Write(const std::string& dosPath, const std::string& contents) const;
  std::string Read(const std::string& dosPath) const;
  bool Exists(const std::string& dosPath) const;
  void MakeDir(const std::string& dosPath) const;

  // Uses the script frontend with these answer lines from now on.
  void Answers(const std::string& lines);
  std::string Transcript() const;
  std::vector<std::string> TranscriptLines() const;
  bool Has(const std::string& line) const;
  // How many transcript lines begin with `prefix`.
  int Count(const std::string& prefix) const;
  void ClearTranscript() const;
};

// One catalogue record of kelmar.lst.
struct Rec {
  std::vector<std::string> names;
  std::string procFile;
  std::vector<std::string> subs;
  std::vector<std::string> files;
  std::vector<std::string> data;
  std::string calibrator = "R520";
  std::vector<std::string> config;
  bool isSub = false;
};

// The kelmar.lst text of the records, in order.
std::string ListText(const std::vector<Rec>& records);
// Loads the records into `catalogue` through a kelmar.lst file in the
// sandbox and offers every procedure (GetProcs).
void LoadCatalogue(const Sandbox& box, ProceduresList& catalogue, const std::vector<Rec>& records);

// proc.dir records: a 75-byte record, a whole entry, a free record.
std::string Record(char status, char kind, bool first, bool last, const std::string& file,
                   const std::string& name);
std::string Entry(char kind, const std::string& file, const std::vector<std::string>& names, char status = ' ');
std::string FreeRecord();

// Records the boxes shown (answered from a queue, OK when it is empty) and
// every repaint of a modeless window; modal dialogs go to `onModal`, or end
// with IDCANCEL.
class RecordingFrontend : public ui::Frontend {
 public:
  struct Box {
    std::string caption;
    std::string text;
  };
  struct Repaint {
    int id;
    int pos;           // progress bar 1015
    std::string file;  // control 1039
    bool visible;
  };

  std::vector<int> answers;  // consumed from the front
  std::vector<Box> boxes;
  std::vector<Repaint> repaints;
  std::vector<int> destroyed;
  std::function<void(ui::Dialog&)> onModal;
  bool echo = false;  // also write each box to stderr (death tests)

  void RunModal(ui::Dialog& dialog) override;
  int ShowMessageBox(const std::string& text, const std::string& caption, unsigned style) override;
  void ModelessShown(ui::Dialog& dialog) override;
  void ModelessUpdated(ui::Dialog& dialog) override;
  void ModelessDestroyed(ui::Dialog& dialog) override;

 private:
  void Note(ui::Dialog& dialog, bool visible);
};

// Installs a RecordingFrontend and returns it (owned by the ui library).
RecordingFrontend& InstallRecorder();

}  // namespace seltest
