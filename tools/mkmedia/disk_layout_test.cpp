// Laying payload out on disks: next-fit in catalogue order, the first disk's
// fixed files and its own disk map, and the limits.
#include <gtest/gtest.h>

#include "tools/mkmedia/disk_layout.h"

namespace mkmedia {
namespace {

std::vector<LayoutFile> Files(const std::vector<std::uint64_t>& compressed) {
  std::vector<LayoutFile> files;
  for (std::size_t i = 0; i < compressed.size(); ++i)
    files.push_back({"F" + std::to_string(i + 1) + ".PRO", compressed[i] * 3, compressed[i]});
  return files;
}

TEST(DiskLayout, SingleDiskHoldsEverything) {
  std::vector<LayoutFile> files = Files({10, 20});
  DiskLayout layout = SingleDisk(files);
  EXPECT_EQ(layout.diskCount, 1);
  EXPECT_EQ(layout.diskOf, (std::vector<int>{1, 1}));
  EXPECT_EQ(DiskMapText(files, layout), "[Disk1]\r\nF1.PRO=30\r\nF2.PRO=60\r\n\r\n");
}

TEST(DiskLayout, NextFitInCatalogueOrderWithExactFit) {
  std::vector<LayoutFile> files = Files({400, 500, 100, 1000, 1});
  // The first disk carries 200 bytes of programs plus its disk map.
  DiskLayout layout = PackDisks(files, 1000, 200);
  ASSERT_TRUE(layout.problems.empty());
  std::string map = DiskMapText(files, layout);
  std::uint64_t firstDisk = 200 + map.size();
  for (std::size_t i = 0; i < files.size(); ++i)
    if (layout.diskOf[i] == 1) firstDisk += files[i].compressed;
  EXPECT_LE(firstDisk, 1000u);
  // 400 fits after programs and map; 500 does not, opens disk 2 with 100
  // beside it (600); 1000 fills disk 3 exactly; 1 goes to disk 4.
  EXPECT_EQ(layout.diskOf, (std::vector<int>{1, 2, 2, 3, 4}));
  EXPECT_EQ(layout.diskCount, 4);
  EXPECT_EQ(map,
            "[Disk1]\r\nF1.PRO=1200\r\n\r\n[Disk2]\r\nF2.PRO=1500\r\nF3.PRO=300\r\n\r\n"
            "[Disk3]\r\nF4.PRO=3000\r\n\r\n[Disk4]\r\nF5.PRO=3\r\n\r\n");
}

TEST(DiskLayout, AFileThatFillsTheRestOfADiskStaysOnIt) {
  // The first disk has room for its map only; 600 + 400 fill the third.
  DiskLayout layout = PackDisks(Files({1000, 600, 400}), 1000, 0);
  ASSERT_TRUE(layout.problems.empty());
  EXPECT_EQ(layout.diskOf, (std::vector<int>{2, 3, 3}));
  EXPECT_EQ(layout.diskCount, 3);
}

TEST(DiskLayout, TheDiskMapItselfCanPushAFileToTheNextDisk) {
  std::vector<LayoutFile> files = Files({50});
  // Without its map the first disk would hold 900 + 50; the map
  // "[Disk1]\r\nF1.PRO=150\r\n\r\n" takes 23 bytes, more than the 10 left.
  DiskLayout layout = PackDisks(files, 960, 900);
  ASSERT_TRUE(layout.problems.empty());
  EXPECT_EQ(layout.diskOf, (std::vector<int>{2}));
  EXPECT_EQ(DiskMapText(files, layout), "[Disk1]\r\n\r\n[Disk2]\r\nF1.PRO=150\r\n\r\n");
  // With room for it, the file stays on the first disk.
  layout = PackDisks(files, 900 + 50 + 23, 900);
  EXPECT_EQ(layout.diskOf, (std::vector<int>{1}));
  layout = PackDisks(files, 900 + 50 + 22, 900);
  EXPECT_EQ(layout.diskOf, (std::vector<int>{2}));
}

TEST(DiskLayout, FileLargerThanADiskAndProgramsThatLeaveNoRoom) {
  DiskLayout layout = PackDisks(Files({10, 2000, 10}), 1000, 100);
  const std::string advice = "the smallest disk size that holds this set is ";
  ASSERT_EQ(layout.problems.size(), 2u);
  EXPECT_EQ(layout.problems[0], "\"F2.PRO\" takes 2000 bytes compressed, more than a disk of 1000 bytes");
  EXPECT_EQ(layout.problems[1].rfind(advice, 0), 0u) << layout.problems[1];
  layout = PackDisks(Files({10}), 1000, 1001);
  ASSERT_EQ(layout.problems.size(), 2u);
  EXPECT_EQ(layout.problems[0], "the first disk's programs and lists take 1001 bytes, more than a disk of 1000 bytes");
  EXPECT_EQ(layout.problems[1].rfind(advice, 0), 0u) << layout.problems[1];
}

TEST(DiskLayout, TheSmallestDiskSizeWorksAndOneByteLessDoesNot) {
  struct Case {
    std::vector<std::uint64_t> compressed;
    std::uint64_t fixed;
  };
  for (const Case& c : {Case{{10, 2000, 10}, 100}, Case{{10}, 1001}, Case{std::vector<std::uint64_t>(150, 500), 3000},
                        Case{{700, 300, 300, 700}, 50}}) {
    std::vector<LayoutFile> files = Files(c.compressed);
    std::uint64_t smallest = SmallestDiskSize(files, c.fixed);
    DiskLayout layout = PackDisks(files, smallest, c.fixed);
    EXPECT_TRUE(layout.problems.empty()) << smallest;
    EXPECT_FALSE(PackDisks(files, smallest - 1, c.fixed).problems.empty()) << smallest;
    if (!layout.problems.empty()) continue;
    std::vector<std::string> failed = PackDisks(files, smallest / 2, c.fixed).problems;
    ASSERT_FALSE(failed.empty());
    EXPECT_EQ(failed.back(), "the smallest disk size that holds this set is " + std::to_string(smallest) +
                                 " bytes: --disk-size " + std::to_string(smallest));
  }
}

TEST(DiskLayout, AtMostOneHundredDisks) {
  std::vector<std::uint64_t> sizes(101, 10000);
  DiskLayout layout = PackDisks(Files(sizes), 10000, 0);
  EXPECT_EQ(layout.diskCount, 102);  // the first disk holds only its map
  ASSERT_EQ(layout.problems.size(), 2u);
  EXPECT_EQ(layout.problems[0], "the set needs 102 disks; the disk map holds at most 100");
  sizes.resize(99);
  layout = PackDisks(Files(sizes), 10000, 0);
  EXPECT_EQ(layout.diskCount, 100);
  EXPECT_TRUE(layout.problems.empty());
}

}  // namespace
}  // namespace mkmedia
