// Flushing before renaming: the batch flushes each volume once before any
// of its renames, a failed flush keeps the old file, and CopyFileA flushes
// its copy before putting it in place.
#include "platform/flush.h"

#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/hfile.h"
#include "testing/host_platform.h"
#include "testing/prefix_test.h"

namespace platform {
namespace {

struct FlushSeen {
  FlushScope scope;
  std::string path;
  std::vector<std::string> targets;  // contents of the targets at that moment
};

class FlushTest : public orvik_testing::PrefixTest {
 protected:
  void SetUp() override {
    PrefixTest::SetUp();
    for (const std::string& name : orvik_testing::HostNames(driveC_)) before_.insert(name);
  }
  void TearDown() override {
    SetFlushHook(nullptr);
    PrefixTest::TearDown();
  }
  std::string C(const std::string& name) const { return driveC_ + "/" + name; }
  // The entries of C:\ that the test made.
  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const std::string& name : orvik_testing::HostNames(driveC_))
      if (!before_.count(name)) names.insert(name);
    return names;
  }
  // Records every flush with the targets' contents at that moment; fails
  // the flushes `fail` names (a scope, or a file's path).
  void Watch(const std::vector<std::string>& targets, std::function<bool(FlushScope, const std::string&)> fail) {
    SetFlushHook([this, targets, fail](FlushScope scope, const std::string& path) {
      FlushSeen seen{scope, path, {}};
      for (const std::string& t : targets) seen.targets.push_back(orvik_testing::ReadFile(C(t)));
      seen_.push_back(seen);
      return fail && fail(scope, path) ? FALSE : TRUE;
    });
  }
  std::vector<FlushSeen> seen_;
  std::set<std::string> before_;
};

TEST_F(FlushTest, BatchFlushesTheVolumeOnceBeforeAnyRename) {
  SKIP_UNLESS_POSIX("Windows flushes a volume only for an administrator: the files are flushed one by one");
  orvik_testing::WriteFile(C("a.dat"), "old a");
  orvik_testing::WriteFile(C("b.dat"), "old b");
  ReplaceBatch batch;
  for (const char* name : {"a.dat", "b.dat", "c.dat"}) {
    orvik_testing::WriteFile(C(std::string(".new.") + name), std::string("new ") + name[0]);
    batch.Add(std::string("C:\\.new.") + name, std::string("C:\\") + name);
  }
  Watch({"a.dat", "b.dat", "c.dat"}, nullptr);
  EXPECT_TRUE(batch.PutInPlace().empty());
  ASSERT_EQ(seen_.size(), 1u);
  EXPECT_EQ(seen_[0].scope, FlushScope::kVolume);
  EXPECT_EQ(seen_[0].targets, (std::vector<std::string>{"old a", "old b", ""}));
  EXPECT_EQ(orvik_testing::ReadFile(C("a.dat")), "new a");
  EXPECT_EQ(orvik_testing::ReadFile(C("c.dat")), "new c");
  EXPECT_EQ(Names(), (std::set<std::string>{"a.dat", "b.dat", "c.dat"}));
  EXPECT_TRUE(batch.Empty());
}

TEST_F(FlushTest, FailedFlushKeepsTheOldFileAndReportsIt) {
  orvik_testing::WriteFile(C("a.dat"), "old a");
  orvik_testing::WriteFile(C("b.dat"), "old b");
  orvik_testing::WriteFile(C(".new.a"), "new a");
  orvik_testing::WriteFile(C(".new.b"), "new b");
  ReplaceBatch batch;
  batch.Add("C:\\.new.a", "C:\\a.dat");
  batch.Add("C:\\.new.b", "C:\\b.dat");
  // The volume reports an error; flushed one by one, only b's data fail.
  Watch({}, [](FlushScope scope, const std::string& path) {
    return scope == FlushScope::kVolume || path == "C:\\.new.b";
  });
  std::vector<ReplaceBatch::Failure> failures = batch.PutInPlace();
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].target, "C:\\b.dat");
  EXPECT_FALSE(failures[0].flushed);
  EXPECT_EQ(failures[0].error, ERROR_WRITE_FAULT);
  EXPECT_EQ(seen_.size(), 3u);
  EXPECT_EQ(orvik_testing::ReadFile(C("a.dat")), "new a");
  EXPECT_EQ(orvik_testing::ReadFile(C("b.dat")), "old b");
  EXPECT_EQ(Names(), (std::set<std::string>{"a.dat", "b.dat"}));
}

