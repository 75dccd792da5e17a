// A re-installation of the sample CD over an earlier installation, with the
// installer run in a forked child of this test so that a FaultInjector sees
// every host call it makes. First a clean run counts the calls of each kind;
// then each call of each kind (with a stride where there are many) fails in
// turn, and the target must still hold every earlier file whole or its new
// version whole, under a proc.dir without problems.
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "installer/procdir/procdir_inspect.h"
#include "installer/wizard/installer_app.h"
#include "platform/dos_path.h"
#include "platform/fault_injector.h"
#include "platform/process.h"
#include "resources/kelmar_resources.h"
#include "testing/host_files.h"
#include "testing/program_runner.h"
#include "testing/sandbox.h"
#include "tests/e2e_support.h"

namespace {

namespace fs = std::filesystem;
using platform::HostCallKind;
using Counts = std::array<unsigned, platform::kHostCallKinds>;
using Tree = std::map<std::string, std::string>;  // path under C:\orvik -> contents

struct Fault {
  HostCallKind kind;
  unsigned n;
  platform::DWORD error;
};

platform::DWORD ErrorFor(HostCallKind kind) {
  switch (kind) {
    case HostCallKind::kWrite:
    case HostCallKind::kCopy:
    case HostCallKind::kCreateFolder:
    case HostCallKind::kFlush:
      return platform::ERROR_DISK_FULL;
    case HostCallKind::kLock:
      return platform::ERROR_SHARING_VIOLATION;
    case HostCallKind::kProcessStart:
      return platform::ERROR_FILE_NOT_FOUND;
    default:
      return platform::ERROR_ACCESS_DENIED;
  }
}

// The calls of a kind to fail: the first and last few, a stride between.
std::vector<unsigned> Positions(unsigned count) {
#ifdef ORVIK_INSTRUMENTED
  const unsigned kMostPerKind = 20;
#else
  const unsigned kMostPerKind = 100;
#endif
  std::set<unsigned> chosen;
  for (unsigned n = 1; n <= count && n <= 3; ++n) chosen.insert(n);
  for (unsigned n = count > 3 ? count - 2 : 1; n <= count; ++n) chosen.insert(n);
  unsigned stride = count / kMostPerKind + 1;
  for (unsigned n = 1; n <= count; n += stride) chosen.insert(n);
  return {chosen.begin(), chosen.end()};
}

Tree Snapshot(const std::string& root) {
  Tree tree;
  if (!fs::is_directory(root)) return tree;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file())
      tree[fs::relative(entry.path(), root).string()] = orvik_testing::ReadFile(entry.path().string());
  return tree;
}

bool IsProcedureFile(const std::string& path) {
  return path.rfind("proc/", 0) == 0 && path.size() > 4 && path.compare(path.size() - 4, 4, ".pro") == 0;
}

class FaultInjection : public ::testing::Test {
 protected:
  std::string Orvik() const { return box.driveC + "/orvik"; }
  std::string IndexPath() const { return Orvik() + "/proc/proc.dir"; }

  void Stage(const std::string& cd) {
    std::string staging = box.MakeStaging(orvik_testing::ReadFile(cd + "/kelmar.lst"),
                                          orvik_testing::ReadFile(cd + "/_diskmap.lst"));
    orvik_testing::WriteFile(staging + "/readme.txt", orvik_testing::ReadFile(cd + "/readme.txt"));
    // The clean-up program ends at once: the real one would remove the
    // staging folder of a later run while it waits for this one to end.
    std::string cleanup = box.OnC("C:\\windows\\temp\\ov_clean.exe");
    orvik_testing::WriteFile(cleanup, "#!/bin/sh\nexit 0\n");
    fs::permissions(cleanup, fs::perms::owner_all);
  }

