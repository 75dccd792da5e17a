// Whole-program tests: a fresh prefix with a staging folder, and programs run
// as child processes with an answer file and a transcript.
#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace testsupport {

struct RunResult {
  int exitStatus = -1;  // the program's exit status, or 128+signal
  std::string out;
  std::string err;
};

// Runs `program` (a host path) with `args` in host folder `cwd`, with the
// current environment plus `env` (an empty value removes a name), feeding
// `input` on standard input. Waits for the program and for every process it
// leaves behind (it becomes their subreaper), at most `timeoutSeconds`.
RunResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                     const std::map<std::string, std::string>& env, const std::string& cwd,
                     const std::string& input = "", int timeoutSeconds = 120);

// The engine of both runners: starts `program` like RunProgram and, on every
// turn of its wait loop, calls `feed` with the program's standard input
// until `feed` returns true (standard input is then closed). `timeoutNote`
// adds to the message of a run that timed out.
RunResult RunChild(const std::string& program, const std::vector<std::string>& args,
                   const std::map<std::string, std::string>& env, const std::string& cwd,
                   const std::function<bool(int input)>& feed, int timeoutSeconds,
                   const std::function<std::string()>& timeoutNote = {});
// Writes all of `text` to `fd` (stops quietly when the reader has gone).
void WriteAll(int fd, const std::string& text);

std::string ReadFile(const std::string& hostPath);
void WriteFile(const std::string& hostPath, const std::string& contents);
bool Exists(const std::string& hostPath);
void MakeDirs(const std::string& hostPath);
void RemoveTree(const std::string& hostPath);
std::vector<std::string> Lines(const std::string& text);

// A temporary folder holding a prefix (`prefix`) and scratch space (`root`).
class Sandbox {
 public:
  Sandbox();
  ~Sandbox();
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  std::string root;
  std::string prefix;
  std::string driveC;  // host folder of C:
  // Host path of a DOS path on C: ("C:\windows\temp" -> <driveC>/windows/temp).
  std::string OnC(const std::string& dosPath) const;
  // Maps drive `letter` onto `hostFolder`.
  void MapDrive(char letter, const std::string& hostFolder) const;
  // Environment for a program run: prefix, script frontend, answer file and
  // transcript in the sandbox.
  std::map<std::string, std::string> ScriptEnv(const std::string& answers) const;
  std::string TranscriptPath() const { return root + "/transcript.txt"; }
  std::string Transcript() const { return ReadFile(TranscriptPath()); }
  // Whether the transcript holds `line`; how many lines begin with `prefix`.
  bool TranscriptHas(const std::string& line) const;
  int TranscriptCount(const std::string& prefix) const;

  // The installer's staging folder C:\windows\temp\~ovprocedureinstall as the
  // bootstrap leaves it: the catalogue, the disk map, readme.txt and the
  // built ovtext.mdb. Returns its host path.
  std::string MakeStaging(const std::string& catalogue, const std::string& diskMap) const;
  // The product's folders C:\orvik, proc\ and pic\; with `readmeInstalled`
  // the readme of an earlier run is already in the procedure folder.
  void MakeProductFolders(bool readmeInstalled) const;
  // Runs build/bin/kelmar from `staging` with `args` and the answer file.
  RunResult RunInstaller(const std::string& staging, const std::vector<std::string>& args,
                         const std::string& answers) const;
};

// Build outputs.
std::string BinDir();
std::string SourceDir();

}  // namespace testsupport
