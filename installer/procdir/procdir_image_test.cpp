// The index held in memory for a run of registrations gives the same
// results, messages and records, in the same order, as reading the file for
// every operation.
#include <algorithm>
#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include "installer/procdir/procdir_entry.h"
#include "installer/procdir/procdir_image.h"
#include "testing/procdir_test.h"

using namespace procdir_test;

namespace {

// One registration as the index update makes it: add, rewrite an entry that
// already holds a name, and take a new entry out again when its file could
// not be copied.
struct Item {
  std::uint8_t kind;
  std::vector<std::string> names;
  bool copyFails = false;
};

struct RunResult {
  std::string index;
  std::vector<std::string> steps;  // each operation's result and descriptor
  std::vector<int> messages;
};

std::string Describe(const char* what, int result, const procdir::ProcDirEntry& entry) {
  return std::string(what) + " " + std::to_string(result) + " flags " + std::to_string(entry.flags) + " " +
         entry.fileName + " " + std::to_string(entry.first) + "-" + std::to_string(entry.last);
}

class ImageTest : public ProcDirTest {
 protected:
  RunResult Register(const std::string& bytes, const std::vector<Item>& items, bool inMemory) {
    WriteIndex(bytes);
    ClearBoxes();
    RunResult out;
    platform::HFILE file = Open("w");
    EXPECT_NE(file, -1);
    {
      std::unique_ptr<procdir::IndexImage> image;
      if (inMemory) {
        image = std::make_unique<procdir::IndexImage>(file);
        EXPECT_TRUE(image->Active());
      }
      for (const Item& item : items) {
        procdir::ProcDirEntry entry{};
        for (std::size_t i = 0; i < item.names.size(); ++i) item.names[i].copy(entry.names[i], 55);
        entry.nameCount = std::uint8_t(item.names.size());
        entry.flags = item.kind | procdir::PD_EXISTS;
        int added = procdir::ProcDirAdd(file, entry);
        out.steps.push_back(Describe("add", added, entry));
        if (entry.flags & procdir::PD_EXISTS) {
          out.steps.push_back(Describe("replace", procdir::ProcDirReplace(file, entry), entry));
        } else if (item.copyFails && entry.fileName[0] != '\0') {
          out.steps.push_back(Describe("free", procdir::ProcDirFree(file, entry), entry));
        }
        procdir::ProcDirEntry found = entry;
        out.steps.push_back(Describe("find", procdir::ProcDirFind(file, found), found));
      }
    }
    Close();
    out.index = IndexBytes();
    out.messages = Messages();
    return out;
  }

