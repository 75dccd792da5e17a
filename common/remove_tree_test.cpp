// Tests of the recursive folder removal, in a sandbox with the recording
// frontend.
#include "common/remove_tree.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/dos_path.h"
#include "platform/files.h"
#include "platform/hfile.h"
#include "testing/host_platform.h"
#include "testing/recording_frontend.h"
#include "testing/sandbox.h"
#include "ui/frontend.h"
#include "ui/msgbox.h"

namespace fs = std::filesystem;

namespace {

const char* const kCaption = "ORVIK - Procedure Installation";

class RemoveTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    box_ = std::make_unique<orvik_testing::Sandbox>(orvik_testing::Sandbox::kThisProcess);
    // The root of C: (a bare "C:" is the current folder there).
    drive_ = box_->OnC("C:\\");
    ASSERT_TRUE(fs::is_directory(drive_)) << drive_;
    outside_ = fs::path(box_->work);
    recorder_ = &orvik_testing::InstallRecorder();
  }
  void TearDown() override { box_.reset(); }

  // Host path of C:\<relative> (relative with '/').
  fs::path C(const std::string& relative) const { return drive_ / relative; }

  static void WriteFile(const fs::path& path, const std::string& contents = "data") {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << contents;
  }
  static void MakeReadOnly(const fs::path& path) {
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
  }
  static void MakeSystem(const std::string& dosPath) {
    ASSERT_TRUE(platform::SetFileAttributesA(dosPath.c_str(), platform::FILE_ATTRIBUTE_SYSTEM)) << dosPath;
    ASSERT_TRUE(platform::GetFileAttributesA(dosPath.c_str()) & platform::FILE_ATTRIBUTE_SYSTEM);
  }
  void ExpectBoxes(const std::vector<std::string>& texts) {
    std::vector<orvik_testing::ShownBox> boxes = recorder_->Boxes();
    ASSERT_EQ(boxes.size(), texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
      EXPECT_EQ(boxes[i].text, texts[i]);
      EXPECT_EQ(boxes[i].caption, kCaption);
      EXPECT_EQ(boxes[i].style, ui::MB_OK | ui::MB_ICONEXCLAMATION);
    }
  }

  std::unique_ptr<orvik_testing::Sandbox> box_;
  fs::path drive_, outside_;
  orvik_testing::RecordingFrontend* recorder_ = nullptr;
};

// --- Removing whole trees ---

TEST_F(RemoveTreeTest, RemovesNestedReadOnlyTree) {
  WriteFile(C("tree/a.txt"));
  WriteFile(C("tree/sub/b.pro"));
  WriteFile(C("tree/sub/deeper/c.dat"));
  fs::create_directories(C("tree/empty"));
  MakeReadOnly(C("tree/a.txt"));
  MakeReadOnly(C("tree/sub/b.pro"));
  MakeReadOnly(C("tree/sub/deeper/c.dat"));
  EXPECT_EQ(common::RemoveDirectoryTree("C:\\tree\\", 0), 0);
  EXPECT_FALSE(fs::exists(C("tree")));
  EXPECT_TRUE(recorder_->Boxes().empty());
}

TEST_F(RemoveTreeTest, QuietCallRemovesTreeToo) {
  WriteFile(C("orvik/proc_temp/X.PRO"));
  MakeReadOnly(C("orvik/proc_temp/X.PRO"));
  EXPECT_EQ(common::RemoveDirectoryTree("C:\\orvik\\proc_temp", 1), 0);
  EXPECT_FALSE(fs::exists(C("orvik/proc_temp")));
  EXPECT_TRUE(fs::exists(C("orvik")));  // only the folder asked for goes
  EXPECT_TRUE(recorder_->Boxes().empty());
}

TEST_F(RemoveTreeTest, PathWithoutTrailingBackslashActsAsWithOne) {
  WriteFile(C("one/f.txt"));
  WriteFile(C("two/f.txt"));
  char without[] = "C:\\one";
  EXPECT_EQ(common::RemoveDirectoryTree(without, 0), 0);
  EXPECT_STREQ(without, "C:\\one");  // the caller's string is not changed
  EXPECT_EQ(common::RemoveDirectoryTree("C:\\two\\", 0), 0);
  EXPECT_FALSE(fs::exists(C("one")));
  EXPECT_FALSE(fs::exists(C("two")));
  EXPECT_TRUE(recorder_->Boxes().empty());
}

TEST_F(RemoveTreeTest, EmptyFolderIsRemoved) {
  fs::create_directories(C("empty"));
  EXPECT_EQ(common::RemoveDirectoryTree("C:\\empty", 0), 0);
  EXPECT_FALSE(fs::exists(C("empty")));
}

// --- Missing folders ---

