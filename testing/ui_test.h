// A dialog-framework test: an entered sandbox whose answer file and
// transcript the script frontend uses, with the sample resources.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "testing/host_files.h"
#include "testing/host_platform.h"
#include "testing/sandbox.h"
#include "ui/frontend.h"
#include "ui/resource.h"
#include "ui/sample/sample_dialogs.h"

namespace orvik_testing {

class UiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    box_ = std::make_unique<Sandbox>(Sandbox::kThisProcess);
    dir_ = box_->root;
    script_ = box_->AnswersPath();
    transcript_ = box_->TranscriptPath();
    SetEnv("ORVIK_UI", "script");
    SetEnv("ORVIK_SCRIPT", script_);
    SetEnv("ORVIK_TRANSCRIPT", transcript_);
    ui::SetResources(&sample::Resources());
    ui::ResetFrontendForTesting();
  }
  void TearDown() override { box_.reset(); }

  void Answers(const std::string& text) { WriteFile(script_, text); }
  std::vector<std::string> Transcript() const { return Lines(ReadFile(transcript_)); }

  std::unique_ptr<Sandbox> box_;
  std::string dir_, script_, transcript_;
};

}  // namespace orvik_testing