  // Puts drive C: back as `baseline` holds it.
  void Restore() {
    orvik_testing::RemoveTree(box.driveC);
    fs::copy(baseline, box.driveC, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
  }

  // Runs the installer from the staging folder with the sample answers in a
  // child process; returns its wait status and, when it returns normally,
  // the calls it made of each kind.
  int Install(const Fault* fault, Counts* counts) {
    std::map<std::string, std::string> env = box.ScriptEnv(answers);
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return -1;
    std::fflush(nullptr);
    pid_t child = ::fork();
    if (child == 0) {
      ::close(pipeFds[0]);
      // The script frontend reports unanswered windows on stderr; a failed
      // call makes many of them.
      if (fault && !std::freopen("/dev/null", "w", stderr)) ::_exit(121);
      for (const auto& [name, value] : env)
        value.empty() ? ::unsetenv(name.c_str()) : ::setenv(name.c_str(), value.c_str(), 1);
      platform::ResetPlatformForTesting();
      if (platform::_chdir(e2e::kStaging) != 0) ::_exit(120);
      int code;
      Counts made{};
      {
        platform::FaultInjector faults;
        if (fault) faults.FailAt(fault->kind, fault->n, fault->error);
        wizard::InstallerApp app;
        char program[] = "kelmar";
        char source[] = "A:\\";
        char* argv[] = {program, source, nullptr};
        code = app.Run(2, argv, &resources::Kelmar());
        for (int k = 0; k < platform::kHostCallKinds; ++k) made[k] = faults.Count(HostCallKind(k));
      }
      orvik_testing::WriteAll(pipeFds[1], std::string(reinterpret_cast<const char*>(made.data()), sizeof made));
      platform::ExitProcess(code);
    }
    ::close(pipeFds[1]);
    std::string reply;
    char buffer[256];
    for (ssize_t got; (got = ::read(pipeFds[0], buffer, sizeof buffer)) != 0;)
      if (got > 0) reply.append(buffer, std::size_t(got));
    ::close(pipeFds[0]);
    int status = -1;
    if (child < 0 || ::waitpid(child, &status, 0) != child) return -1;
    if (counts && reply.size() == sizeof *counts) std::memcpy(counts->data(), reply.data(), sizeof *counts);
    return status;
  }

  // What a run with `fault` left: see the file comment.
  void Check(const std::string& where) {
    procdir::IndexReport index = procdir::InspectIndex(orvik_testing::ReadFile(IndexPath()));
    for (const std::string& problem : index.problems) ADD_FAILURE() << where << ": proc.dir: " << problem;
    std::set<std::string> listed;
    for (const auto& entry : index.entries) listed.insert("proc/" + entry.fileName);

    Tree now = Snapshot(Orvik());
    std::set<std::string> newProcedures;
    for (const auto& [path, contents] : fresh)
      if (IsProcedureFile(path)) newProcedures.insert(contents);
    for (const auto& [path, contents] : now) {
      if (path == "proc/proc.dir") continue;
      auto before = earlier.find(path);
      auto after = fresh.find(path);
      bool whole = (before != earlier.end() && before->second == contents) ||
                   (after != fresh.end() && after->second == contents) ||
                   (IsProcedureFile(path) && newProcedures.count(contents));
      bool target = before != earlier.end() || after != fresh.end() || IsProcedureFile(path);
      if (target && !whole) ADD_FAILURE() << where << ": " << path << " is neither its old nor its new version";
    }
    for (const std::string& path : listed)
      if (!now.count(path)) ADD_FAILURE() << where << ": proc.dir lists " << path << ", which is gone";
    for (const std::string& path : earlierListed)
      if (!now.count(path) && listed.count(path)) ADD_FAILURE() << where << ": " << path << " was lost";
  }

  orvik_testing::Sandbox box;
  e2e::SampleMedia media{box};
  std::string answers = orvik_testing::ReadFile(orvik_testing::SourceDir() + "/sample/answers.txt");
  std::string baseline;
  Tree earlier, fresh;
  std::set<std::string> earlierListed;
};

TEST_F(FaultInjection, EveryFailingHostCallLeavesTheEarlierInstallationWhole) {
  const std::string cd = media.MakeCd(box.root + "/medium");
  box.MapDrive('a', cd);
  e2e::MakeTargetFolders(box);
  Stage(cd);

  // The earlier installation, each of its files then marked as old.
  int status = Install(nullptr, nullptr);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status << box.Transcript();
  for (const auto& [path, contents] : Snapshot(Orvik()))
    if (path != "proc/proc.dir") orvik_testing::WriteFile(Orvik() + "/" + path, "earlier " + path + "\n");
  Stage(cd);
  earlier = Snapshot(Orvik());
  for (const auto& entry : procdir::InspectIndex(earlier["proc/proc.dir"]).entries)
    earlierListed.insert("proc/" + entry.fileName);
  ASSERT_FALSE(earlierListed.empty());
  baseline = box.root + "/baseline";
  fs::copy(box.driveC, baseline, fs::copy_options::recursive | fs::copy_options::copy_symlinks);

  // The clean re-installation, counted.
  Counts counts{};
  status = Install(nullptr, &counts);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status << box.Transcript();
  fresh = Snapshot(Orvik());
  Check("clean run");
  std::string made;
  for (int k = 0; k < platform::kHostCallKinds; ++k)
    made += std::string(" ") + platform::HostCallKindName(HostCallKind(k)) + " " + std::to_string(counts[k]) + ";";
  ::testing::Test::RecordProperty("calls", made);
  std::printf("host calls of a clean run:%s\n", made.c_str());
  for (HostCallKind kind : {HostCallKind::kOpen, HostCallKind::kRead, HostCallKind::kWrite, HostCallKind::kClose,
                            HostCallKind::kMove, HostCallKind::kFlush})
    EXPECT_GT(counts[int(kind)], 0u) << platform::HostCallKindName(kind);

  for (int k = 0; k < platform::kHostCallKinds; ++k) {
    HostCallKind kind = HostCallKind(k);
    for (unsigned n : Positions(counts[k])) {
      std::string where = std::string(platform::HostCallKindName(kind)) + " call " + std::to_string(n) + " of " +
                          std::to_string(counts[k]);
      Restore();
      Fault fault{kind, n, ErrorFor(kind)};
      status = Install(&fault, nullptr);
      EXPECT_TRUE(WIFEXITED(status)) << where << ": ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
      Check(where);
    }
  }
}

}  // namespace