TEST_F(RemoveTreeTest, MissingFolderShowsNotFoundWithTrailingBackslash) {
  EXPECT_EQ(common::RemoveDirectoryTree("C:\\missing", 0), -1);
  ExpectBoxes({"C:\\missing\\ not found!  Aborting."});
}

TEST_F(RemoveTreeTest, MissingFolderGivenWithBackslashKeepsOne) {
  EXPECT_EQ(common::RemoveDirectoryTree("C:\\missing\\", 0), -1);
  ExpectBoxes({"C:\\missing\\ not found!  Aborting."});
}

TEST_F(RemoveTreeTest, MissingFolderIsSilentWhenQuiet) {
  EXPECT_EQ(common::RemoveDirectoryTree("C:\\missing", 1), -1);
  EXPECT_TRUE(recorder_->Boxes().empty());
}

// --- System files stay ---

TEST_F(RemoveTreeTest, SystemFileStaysAndFolderIsNotEmpty) {
  WriteFile(C("tree/keep.sys"));
  WriteFile(C("tree/other.txt"));
  MakeSystem("C:\\tree\\keep.sys");
  EXPECT_EQ(common::RemoveDirectoryTree("C:\\tree", 0), -1);
  ExpectBoxes({"Directory not empty.  Aborting."});
  EXPECT_TRUE(fs::exists(C("tree/keep.sys")));
  EXPECT_FALSE(fs::exists(C("tree/other.txt")));
}

TEST_F(RemoveTreeTest, SystemFileAtTopIsSilentWhenQuiet) {
  WriteFile(C("tree/keep.sys"));
  MakeSystem("C:\\tree\\keep.sys");
  EXPECT_EQ(common::RemoveDirectoryTree("C:\\tree", 1), -1);
  EXPECT_TRUE(recorder_->Boxes().empty());
  EXPECT_TRUE(fs::exists(C("tree/keep.sys")));
}

TEST_F(RemoveTreeTest, NestedSystemFileReportsEvenWhenTopIsQuiet) {
  WriteFile(C("tree/sub/keep.sys"));
  WriteFile(C("tree/sub/gone.txt"));
  MakeSystem("C:\\tree\\sub\\keep.sys");
  EXPECT_EQ(common::RemoveDirectoryTree("C:\\tree", 1), -1);
  ExpectBoxes({"Directory not empty.  Aborting."});  // from the nested call only
  EXPECT_TRUE(fs::exists(C("tree/sub/keep.sys")));
  EXPECT_FALSE(fs::exists(C("tree/sub/gone.txt")));
  EXPECT_TRUE(fs::exists(C("tree")));
}

TEST_F(RemoveTreeTest, NestedSystemFileReportsOnceWhenTopIsNotQuiet) {
  WriteFile(C("tree/sub/keep.sys"));
  MakeSystem("C:\\tree\\sub\\keep.sys");
  EXPECT_EQ(common::RemoveDirectoryTree("C:\\tree", 0), -1);
  // The failed entry stops the walk at once: the top folder is not tried.
  ExpectBoxes({"Directory not empty.  Aborting."});
}

// --- Symbolic links are entries, never followed ---

TEST_F(RemoveTreeTest, LinksToOutsideFolderAndFileAreNotFollowed) {
  SKIP_UNLESS_POSIX("symbolic links");
  WriteFile(outside_ / "dir/precious.txt", "keep me");
  WriteFile(outside_ / "file.txt", "keep me too");
  MakeReadOnly(outside_ / "file.txt");
  WriteFile(C("tree/own.txt"));
  fs::create_directory_symlink(outside_ / "dir", C("tree/dirlink"));
  fs::create_symlink(outside_ / "file.txt", C("tree/filelink"));
  fs::create_directories(C("tree/sub"));
  fs::create_directory_symlink(outside_, C("tree/sub/up"));
  EXPECT_EQ(common::RemoveDirectoryTree("C:\\tree", 0), 0);
  EXPECT_TRUE(recorder_->Boxes().empty());
  EXPECT_FALSE(fs::exists(fs::symlink_status(C("tree"))));
  std::ifstream precious(outside_ / "dir/precious.txt");
  std::string contents;
  std::getline(precious, contents);
  EXPECT_EQ(contents, "keep me");
  EXPECT_TRUE(fs::exists(outside_ / "file.txt"));
  // Not even the target's write protection was touched through the link.
  EXPECT_EQ(fs::status(outside_ / "file.txt").permissions() & fs::perms::owner_write, fs::perms::none);
}

TEST_F(RemoveTreeTest, DanglingLinkIsRemoved) {
  SKIP_UNLESS_POSIX("symbolic links");
  fs::create_directories(C("tree"));
  fs::create_symlink(outside_ / "nowhere", C("tree/dangling"));
  EXPECT_EQ(common::RemoveDirectoryTree("C:\\tree", 0), 0);
  EXPECT_FALSE(fs::exists(fs::symlink_status(C("tree"))));
}