  // Returns the messages, so a case can show that it met its failure.
  std::vector<int> ExpectSame(const std::string& bytes, const std::vector<Item>& items) {
    RunResult byItem = Register(bytes, items, false);
    RunResult inMemory = Register(bytes, items, true);
    EXPECT_EQ(inMemory.steps, byItem.steps);
    EXPECT_EQ(inMemory.messages, byItem.messages);
    EXPECT_EQ(inMemory.index, byItem.index);
    return byItem.messages;
  }
};

const std::vector<Item> kBatch = {
    {procdir::PD_KIND_H, {"Sub one"}},
    {procdir::PD_KIND_E, {"DMM 45", "dmm 46"}},             // present in another letter case
    {procdir::PD_KIND_E, {"New A", "New B", "New C"}},      // new
    {procdir::PD_KIND_E, {"new b", "New D"}},               // the same name again in the batch
    {procdir::PD_KIND_E, {"Gone", "Gone 2"}, true},         // new, its copy fails
    {procdir::PD_KIND_E, {"After gone"}},                   // gets the number given back
    {procdir::PD_KIND_E, {"Alias 2", "Grown", "Grown 2", "Grown 3"}},  // matched on a second record, grows
    {procdir::PD_KIND_E, {"Scope 1", "Scope X"}},           // one name belongs to another entry: 903
    {procdir::PD_KIND_E, {"Broken"}},                       // a name in a damaged entry
    {procdir::PD_KIND_E, {"Blank "}},                       // a trailing blank never matches
};

TEST_F(ImageTest, SameAsReadingTheFileForEveryOperation) {
  const std::string plain = EntryRecords('E', "3.pro", {"DMM 45"}) + FreeRecord() + FreeRecord() +
                            EntryRecords('E', "7.pro", {"Alias 1", "Alias 2"}) +
                            EntryRecords('H', "5.pro", {"Scope 1"}) + EntryRecords('E', "9.pro", {"Scope X"}) +
                            EntryRecords('E', "2.pro", {"Blank"});
  auto has = [](const std::vector<int>& messages, int number) {
    return std::find(messages.begin(), messages.end(), number) != messages.end();
  };
  ExpectSame("", kBatch);
  EXPECT_TRUE(has(ExpectSame(plain, kBatch), 903));
  // A damaged entry holding a name of the batch: cut off before its last
  // record, or with a file-name field that runs into the line end.
  std::string unterminated = Record(' ', 'E', true, false, "11.pro", "Broken") +
                             Record(' ', 'E', false, false, "11.pro", "Broken 2");
  EXPECT_TRUE(has(ExpectSame(plain + unterminated, kBatch), 902));
  std::string field = Record(' ', 'E', true, false, "13.pro", "Other");
  field.replace(5, 68, std::string(68, 'x'));
  field += Record(' ', 'E', false, true, "13.pro", "Broken");
  EXPECT_TRUE(has(ExpectSame(plain + field + EntryRecords('E', "14.pro", {"Tail"}), kBatch), 907));
  // A file number that leaves none to give, after and before the names.
  std::string full = EntryRecords('E', "99999999.pro", {"Full"});
  EXPECT_TRUE(has(ExpectSame(plain + full, kBatch), 921));
  EXPECT_TRUE(has(ExpectSame(full + plain, kBatch), 921));
}

TEST_F(ImageTest, ARewriteThatLeavesACopyBehindIsFreedTheSame) {
  // An interrupted rewrite left 4.pro twice; the rewrite frees the copy.
  const std::string bytes = EntryRecords('E', "4.pro", {"Twice"}) + EntryRecords('E', "1.pro", {"Other"}) +
                            EntryRecords('E', "4.pro", {"Twice", "Twice 2"});
  ExpectSame(bytes, {{procdir::PD_KIND_E, {"Twice", "Twice 2", "Twice 3"}}, {procdir::PD_KIND_E, {"Next"}}});
}

// Many names over several hundred entries, repeated in other letter case,
// rewritten, grown, freed: the in-memory lookups stay those of the file while
// their table is rebuilt and grown under them.
TEST_F(ImageTest, ManyRewritesOverALargeIndex) {
  unsigned seed = 31;
  auto next = [&seed](unsigned range) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % range;
  };
  auto name = [&](unsigned pool) {
    std::string text = "Name " + std::to_string(next(pool));
    if (next(3) == 0)
      for (char& c : text) c = char(std::toupper(static_cast<unsigned char>(c)));
    return text;
  };
  std::string bytes;
  for (int e = 0; e < 400; ++e) {
    std::vector<std::string> names;
    for (unsigned k = 0, count = 1 + next(3); k < count; ++k) names.push_back("Stored " + std::to_string(e) + "/" + std::to_string(k));
    for (std::size_t k = 0; k < names.size(); ++k)
      bytes += Record(' ', 'E', k == 0, k + 1 == names.size(), std::to_string(e + 1) + ".pro", names[k]);
    if (next(8) == 0) bytes += FreeRecord();
  }
  std::vector<Item> items;
  for (int i = 0; i < 700; ++i) {
    Item item{procdir::PD_KIND_E, {}, next(6) == 0};
    for (unsigned k = 0, count = 1 + next(4); k < count; ++k)
      item.names.push_back(next(4) == 0 ? "stored " + std::to_string(next(400)) + "/" + std::to_string(next(3)) : name(500));
    items.push_back(item);
  }
  ExpectSame(bytes, items);
}

}  // namespace
