#include "testing/sandbox.h"

#include <cstdlib>
#include <stdexcept>

#include "platform/dos_path.h"
#include "testing/host_files.h"
#include "testing/host_platform.h"
#include "testing/program_runner.h"
#include "ui/frontend.h"

namespace orvik_testing {

namespace {

void ClearFrontendEnvironment() {
  for (const char* name : {"ORVIK_TRANSCRIPT", "ORVIK_UI", "ORVIK_SCRIPT", "ORVIK_SCRIPT_LINE"}) SetEnv(name, "");
}

}  // namespace

Sandbox::~Sandbox() {
  if (entered_) {
    ui::SetBeforeAnswerHook(nullptr);
    ui::ResetFrontendForTesting();
    ClearFrontendEnvironment();
    // When the folder of the test run is gone, nothing of the sandbox depends on it.
    ChangeFolder(savedCwd_);
    platform::ResetPlatformForTesting();
    SetEnv("ORVIK_PREFIX", "");
  }
  RemoveLeftovers();
  RemoveTree(root);
}

void Sandbox::Enter() {
  savedCwd_ = CurrentFolder();
  // No prefix (Windows): the variable is removed and the platform has none.
  SetEnv("ORVIK_PREFIX", prefix);
  ClearFrontendEnvironment();
  platform::ResetPlatformForTesting();
  ui::ResetFrontendForTesting();
  entered_ = true;
  if (platform::PrefixDir() != prefix) throw std::runtime_error("the platform did not take " + prefix);
}

std::string Sandbox::Host(const std::string& dosPath) const { return platform::HostPath(dosPath); }

void Sandbox::Write(const std::string& dosPath, const std::string& contents) const {
  WriteFile(Host(dosPath), contents);
}

std::string Sandbox::Read(const std::string& dosPath) const { return ReadFile(Host(dosPath)); }

bool Sandbox::Exists(const std::string& dosPath) const { return orvik_testing::Exists(Host(dosPath)); }

void Sandbox::MakeDir(const std::string& dosPath) const { MakeDirs(Host(dosPath)); }

void Sandbox::Answers(const std::string& lines) const {
  WriteFile(AnswersPath(), lines);
  SetEnv("ORVIK_UI", "script");
  SetEnv("ORVIK_SCRIPT", AnswersPath());
  SetEnv("ORVIK_TRANSCRIPT", TranscriptPath());
  SetEnv("ORVIK_SCRIPT_LINE", "");
  ui::ResetFrontendForTesting();
}

std::map<std::string, std::string> Sandbox::ScriptEnv(const std::string& answers) const {
  WriteFile(AnswersPath(), answers);
  // ORVIK_TEST_UI=gui runs the same answers against the real windows.
  const char* ui = std::getenv("ORVIK_TEST_UI");
  return {{"ORVIK_PREFIX", prefix},       {"ORVIK_UI", ui != nullptr && *ui != '\0' ? ui : "script"},
          {"ORVIK_SCRIPT", AnswersPath()}, {"ORVIK_SCRIPT_LINE", ""},
          {"ORVIK_TRANSCRIPT", TranscriptPath()}, {"ORVIK_VIEWER", ""},
          {"DISPLAY", ""},
          // Windows: the programs' temporary folder is C:\windows\temp, as
          // on the workstations the tests stand for (the POSIX host's is
          // always that).
          {"TMP", kPosixHost ? "" : "C:\\windows\\temp"}, {"TEMP", kPosixHost ? "" : "C:\\windows\\temp"}};
}

std::string Sandbox::MakeStaging(const std::string& catalogue, const std::string& diskMap) const {
  std::string staging = OnC("C:\\windows\\temp\\~ovprocedureinstall");
  MakeDirs(staging);
  WriteFile(staging + "/kelmar.lst", catalogue);
  WriteFile(staging + "/_diskmap.lst", diskMap);
  WriteFile(staging + "/readme.txt", "Sample procedures.\n");
  WriteFile(staging + "/ovtext.mdb", ReadFile(BinDir() + "/ovtext.mdb"));
  return staging;
}

void Sandbox::MakeProductFolders(bool readmeInstalled) const {
  for (const char* sub : {"", "\\proc", "\\pic"}) MakeDirs(OnC(std::string("C:\\orvik") + sub));
  if (readmeInstalled) WriteFile(OnC("C:\\orvik\\proc\\readme.txt"), "Sample procedures.\n");
}

RunResult Sandbox::RunInstaller(const std::string& staging, const std::vector<std::string>& args,
                                const std::string& answers) const {
  return RunProgram(ProgramPath("kelmar"), args, ScriptEnv(answers), staging);
}

std::string BinDir() { return ORVIK_BIN_DIR; }
std::string SourceDir() { return ORVIK_SOURCE_DIR; }

}  // namespace orvik_testing