TEST_F(FlushTest, CopyFileFlushesItsCopyBeforeReplacingTheTarget) {
  orvik_testing::WriteFile(C("src.txt"), "new contents");
  orvik_testing::WriteFile(C("dst.txt"), "old contents");
  Watch({"dst.txt"}, [](FlushScope, const std::string&) { return true; });
  EXPECT_FALSE(CopyFileA("C:\\src.txt", "C:\\dst.txt", FALSE));
  EXPECT_EQ(GetLastError(), ERROR_WRITE_FAULT);
  EXPECT_EQ(orvik_testing::ReadFile(C("dst.txt")), "old contents");
  EXPECT_EQ(Names(), (std::set<std::string>{"src.txt", "dst.txt"}));

  Watch({"dst.txt"}, nullptr);
  seen_.clear();
  EXPECT_TRUE(CopyFileA("C:\\src.txt", "C:\\dst.txt", FALSE));
  ASSERT_EQ(seen_.size(), 1u);
  EXPECT_EQ(seen_[0].scope, FlushScope::kFile);
  EXPECT_EQ(seen_[0].targets, (std::vector<std::string>{"old contents"}));
  EXPECT_EQ(orvik_testing::ReadFile(C("dst.txt")), "new contents");
}

TEST_F(FlushTest, RealFlushesSucceedAndABadHandleFails) {
  HFILE file = _lcreat("C:\\f.txt", 0);
  ASSERT_NE(file, HFILE_ERROR);
  ASSERT_EQ(_lwrite(file, "data", 4), 4u);
  EXPECT_TRUE(FlushFileBuffers(file));
  _lclose(file);
  EXPECT_FALSE(FlushFileBuffers(file));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(FlushVolumeBuffers("C:\\missing\\x"));
  SKIP_UNLESS_POSIX("Windows flushes a volume only for an administrator");
  EXPECT_TRUE(FlushVolumeBuffers("C:\\f.txt"));
}

// A file with no name shows nowhere until the batch names it: a free target
// gets it at once, a taken one (in other letter case) is replaced, and a
// file whose data cannot be flushed vanishes, leaving the old target.
TEST_F(FlushTest, FilesWithNoNameAppearOnlyWhenPutInPlace) {
  SKIP_UNLESS_POSIX("Windows keeps no file without a name");
  const HFILE probe = CreateUnnamedFile("C:\\probe.dat");
  if (probe == HFILE_ERROR) GTEST_SKIP() << "this file system keeps no file without a name";
  _lclose(probe);
  auto unnamed = [](const char* target, const std::string& data) {
    HFILE file = CreateUnnamedFile(target);
    EXPECT_NE(file, HFILE_ERROR);
    EXPECT_EQ(_lwrite(file, data.data(), UINT(data.size())), UINT(data.size()));
    return file;
  };
  orvik_testing::WriteFile(C("taken.dat"), "old taken");
  orvik_testing::WriteFile(C("kept.dat"), "old kept");
  ReplaceBatch batch;
  batch.AddUnnamed("C:\\free.dat", unnamed("C:\\free.dat", "new free"));
  batch.AddUnnamed("C:\\TAKEN.DAT", unnamed("C:\\TAKEN.DAT", "new taken"));
  EXPECT_EQ(Names(), (std::set<std::string>{"taken.dat", "kept.dat"}));
  Watch({}, nullptr);
  EXPECT_TRUE(batch.PutInPlace().empty());
  EXPECT_EQ(orvik_testing::ReadFile(C("free.dat")), "new free");
  EXPECT_EQ(orvik_testing::ReadFile(C("TAKEN.DAT")), "new taken");
  EXPECT_EQ(Names(), (std::set<std::string>{"free.dat", "TAKEN.DAT", "kept.dat"}));

  batch.AddUnnamed("C:\\kept.dat", unnamed("C:\\kept.dat", "new kept"));
  Watch({}, [](FlushScope, const std::string&) { return true; });
  std::vector<ReplaceBatch::Failure> failures = batch.PutInPlace();
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_FALSE(failures[0].flushed);
  EXPECT_EQ(failures[0].target, "C:\\kept.dat");
  EXPECT_EQ(orvik_testing::ReadFile(C("kept.dat")), "old kept");
  EXPECT_EQ(Names(), (std::set<std::string>{"free.dat", "TAKEN.DAT", "kept.dat"}));
}

}  // namespace
}  // namespace platform
