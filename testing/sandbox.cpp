#include "testing/sandbox.h"

#include <stdlib.h>
#include <unistd.h>

#include <cctype>
#include <stdexcept>

#include "platform/dos_path.h"
#include "testing/host_files.h"
#include "testing/program_runner.h"
#include "ui/frontend.h"

namespace orvik_testing {

namespace {

void ClearFrontendEnvironment() {
  ::unsetenv("ORVIK_TRANSCRIPT");
  ::unsetenv("ORVIK_UI");
  ::unsetenv("ORVIK_SCRIPT");
  ::unsetenv("ORVIK_SCRIPT_LINE");
}

}  // namespace

Sandbox::Sandbox(Use use) {
  char tmpl[] = "/tmp/orvik_test_XXXXXX";
  if (::mkdtemp(tmpl) == nullptr) throw std::runtime_error("mkdtemp");
  char real[4096];
  if (::realpath(tmpl, real) == nullptr) throw std::runtime_error("realpath");
  root = real;
  prefix = root + "/prefix";
  driveC = prefix + "/drive_c";
  work = root + "/work";
  if (use == kForPrograms) {
    MakeDirs(driveC + "/windows/temp");
    MakeDirs(prefix + "/dosdevices/unc");
    ::symlink("../drive_c", (prefix + "/dosdevices/c:").c_str());
    ::symlink("/", (prefix + "/dosdevices/z:").c_str());
  } else {
    MakeDirs(work);
    Enter();
  }
}

Sandbox::~Sandbox() {
  if (entered_) {
    ui::SetBeforeAnswerHook(nullptr);
    ui::ResetFrontendForTesting();
    ClearFrontendEnvironment();
    if (::chdir(savedCwd_.c_str()) != 0) {
      // The folder of the test run is gone; nothing of the sandbox depends on it.
    }
    platform::ResetPlatformForTesting();
    ::unsetenv("ORVIK_PREFIX");
  }
  RemoveTree(root);
}

void Sandbox::Enter() {
  char cwd[4096];
  if (::getcwd(cwd, sizeof cwd) != nullptr) savedCwd_ = cwd;
  ::setenv("ORVIK_PREFIX", prefix.c_str(), 1);
  ClearFrontendEnvironment();
  platform::ResetPlatformForTesting();
  ui::ResetFrontendForTesting();
  entered_ = true;
  if (platform::PrefixDir() != prefix) throw std::runtime_error("the platform did not take " + prefix);
}

std::string Sandbox::OnC(const std::string& dosPath) const {
  std::string rest = dosPath.substr(2);
  for (char& c : rest)
    if (c == '\\') c = '/';
  return driveC + rest;
}

std::string Sandbox::Host(const std::string& dosPath) const { return platform::HostPath(dosPath); }

void Sandbox::Write(const std::string& dosPath, const std::string& contents) const {
  WriteFile(Host(dosPath), contents);
}

std::string Sandbox::Read(const std::string& dosPath) const { return ReadFile(Host(dosPath)); }

bool Sandbox::Exists(const std::string& dosPath) const { return orvik_testing::Exists(Host(dosPath)); }

void Sandbox::MakeDir(const std::string& dosPath) const { MakeDirs(Host(dosPath)); }

void Sandbox::MapDrive(char letter, const std::string& hostFolder) const {
  MakeDirs(prefix + "/dosdevices");
  std::string link = prefix + "/dosdevices/" + std::string(1, static_cast<char>(std::tolower(letter))) + ":";
  ::unlink(link.c_str());
  if (::symlink(hostFolder.c_str(), link.c_str()) != 0) throw std::runtime_error("symlink " + link);
}

void Sandbox::Answers(const std::string& lines) const {
  WriteFile(AnswersPath(), lines);
  ::setenv("ORVIK_UI", "script", 1);
  ::setenv("ORVIK_SCRIPT", AnswersPath().c_str(), 1);
  ::setenv("ORVIK_TRANSCRIPT", TranscriptPath().c_str(), 1);
  ::unsetenv("ORVIK_SCRIPT_LINE");
  ui::ResetFrontendForTesting();
}

std::map<std::string, std::string> Sandbox::ScriptEnv(const std::string& answers) const {
  WriteFile(AnswersPath(), answers);
  return {{"ORVIK_PREFIX", prefix},       {"ORVIK_UI", "script"},
          {"ORVIK_SCRIPT", AnswersPath()}, {"ORVIK_SCRIPT_LINE", ""},
          {"ORVIK_TRANSCRIPT", TranscriptPath()}, {"ORVIK_VIEWER", ""},
          {"DISPLAY", ""}};
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
  return RunProgram(BinDir() + "/kelmar", args, ScriptEnv(answers), staging);
}

std::string BinDir() { return ORVIK_BIN_DIR; }
std::string SourceDir() { return ORVIK_SOURCE_DIR; }

}  // namespace orvik_testing
