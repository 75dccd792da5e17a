// A throw-away prefix: a temporary folder holding the prefix (drive C:), a
// host folder outside it, an answer file and a transcript path, all removed
// at the end. Programs run as child processes get it through ScriptEnv; the
// test's own process uses it after Enter().
#pragma once
#include <map>
#include <string>
#include <vector>

#include "testing/transcript.h"

namespace orvik_testing {

struct RunResult;

class Sandbox {
 public:
  // For programs the prefix exists at once (drive_c/windows/temp, the links
  // of C: and Z:); for this process the sandbox is entered and the platform
  // makes the prefix on first use.
  enum Use { kForPrograms, kThisProcess };
  explicit Sandbox(Use use = kForPrograms);
  ~Sandbox();
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  std::string root;    // the temporary folder (a real path)
  std::string prefix;  // root/prefix
  std::string driveC;  // host folder of C:
  std::string work;    // root/work, a host folder outside the prefix (made for this process)

  // Makes this process's platform use the prefix, with no transcript and
  // the frontend its environment chooses.
  void Enter();
  // Host path of a DOS path on C: ("C:\windows\temp" -> <driveC>/windows/temp).
  std::string OnC(const std::string& dosPath) const;
  // Host path of any DOS path, through the platform (after Enter()).
  std::string Host(const std::string& dosPath) const;
  // Files at DOS paths, through Host(); Write makes the folders.
  void Write(const std::string& dosPath, const std::string& contents) const;
  std::string Read(const std::string& dosPath) const;
  bool Exists(const std::string& dosPath) const;
  void MakeDir(const std::string& dosPath) const;
  // Maps drive `letter` onto `hostFolder`.
  void MapDrive(char letter, const std::string& hostFolder) const;
  // The host path to start a program `name` (a relative path) on mapped drive
  // `letter` by, so that it finds itself on that drive: on POSIX the file in
  // the mapped folder (the prefix maps it back), on Windows "a:\name".
  std::string OnDrive(char letter, const std::string& name) const;

  // The answer file and the transcript.
  std::string AnswersPath() const { return root + "/answers.txt"; }
  std::string TranscriptPath() const { return root + "/transcript.txt"; }
  // In this process: the script frontend answers with `lines` from now on,
  // writing the transcript.
  void Answers(const std::string& lines) const;
  // Environment for a program run: prefix, script frontend (or the one
  // ORVIK_TEST_UI names), answer file and transcript in the sandbox.
  std::map<std::string, std::string> ScriptEnv(const std::string& answers) const;
  orvik_testing::Transcript TranscriptFile() const { return orvik_testing::Transcript(TranscriptPath()); }
  std::string Transcript() const { return TranscriptFile().Text(); }
  bool TranscriptHas(const std::string& line) const { return TranscriptFile().Has(line); }
  int TranscriptCount(const std::string& prefix) const { return TranscriptFile().Count(prefix); }

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

 private:
  // Removes what the test left outside `root` (the host's own part: on
  // Windows, new entries of C:\, C:\windows and C:\windows\temp).
  void RemoveLeftovers() const;

  mutable std::map<char, std::string> drives_;  // mapped by MapDrive, by lower-case letter
  bool entered_ = false;
  std::string savedCwd_;
  std::vector<std::string> before_;  // host entries there before the test
};

// Build outputs.
std::string BinDir();
std::string SourceDir();

}  // namespace orvik_testing
