// Catalogue tests: an entered prefix, the recording frontend (no dialog may
// run), and builders of list files.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "installer/catalogue/catalogue_trace.h"
#include "installer/catalogue/procedures_list.h"
#include "platform/dos_path.h"
#include "testing/prefix_test.h"
#include "testing/recording_frontend.h"
#include "ui/frontend.h"

namespace catalogue_testing {

class CatalogueTest : public orvik_testing::PrefixTest {
 protected:
  void SetUp() override {
    PrefixTest::SetUp();
    recorder_ = &orvik_testing::InstallRecorder();
  }
  void TearDown() override {
    catalogue::CloseCatalogueTrace();
    ui::ResetFrontendForTesting();
    PrefixTest::TearDown();
  }

  // Writes `text` as the file C:\<name> and returns its DOS path.
  std::string WriteC(const std::string& name, const std::string& text) {
    orvik_testing::WriteFile(driveC_ + "/" + name, text);
    return "C:\\" + name;
  }
  std::string ReadC(const std::string& name) { return orvik_testing::ReadFile(driveC_ + "/" + name); }
  bool ExistsC(const std::string& name) { return orvik_testing::Exists(driveC_ + "/" + name); }

  // Loads `text` as a list file into `list`; TextInput's result.
  int Load(catalogue::ProceduresList& list, const std::string& text) {
    return list.TextInput(WriteC("kelmar.lst", text).c_str());
  }

  std::vector<orvik_testing::ShownBox> Boxes() const { return recorder_->Boxes(); }

  orvik_testing::RecordingFrontend* recorder_ = nullptr;
};

// The entries of a list, for comparisons.
inline std::vector<std::string> Items(const catalogue::StringList& list) {
  return std::vector<std::string>(list.begin(), list.end());
}
inline std::vector<std::string> Items(const catalogue::StringList* list) {
  return list ? Items(*list) : std::vector<std::string>{"<none>"};
}

// The names of the catalogue's nodes in list order.
inline std::vector<std::string> NodeNames(const catalogue::ProceduresList& list) {
  std::vector<std::string> names;
  for (const catalogue::ProcNode* node = list.pHead; node != nullptr; node = node->pNext) names.push_back(node->name);
  return names;
}

// One record of a list file; `marker` "instrument==========" unless given.
inline std::string Record(const std::vector<std::string>& names, const std::string& procFile,
                          const std::string& body = "calibrator\nR520\n",
                          const std::string& marker = "instrument==========") {
  std::string text = marker + "\n";
  for (const std::string& name : names) text += name + "\n";
  text += "procfile\n" + procFile + "\n" + body + "end\n";
  return text;
}

}  // namespace catalogue_testing
