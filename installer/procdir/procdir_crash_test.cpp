// Crash safety of ProcDirAdd, ProcDirReplace and ProcDirFree: whichever
// write fails, and wherever the process dies, the entry is findable under its
// old names or its new ones (or, when freed, whole or not at all), and the
// other entries are untouched.
#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "installer/procdir/procdir_entry.h"
#include "installer/procdir/procdir_inspect.h"
#include "installer/procdir/procdir_open.h"
#include "testing/procdir_operation.h"
#include "testing/procdir_test.h"
#include "testing/program_runner.h"
#include "platform/fault_injector.h"
#include "platform/hfile.h"
#include "ui/msgbox.h"

using namespace procdir_test;
using platform::HFILE;
using platform::UINT;

namespace {

struct Scenario {
  std::string label;
  std::string initial;
  bool replace;             // ProcDirReplace of an existing entry, else ProcDirAdd
  std::string fileName;     // the entry's file name (given by Add for a new one)
  NameList oldNames;        // empty for Add
  NameList newNames;
  std::vector<std::pair<NameList, std::string>> others;  // entries that must stay
  bool healthyBefore = true;  // the initial index has no problem
  bool free = false;          // ProcDirFree of the entry holding oldNames
};

Operation OperationOf(const Scenario& s) {
  return s.free ? Operation::kFree : s.replace ? Operation::kReplace : Operation::kAdd;
}

// Runs the scenario's operation on an open index; the result of the last call.
int RunOperation(const Scenario& s, HFILE file) {
  return procdir_test::RunOperation(OperationOf(s), s.oldNames, s.newNames, file);
}

NameList Union(const Scenario& s) {
  NameList all = s.oldNames;
  for (const std::string& name : s.newNames)
    if (std::find(all.begin(), all.end(), name) == all.end()) all.push_back(name);
  return all;
}

class CrashTest : public ProcDirTest {
 protected:
  // The sizes of the writes the operation makes when nothing fails.
  std::vector<UINT> CountWrites(const Scenario& s) {
    WriteIndex(s.initial);
    HFILE file = Open("w");
    std::vector<UINT> writes;
    {
      platform::FaultInjector faults;
      faults.FilterWrites([&](HFILE, UINT count) {
        writes.push_back(count);
        return count;
      });
      EXPECT_EQ(RunOperation(s, file), 1) << s.label;
    }
    Close();
    EXPECT_TRUE(Boxes().empty()) << s.label;
    return writes;
  }

  // The index holds the entry under exactly its old or its new names, and
  // every other entry as it was. `healthy`: no problem at all in the file;
  // otherwise only a duplicate left by an interrupted rewrite is allowed.
  void Verify(const Scenario& s, const std::string& where, bool healthy, bool* isNew = nullptr) {
    std::string bytes = IndexBytes();
    procdir::IndexReport report = procdir::InspectIndex(bytes);
    for (const std::string& problem : report.problems) {
      bool duplicate = problem.rfind("name ", 0) == 0 || problem.rfind("file ", 0) == 0;
      EXPECT_TRUE(!healthy && duplicate) << where << ": " << problem;
    }
    ASSERT_NE(Open("r"), -1) << where;
    NameList all = Union(s);
    procdir::ProcDirEntry found = Descriptor(all, 0);
    ASSERT_EQ(procdir::ProcDirFind(handle_, found), 1) << where;
    bool exists = found.flags & procdir::PD_EXISTS;
    NameList names = exists ? EntryNames(found) : NameList{};
    if (s.free) {
      if (exists) {
        EXPECT_EQ(names, s.oldNames) << where;
      }
    } else if (s.replace) {
      ASSERT_TRUE(exists) << where << ": the entry is gone";
      EXPECT_EQ(found.fileName, s.fileName) << where;
      EXPECT_TRUE(names == s.oldNames || names == s.newNames) << where << ": names " << ::testing::PrintToString(names);
    } else if (exists) {
      EXPECT_EQ(found.fileName, s.fileName) << where;
      EXPECT_EQ(names, s.newNames) << where;
    }
    if (isNew) *isNew = s.free ? !exists : exists && names == s.newNames;
    // Each name leads to the entry of the set found. A name the set lacks is
    // found nowhere, or (only after a crash) in a complete copy of the new
    // entry still standing behind the old one.
    for (const std::string& name : all) {
      bool inSet = std::find(names.begin(), names.end(), name) != names.end();
      procdir::ProcDirEntry one = Descriptor({name}, 0);
      ASSERT_EQ(procdir::ProcDirFind(handle_, one), 1);
      if (inSet) {
        EXPECT_TRUE(one.flags & procdir::PD_EXISTS) << where << ": " << name;
        EXPECT_EQ(one.fileName, s.fileName) << where << ": " << name;
      } else if (one.flags & procdir::PD_EXISTS) {
        EXPECT_FALSE(healthy) << where << ": " << name;
        EXPECT_EQ(EntryNames(one), s.newNames) << where << ": " << name;
        EXPECT_EQ(one.fileName, s.fileName) << where << ": " << name;
      }
    }
    for (const auto& [otherNames, otherFile] : s.others) {
      procdir::ProcDirEntry other = Descriptor(otherNames, 0);
      ASSERT_EQ(procdir::ProcDirFind(handle_, other), 1);
      EXPECT_EQ(EntryNames(other), otherNames) << where;
      EXPECT_EQ(other.fileName, otherFile) << where;
    }
    Close();
  }