TEST_F(RemoveTreeTest, LinkInPlaceOfTheFolderIsRemovedAsAnEntry) {
  SKIP_UNLESS_POSIX("symbolic links");
  WriteFile(outside_ / "dir/precious.txt");
  fs::create_directory_symlink(outside_ / "dir", C("linked"));
  EXPECT_EQ(common::RemoveDirectoryTree("C:\\linked\\", 0), 0);
  EXPECT_FALSE(fs::exists(fs::symlink_status(C("linked"))));
  EXPECT_TRUE(fs::exists(outside_ / "dir/precious.txt"));
}

// --- Paths that must never be walked ---

TEST_F(RemoveTreeTest, NameHoldingABackslashIsNeverUsedAsAPath) {
  SKIP_UNLESS_POSIX("a file name holding a backslash");
  // A host name "..\victim.txt" read as a DOS path would leave the folder.
  WriteFile(C("victim.txt"), "outside the tree");
  WriteFile(C("tree") / "..\\victim.txt");
  EXPECT_EQ(common::RemoveDirectoryTree("C:\\tree", 1), -1);
  EXPECT_TRUE(fs::exists(C("victim.txt")));
  ASSERT_EQ(recorder_->Boxes().size(), 1u);
  EXPECT_NE(recorder_->Boxes()[0].text.find("Aborting."), std::string::npos);
}

TEST_F(RemoveTreeTest, DriveRootAndEmptyPathAreRefused) {
  WriteFile(C("keep/file.txt"));
  EXPECT_EQ(common::RemoveDirectoryTree("C:\\", 0), -1);
  EXPECT_EQ(common::RemoveDirectoryTree("C:", 1), -1);
  EXPECT_EQ(common::RemoveDirectoryTree("\\", 1), -1);
  EXPECT_EQ(common::RemoveDirectoryTree("", 0), -1);
  EXPECT_EQ(common::RemoveDirectoryTree(nullptr, 0), -1);
  EXPECT_TRUE(fs::exists(C("keep/file.txt")));
  ExpectBoxes({"C:\\ is the root of a drive.  Aborting."});
}

TEST_F(RemoveTreeTest, OverlongPathIsRefusedNotCut) {
  // C:\tree\<200 characters>\<100 characters> is past the 260-character limit.
  fs::path deep = C("tree") / std::string(200, 'd') / std::string(100, 'f');
  WriteFile(deep);
  EXPECT_EQ(common::RemoveDirectoryTree("C:\\tree", 1), -1);
  EXPECT_TRUE(fs::exists(deep));
  ASSERT_EQ(recorder_->Boxes().size(), 1u);
  EXPECT_NE(recorder_->Boxes()[0].text.find("path too long.  Aborting."), std::string::npos);
}

// --- DeleteFileForced ---

TEST_F(RemoveTreeTest, DeleteFileForcedClearsReadOnly) {
  WriteFile(C("ro.txt"));
  MakeReadOnly(C("ro.txt"));
  EXPECT_EQ(common::DeleteFileForced("C:\\ro.txt"), 0);
  EXPECT_FALSE(fs::exists(C("ro.txt")));
  EXPECT_TRUE(recorder_->Boxes().empty());
}

TEST_F(RemoveTreeTest, DeleteFileForcedOnMissingFileReportsWriteProtection) {
  EXPECT_EQ(common::DeleteFileForced("C:\\nofile.txt"), -1);
  ExpectBoxes({"Unable to change write protection on C:\\nofile.txt\n"});
}

TEST_F(RemoveTreeTest, DeleteFileForcedFailureShowsThreeBoxes) {
  fs::create_directories(C("adir"));
  EXPECT_EQ(common::DeleteFileForced("C:\\adir"), -1);  // a folder is no file to delete
  char system[256] = {};
  platform::FormatMessageA(platform::FORMAT_MESSAGE_FROM_SYSTEM, nullptr, platform::ERROR_ACCESS_DENIED, 0,
                           system, sizeof system, nullptr);
  ExpectBoxes({system, "Unable to delete file.", "C:\\adir"});
  EXPECT_TRUE(fs::is_directory(C("adir")));
}

TEST_F(RemoveTreeTest, DeleteFileForcedRemovesALinkNotItsTarget) {
  SKIP_UNLESS_POSIX("symbolic links");
  WriteFile(outside_ / "target.txt");
  MakeReadOnly(outside_ / "target.txt");
  fs::create_symlink(outside_ / "target.txt", C("link.txt"));
  EXPECT_EQ(common::DeleteFileForced("C:\\link.txt"), 0);
  EXPECT_FALSE(fs::exists(fs::symlink_status(C("link.txt"))));
  EXPECT_TRUE(fs::exists(outside_ / "target.txt"));
  EXPECT_EQ(fs::status(outside_ / "target.txt").permissions() & fs::perms::owner_write, fs::perms::none);
}

}  // namespace
