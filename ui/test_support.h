// Test support for the dialog framework: a temporary folder with an answer
// file and a transcript, and the environment that selects them.
#pragma once
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dos_path.h"
#include "ui/frontend.h"
#include "ui/resource.h"
#include "ui/sample/sample_dialogs.h"

namespace ui::testing {

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

inline std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::stringstream in(text);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

// Each test gets a folder with its own prefix, answer file and transcript,
// the script frontend and the sample resources.
class UiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/orvik_ui_XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    script_ = dir_ + "/answers.txt";
    transcript_ = dir_ + "/transcript.txt";
    ::setenv("ORVIK_PREFIX", (dir_ + "/prefix").c_str(), 1);
    ::setenv("ORVIK_UI", "script", 1);
    ::setenv("ORVIK_SCRIPT", script_.c_str(), 1);
    ::setenv("ORVIK_TRANSCRIPT", transcript_.c_str(), 1);
    ::unsetenv("ORVIK_SCRIPT_LINE");
    platform::ResetPlatformForTesting();
    ui::SetResources(&sample::Resources());
    ui::ResetFrontendForTesting();
  }
  void TearDown() override {
    ui::SetBeforeAnswerHook(nullptr);
    ui::ResetFrontendForTesting();
    ::unsetenv("ORVIK_TRANSCRIPT");
    ::unsetenv("ORVIK_SCRIPT");
    ::unsetenv("ORVIK_SCRIPT_LINE");
    ::unsetenv("ORVIK_UI");
    platform::ResetPlatformForTesting();
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  void Answers(const std::string& text) {
    std::ofstream out(script_, std::ios::binary | std::ios::trunc);
    out << text;
  }
  std::vector<std::string> Transcript() const { return SplitLines(ReadFile(transcript_)); }

  std::string dir_, script_, transcript_;
};

}  // namespace ui::testing