  // A later run of the same operation, with nothing failing, completes it.
  void Recover(const Scenario& s, const std::string& where) {
    ASSERT_NE(Open("w"), -1);
    EXPECT_EQ(RunOperation(s, handle_), 1) << where;
    Close();
    bool isNew = false;
    Verify(s, where + " after recovery", true, &isNew);
    EXPECT_TRUE(isNew) << where;
  }

  // One write fails, storing `stored` bytes; the others go through.
  void ShortWrite(const Scenario& s, int position, UINT stored) {
    std::string where = s.label + ": write " + std::to_string(position) + " stores " + std::to_string(stored);
    WriteIndex(s.initial);
    ClearBoxes();
    HFILE file = Open("w");
    int call = 0;
    {
      platform::FaultInjector faults;
      faults.FilterWrites([&](HFILE, UINT count) { return ++call == position ? std::min(stored, count) : count; });
      EXPECT_NE(RunOperation(s, file), 0) << where;  // OK answered at 904
    }
    EXPECT_EQ(Messages(), (std::vector<int>{904})) << where;
    // The slot counts what the file holds.
    EXPECT_EQ(std::uint64_t(procdir::ProcDirRecordCount()) * 75, IndexBytes().size()) << where;
    Close();
    Verify(s, where, s.healthyBefore);
    Recover(s, where);
  }

  // Every write from `position` on stores nothing, repairs included.
  void DeadFrom(const Scenario& s, int position) {
    std::string where = s.label + ": nothing stored from write " + std::to_string(position);
    WriteIndex(s.initial);
    ClearBoxes();
    HFILE file = Open("w");
    int call = 0;
    {
      platform::FaultInjector faults;
      faults.FilterWrites([&](HFILE, UINT count) { return ++call >= position ? 0u : count; });
      RunOperation(s, file);
    }
    Close();
    Verify(s, where, false);
    Recover(s, where);
  }

  // The process dies just before write `position` (after the last write when
  // `position` is one past them): another installer runs the operation and
  // is killed there.
  void KilledAt(const Scenario& s, int position, int writes) {
    std::string where = s.label + ": killed before write " + std::to_string(position);
    WriteIndex(s.initial);
    {
      orvik_testing::ChildProgram installer(
          PROCDIR_CRASH_CHILD,
          {IndexPath(), std::to_string(position), OperationWord(OperationOf(s)), JoinNames(s.oldNames),
           JoinNames(s.newNames)},
          {{"ORVIK_UI", "script"}, {"ORVIK_SCRIPT", ""}});  // a box would end it with 86
      if (position <= writes) {
        ASSERT_EQ(installer.ReadLine(), "write " + std::to_string(position)) << where;
        installer.Kill();
        EXPECT_EQ(installer.Wait(), 137) << where;
      } else {
        EXPECT_EQ(installer.Wait(), 0) << where;
      }
    }
    Verify(s, where, false);
    Recover(s, where);
  }

