// Selection tests: a sandbox with the installer's resources and message
// texts, and catalogue builders.
#pragma once
#include <string>
#include <vector>

#include "installer/catalogue/procedures_list.h"
#include "testing/index_records.h"
#include "testing/recording_frontend.h"
#include "testing/sandbox.h"

namespace seltest {

// An entered sandbox with the installer's dialogs installed, the text
// service open on the built ovtext.mdb, and a transcript file.
class Sandbox : public orvik_testing::Sandbox {
 public:
  Sandbox();
  ~Sandbox();
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
void LoadCatalogue(const Sandbox& box, catalogue::ProceduresList& catalogue, const std::vector<Rec>& records);

using orvik_testing::Entry;
using orvik_testing::FreeRecord;
using orvik_testing::Record;
using orvik_testing::RecordingFrontend;

// Installs a recording frontend on which a dialog without a handler is
// cancelled.
RecordingFrontend& InstallRecorder();

}  // namespace seltest
