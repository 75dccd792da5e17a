#include "testing/selection_test.h"

#include <gtest/gtest.h>

#include <cstdio>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

#include "platform/dos_path.h"
#include "resources/kelmar_resources.h"
#include "text/text.h"
#include "testing/fake_instance.h"
#include "testing/host_platform.h"
#include "ui/frontend.h"
#include "ui/msgbox.h"

namespace seltest {
Sandbox::Sandbox() : orvik_testing::Sandbox(kThisProcess) {
  orvik_testing::SetEnv("ORVIK_TRANSCRIPT", TranscriptPath());
  ui::ResetFrontendForTesting();
  ui::SetResources(&resources::Kelmar());
  EXPECT_TRUE(orvik_testing::OpenMessages()) << "ovtext.mdb is built beside the programs";
}

Sandbox::~Sandbox() { text_close(); }

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

void LoadCatalogue(const Sandbox& box, catalogue::ProceduresList& catalogue, const std::vector<Rec>& records) {
  box.Write("C:\\windows\\temp\\kelmar.lst", ListText(records));
  ASSERT_EQ(catalogue.TextInput("C:\\windows\\temp\\kelmar.lst"), 1);
  ASSERT_GE(catalogue.GetProcs(), 0);
}

RecordingFrontend& InstallRecorder() {
  return orvik_testing::InstallRecorder(RecordingFrontend::Unhandled::kCancel);
}

}  // namespace seltest