  void RunAll(const Scenario& s) {
    std::vector<UINT> writes = CountWrites(s);
    ASSERT_FALSE(writes.empty());
    int positions = int(writes.size());
    for (int k = 1; k <= positions; ++k) {
      // Nothing, part of a record, whole records, and one byte short.
      for (UINT stored : {0u, 1u, 74u, 75u, 76u, 149u, 150u, 224u, writes[k - 1] - 1}) {
        if (stored < writes[k - 1]) ShortWrite(s, k, stored);
      }
      DeadFrom(s, k);
    }
    for (int k = 1; k <= positions + 1; ++k) KilledAt(s, k, positions);
  }
};

std::string Others() { return EntryRecords('E', "1.pro", {"Other", "Alias"}); }
std::string Tail() { return EntryRecords('H', "2.pro", {"Tail"}); }
std::vector<std::pair<NameList, std::string>> OtherEntries() {
  return {{{"Other", "Alias"}, "1.pro"}, {{"Tail"}, "2.pro"}};
}

TEST_F(CrashTest, AddAppends) {
  Scenario s{"add", Others() + Tail() + FreeRecord(), false, "3.pro", {}, {"P", "Q", "R"}, OtherEntries()};
  RunAll(s);
}

TEST_F(CrashTest, ReplaceShrinksInPlace) {
  Scenario s{"shrink", Others() + EntryRecords('E', "7.pro", {"A", "B", "C"}) + Tail(), true, "7.pro",
             {"A", "B", "C"}, {"A", "B"}, OtherEntries()};
  RunAll(s);
}

TEST_F(CrashTest, ReplaceGrowsOverFreeRecords) {
  Scenario s{"grow", Others() + EntryRecords('E', "7.pro", {"A", "B"}) + FreeRecord() + FreeRecord() + Tail(), true,
             "7.pro", {"A", "B"}, {"A", "B", "C", "D"}, OtherEntries()};
  RunAll(s);
}

TEST_F(CrashTest, ReplaceAppendsAndFreesTheOldSpan) {
  Scenario s{"append", Others() + EntryRecords('E', "7.pro", {"A", "B"}) + Tail(), true, "7.pro", {"A", "B"},
             {"A", "B", "C"}, OtherEntries()};
  RunAll(s);
}

TEST_F(CrashTest, ReplaceWithOtherNamesAppends) {
  Scenario s{"rename", Others() + EntryRecords('E', "7.pro", {"A"}) + Tail(), true, "7.pro", {"A"},
             {"Z", "A", "Y", "X"}, OtherEntries()};
  RunAll(s);
}

TEST_F(CrashTest, FreeTakesTheEntryOutWholeOrNotAtAll) {
  Scenario s{"free", Others() + EntryRecords('E', "7.pro", {"A", "B", "C"}) + Tail(), true, "7.pro",
             {"A", "B", "C"}, {}, OtherEntries()};
  s.free = true;
  RunAll(s);
}

TEST_F(CrashTest, ReplaceClearsACopyLeftByAnEarlierCrash) {
  // Killed between the append and the freeing: the old entry and a full copy.
  Scenario s{"leftover",
             Others() + EntryRecords('E', "7.pro", {"A", "B"}) + Tail() + EntryRecords('E', "7.pro", {"A", "B", "C"}),
             true, "7.pro", {"A", "B"}, {"A", "B", "C"}, OtherEntries(), false};
  RunAll(s);
  // Without faults the copy is freed and the entry stands once.
  WriteIndex(s.initial);
  ASSERT_NE(Open("w"), -1);
  ASSERT_EQ(RunOperation(s, handle_), 1);
  Close();
  std::string expected = Others() + FreeRecord() + FreeRecord() + Tail() + FreeRecord() + FreeRecord() +
                         FreeRecord() + EntryRecords('E', "7.pro", {"A", "B", "C"});
  EXPECT_EQ(IndexBytes(), expected);
}

TEST_F(CrashTest, ACopyOfAnotherFileIsStillAConflict) {
  std::string bytes = Others() + EntryRecords('E', "7.pro", {"A", "B"}) + EntryRecords('E', "8.pro", {"C"});
  WriteIndex(bytes);
  ASSERT_NE(Open("w"), -1);
  procdir::ProcDirEntry entry = Descriptor({"A", "B", "C"}, procdir::PD_KIND_E | procdir::PD_EXISTS);
  ASSERT_EQ(procdir::ProcDirAdd(handle_, entry), 1);
  Answer({ui::IDCANCEL});
  EXPECT_EQ(procdir::ProcDirReplace(handle_, entry), 0);
  EXPECT_EQ(Messages(), (std::vector<int>{903}));
  EXPECT_EQ(IndexBytes(), bytes);
}

TEST_F(CrashTest, AnEntryUnderTheSameFileNameWithAnotherNameIsNoLeftover) {
  // B shares A's file name and holds a new name, but also "Z", which is
  // neither old nor new: it is another procedure's entry, not a crash copy.
  std::string bytes = EntryRecords('E', "17.pro", {"X"}) + EntryRecords('E', "17.PRO", {"Y", "Z"});
  WriteIndex(bytes);
  ASSERT_NE(Open("w"), -1);
  procdir::ProcDirEntry entry = Descriptor({"X", "Y"}, procdir::PD_KIND_E | procdir::PD_EXISTS);
  ASSERT_EQ(procdir::ProcDirAdd(handle_, entry), 1);
  ASSERT_EQ(entry.first, 0);
  Answer({ui::IDCANCEL});
  EXPECT_EQ(procdir::ProcDirReplace(handle_, entry), 0);
  ASSERT_EQ(Messages(), (std::vector<int>{903}));
  EXPECT_NE(Boxes()[0].text.find('Y'), std::string::npos) << Boxes()[0].text;
  EXPECT_EQ(IndexBytes(), bytes);
}

TEST_F(CrashTest, ALeftoverHoldingOldAndNewNamesIsFreedWhereverItStands) {
  // The copy stands before the entry: "B" is an old name, "C" a new one.
  WriteIndex(EntryRecords('E', "7.pro", {"B", "C"}) + EntryRecords('E', "7.pro", {"A", "B"}));
  ASSERT_NE(Open("w"), -1);
  procdir::ProcDirEntry entry = Descriptor({"C"}, procdir::PD_KIND_E | procdir::PD_EXISTS);
  entry.first = 2;
  entry.last = 3;
  std::strcpy(entry.fileName, "7.pro");
  ASSERT_EQ(procdir::ProcDirReplace(handle_, entry), 1);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(IndexBytes(), FreeRecord() + FreeRecord() + EntryRecords('E', "7.pro", {"C"}) + FreeRecord());
}

}  // namespace
