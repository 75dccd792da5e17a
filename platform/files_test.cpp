// Files and folders: copy, delete, attributes, listing, C run-time calls,
// the temporary folder, the module path and drive geometry.
#include "platform/files.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>

#include "platform/dos_path.h"
#include "platform/hfile.h"
#include "testing/host_platform.h"
#include "testing/prefix_test.h"

namespace platform {
namespace {

class FilesTest : public orvik_testing::PrefixTest {
 protected:
  // The permission bits of a host entry (a link's own).
  unsigned ModeOf(const std::string& host) {
    std::error_code ec;
    auto status = std::filesystem::symlink_status(host, ec);
    EXPECT_FALSE(ec) << host;
    return static_cast<unsigned>(status.permissions()) & 07777;
  }
  void Chmod(const std::string& host, unsigned bits) { orvik_testing::ChangeMode(host, bits); }
  // A file's attributes without the archive bit, which Windows sets on
  // every file written and the POSIX host never: what is left of a plain
  // file is FILE_ATTRIBUTE_NORMAL on both.
  static DWORD Plain(DWORD attributes) {
    if (attributes == INVALID_FILE_ATTRIBUTES) return attributes;
    attributes &= ~FILE_ATTRIBUTE_ARCHIVE;
    return attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
  }
  DWORD Attributes(const char* path) { return Plain(GetFileAttributesA(path)); }
  // Every entry of a listing, name -> attributes.
  std::map<std::string, DWORD> List(const char* pattern) {
    std::map<std::string, DWORD> out;
    WIN32_FIND_DATAA data;
    FindHandle h = FindFirstFileA(pattern, &data);
    if (h == INVALID_HANDLE_VALUE) return out;
    do {
      EXPECT_EQ(out.count(data.cFileName), 0u) << "listed twice: " << data.cFileName;
      out[data.cFileName] = Plain(data.dwFileAttributes);
    } while (FindNextFileA(h, &data));
    EXPECT_EQ(GetLastError(), 18u);
    EXPECT_TRUE(FindClose(h));
    return out;
  }
};

TEST_F(FilesTest, CopyKeepsContentAndLeavesNothingBeside) {
  orvik_testing::WriteFile(driveC_ + "/prog.exe", "#!/bin/sh\necho hi\n");
  auto before = List("C:\\windows\\temp\\*");
  ASSERT_TRUE(CopyFileA("C:\\prog.exe", "C:\\windows\\temp\\copy.exe", FALSE));
  EXPECT_EQ(orvik_testing::ReadFile(driveC_ + "/windows/temp/copy.exe"), "#!/bin/sh\necho hi\n");
  before["copy.exe"] = FILE_ATTRIBUTE_NORMAL;
  EXPECT_EQ(List("C:\\windows\\temp\\*"), before);
}

TEST_F(FilesTest, CopyKeepsModeBits) {
  SKIP_UNLESS_POSIX("execute and group bits");
  orvik_testing::WriteFile(driveC_ + "/prog.exe", "#!/bin/sh\necho hi\n");
  Chmod(driveC_ + "/prog.exe", 0751);
  ASSERT_TRUE(CopyFileA("C:\\prog.exe", "C:\\windows\\temp\\copy.exe", FALSE));
  EXPECT_EQ(ModeOf(driveC_ + "/windows/temp/copy.exe"), 0751u);
}

TEST_F(FilesTest, CopyReplacesAndRespectsFailIfExists) {
  orvik_testing::WriteFile(driveC_ + "/a.txt", "new");
  orvik_testing::WriteFile(driveC_ + "/b.txt", "old contents");
  EXPECT_FALSE(CopyFileA("C:\\a.txt", "C:\\B.TXT", TRUE));
  EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
  EXPECT_EQ(orvik_testing::ReadFile(driveC_ + "/b.txt"), "old contents");
  ASSERT_TRUE(CopyFileA("C:\\A.TXT", "C:\\B.TXT", FALSE));
  EXPECT_EQ(orvik_testing::ReadFile(driveC_ + "/b.txt"), "new");
}

TEST_F(FilesTest, MoveReplacingExistingKeepsAFileAtEveryStep) {
  orvik_testing::WriteFile(driveC_ + "/part", "new");
  orvik_testing::WriteFile(driveC_ + "/data.txt", "old");
  EXPECT_FALSE(MoveFileA("C:\\part", "C:\\data.txt"));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  ASSERT_TRUE(MoveFileExA("C:\\part", "C:\\DATA.TXT", MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(orvik_testing::ReadFile(driveC_ + "/DATA.TXT"), "new");
  EXPECT_FALSE(orvik_testing::Exists(driveC_ + "/part"));
  // A read-only target is not replaced.
  orvik_testing::WriteFile(driveC_ + "/part", "newer");
  Chmod(driveC_ + "/DATA.TXT", 0444);
  EXPECT_FALSE(MoveFileExA("C:\\part", "C:\\DATA.TXT", MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(orvik_testing::ReadFile(driveC_ + "/DATA.TXT"), "new");
  SKIP_UNLESS_POSIX("the file system decides the letter case of a replaced file's name");
  // The file takes the given spelling; the old spelling is gone.
  EXPECT_FALSE(orvik_testing::Exists(driveC_ + "/data.txt"));
}

// A pipe as the source fails at once; leftovers of copies that ended before
// their rename go, a file that a copy in progress holds stays.
TEST_F(FilesTest, CopyRefusesPipesAndClearsLeftoversOfEndedCopies) {
  SKIP_UNLESS_POSIX("named pipes, and the POSIX copy's own files beside the target");
  ASSERT_TRUE(orvik_testing::MakeFifo(driveC_ + "/pipe.dat"));
  EXPECT_FALSE(CopyFileA("C:\\pipe.dat", "C:\\out.dat", FALSE));
  EXPECT_EQ(GetLastError(), ERROR_BAD_FILE_TYPE);
  EXPECT_FALSE(orvik_testing::Exists(driveC_ + "/out.dat"));

  orvik_testing::WriteFile(driveC_ + "/a.txt", "new");
  orvik_testing::WriteFile(driveC_ + "/.b.txt.~ovAb12Cd", "left by a killed copy");
  orvik_testing::WriteFile(driveC_ + "/.b.txt.~ovXy34Zw", "a copy in progress");
  OFSTRUCT of;
  HFILE inProgress = OpenFile("C:\\.b.txt.~ovXy34Zw", &of, OF_READ | OF_SHARE_DENY_WRITE);
  ASSERT_NE(inProgress, HFILE_ERROR);
  ASSERT_TRUE(CopyFileA("C:\\a.txt", "C:\\b.txt", FALSE));
  EXPECT_EQ(orvik_testing::ReadFile(driveC_ + "/b.txt"), "new");
  EXPECT_FALSE(orvik_testing::Exists(driveC_ + "/.b.txt.~ovAb12Cd"));
  EXPECT_TRUE(orvik_testing::Exists(driveC_ + "/.b.txt.~ovXy34Zw"));
  EXPECT_EQ(_lclose(inProgress), 0);
}

TEST_F(FilesTest, CopyFailures) {
  orvik_testing::WriteFile(driveC_ + "/a.txt", "new");
  orvik_testing::WriteFile(driveC_ + "/ro.txt", "keep");
  Chmod(driveC_ + "/ro.txt", 0444);
  EXPECT_FALSE(CopyFileA("C:\\a.txt", "C:\\ro.txt", FALSE));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(orvik_testing::ReadFile(driveC_ + "/ro.txt"), "keep");
  EXPECT_FALSE(CopyFileA("C:\\missing.txt", "C:\\x.txt", FALSE));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(CopyFileA("C:\\a.txt", "C:\\nofolder\\x.txt", FALSE));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_FALSE(CopyFileA("C:\\a.txt", "C:\\A.TXT", FALSE));
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  EXPECT_EQ(orvik_testing::ReadFile(driveC_ + "/a.txt"), "new");
}

TEST_F(FilesTest, DeleteRules) {
  orvik_testing::WriteFile(driveC_ + "/ro.txt", "x");
  Chmod(driveC_ + "/ro.txt", 0444);
  EXPECT_FALSE(DeleteFileA("C:\\RO.TXT"));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(_chmod("C:\\ro.txt", _S_IREAD | _S_IWRITE), 0);
  EXPECT_TRUE(DeleteFileA("C:\\RO.TXT"));
  EXPECT_FALSE(DeleteFileA("C:\\RO.TXT"));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(DeleteFileA("C:\\nofolder\\x"));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_FALSE(DeleteFileA("C:\\windows"));
  EXPECT_TRUE(DirectoryExists("C:\\windows"));
}

TEST_F(FilesTest, DeletingALinkLeavesItsTarget) {
  SKIP_UNLESS_POSIX("symbolic links");
  orvik_testing::WriteFile(work_ + "/precious.txt", "x");
  ASSERT_TRUE(orvik_testing::MakeSymlink(work_ + "/precious.txt", driveC_ + "/link"));
  Chmod(work_ + "/precious.txt", 0444);
  EXPECT_EQ(_chmod("C:\\link", _S_IWRITE), 0);
  EXPECT_EQ(ModeOf(work_ + "/precious.txt"), 0444u);  // the target is not touched
  EXPECT_TRUE(DeleteFileA("C:\\link"));
  EXPECT_EQ(orvik_testing::ReadFile(work_ + "/precious.txt"), "x");
}

TEST_F(FilesTest, ChmodSetsAndClearsReadOnly) {
  orvik_testing::WriteFile(driveC_ + "/f.txt", "x");
  EXPECT_EQ(_chmod("C:\\F.TXT", _S_IREAD), 0);
  EXPECT_FALSE(orvik_testing::OwnerWritable(driveC_ + "/f.txt"));
  EXPECT_EQ(Attributes("C:\\f.txt"), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(_access("C:\\f.txt", 2), -1);
  EXPECT_EQ(CrtErrno(), CRT_EACCES);
  EXPECT_EQ(_access("C:\\f.txt", 4), 0);
  EXPECT_EQ(_chmod("C:\\f.txt", _S_IWRITE), 0);
  EXPECT_TRUE(orvik_testing::OwnerWritable(driveC_ + "/f.txt"));
  EXPECT_EQ(Attributes("C:\\f.txt"), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(_access("C:\\f.txt", 6), 0);
  EXPECT_EQ(_chmod("C:\\none.txt", _S_IWRITE), -1);
  EXPECT_EQ(CrtErrno(), CRT_ENOENT);
  EXPECT_EQ(_access("C:\\none.txt", 0), -1);
  EXPECT_EQ(CrtErrno(), CRT_ENOENT);
}

// Read-only clears every write bit; writable gives back the owner's alone.
TEST_F(FilesTest, ChmodChangesOnlyWriteBits) {
  SKIP_UNLESS_POSIX("group and other write bits");
  orvik_testing::WriteFile(driveC_ + "/f.txt", "x");
  Chmod(driveC_ + "/f.txt", 0664);
  EXPECT_EQ(_chmod("C:\\F.TXT", _S_IREAD), 0);
  EXPECT_EQ(ModeOf(driveC_ + "/f.txt"), 0444u);
  EXPECT_EQ(_chmod("C:\\f.txt", _S_IWRITE), 0);
  EXPECT_EQ(ModeOf(driveC_ + "/f.txt"), 0644u);
}

TEST_F(FilesTest, MkdirAndRmdirUseCErrorNumbers) {
  EXPECT_EQ(_mkdir("C:\\orvik"), 0);
  EXPECT_TRUE(DirectoryExists("C:\\ORVIK\\"));
  EXPECT_EQ(_mkdir("C:\\orvik"), -1);
  EXPECT_EQ(CrtErrno(), CRT_EEXIST);
  EXPECT_EQ(_mkdir("C:\\no\\such"), -1);
  EXPECT_EQ(CrtErrno(), CRT_ENOENT);
  orvik_testing::WriteFile(driveC_ + "/orvik/file", "x");
  EXPECT_EQ(_rmdir("C:\\orvik\\"), -1);
  EXPECT_EQ(CrtErrno(), CRT_ENOTEMPTY);
  EXPECT_EQ(CrtErrno(), 41);
  EXPECT_STREQ(CrtStrError(CrtErrno()), "Directory not empty");
  EXPECT_EQ(_rmdir("C:\\orvik\\file"), -1);
  EXPECT_EQ(CrtErrno(), CRT_ENOTDIR);
  ASSERT_TRUE(DeleteFileA("C:\\orvik\\file"));
  EXPECT_EQ(_rmdir("C:\\orvik"), 0);
  EXPECT_EQ(_rmdir("C:\\orvik"), -1);
  EXPECT_EQ(CrtErrno(), CRT_ENOENT);
  EXPECT_STREQ(CrtStrError(CRT_ENOENT), "No such file or directory");
  EXPECT_FALSE(DirectoryExists("C:\\orvik"));
}

TEST_F(FilesTest, ListingMatchesWildcardsWithoutCase) {
  orvik_testing::WriteFile(driveC_ + "/listing/ONE.PRO", "1");
  orvik_testing::WriteFile(driveC_ + "/listing/two.pro", "22");
  orvik_testing::WriteFile(driveC_ + "/listing/README", "");
  orvik_testing::WriteFile(driveC_ + "/listing/a.pro.bak", "");
  auto all = List("C:\\listing\\*.*");
  EXPECT_EQ(all.size(), 6u);
  EXPECT_EQ(all.count("."), 1u);
  EXPECT_EQ(all.count(".."), 1u);
  EXPECT_EQ(all.count("README"), 1u);
  auto pro = List("c:\\LISTING\\*.PRO");
  EXPECT_EQ(pro.size(), 2u);
  EXPECT_EQ(pro.count("ONE.PRO") + pro.count("two.pro"), 2u);
  auto q = List("C:\\listing\\t?o.*");
  ASSERT_EQ(q.size(), 1u);
  EXPECT_EQ(q.begin()->first, "two.pro");
  auto exact = List("C:\\listing\\readme");
  ASSERT_EQ(exact.size(), 1u);
  EXPECT_EQ(exact.begin()->first, "README");
  WIN32_FIND_DATAA data;
  FindHandle h = FindFirstFileA("C:\\listing\\two.pro", &data);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(data.nFileSizeLow, 2u);
  EXPECT_EQ(data.nFileSizeHigh, 0u);
  FindClose(h);
  EXPECT_TRUE(FindFile("C:\\listing\\*.pro"));
  EXPECT_FALSE(FindFile("C:\\listing\\*.lst"));
}

TEST_F(FilesTest, ListingFailuresSayWhy) {
  WIN32_FIND_DATAA data;
  EXPECT_EQ(FindFirstFileA("C:\\windows\\temp\\*.none", &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(FindFirstFileA("C:\\nofolder\\*.*", &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(FindFirstFileA("Q:\\*.*", &data), INVALID_HANDLE_VALUE);
}

TEST_F(FilesTest, ListingShowsAttributesAndLinksAreNeverFolders) {
  std::string dir = driveC_ + "/stage";
  orvik_testing::MakeDirs(dir + "/sub");
  orvik_testing::WriteFile(dir + "/plain.txt", "x");
  orvik_testing::WriteFile(dir + "/ro.txt", "x");
  Chmod(dir + "/ro.txt", 0444);
  auto all = List("C:\\stage\\*.*");
  EXPECT_EQ(all.size(), 5u);
  EXPECT_EQ(all["sub"], FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(all["."], FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(all["plain.txt"], FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(all["ro.txt"], FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(GetFileAttributesA("C:\\stage\\missing"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  SKIP_UNLESS_POSIX("symbolic links");
  ASSERT_TRUE(orvik_testing::MakeSymlink(work_, dir + "/dirlink"));
  ASSERT_TRUE(orvik_testing::MakeSymlink("/nonexistent", dir + "/dangling"));
  all = List("C:\\stage\\*.*");
  ASSERT_EQ(all.size(), 7u);
  EXPECT_EQ(all["dirlink"], FILE_ATTRIBUTE_REPARSE_POINT);
  EXPECT_EQ(all["dangling"], FILE_ATTRIBUTE_REPARSE_POINT);
  EXPECT_EQ(GetFileAttributesA("C:\\stage\\dirlink"), FILE_ATTRIBUTE_REPARSE_POINT);
}

TEST_F(FilesTest, SystemAndHiddenBitsLiveInTheExtendedAttribute) {
  orvik_testing::WriteFile(driveC_ + "/sys.dat", "x");
  ASSERT_TRUE(SetFileAttributesA("C:\\sys.dat", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY))
      << "extended attributes are needed under /tmp for this test";
  EXPECT_EQ(Attributes("C:\\sys.dat"), FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
  auto listed = List("C:\\sys.dat");
  EXPECT_EQ(listed["sys.dat"], FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(SetFileAttributesA("C:\\sys.dat", FILE_ATTRIBUTE_HIDDEN));
  EXPECT_EQ(Attributes("C:\\sys.dat"), FILE_ATTRIBUTE_HIDDEN);
  EXPECT_TRUE(orvik_testing::OwnerWritable(driveC_ + "/sys.dat"));
  ASSERT_TRUE(SetFileAttributesA("C:\\sys.dat", FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(Attributes("C:\\sys.dat"), FILE_ATTRIBUTE_NORMAL);
  EXPECT_FALSE(SetFileAttributesA("C:\\missing", FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  SKIP_UNLESS_POSIX("extended attributes and symbolic links");
  ASSERT_TRUE(SetFileAttributesA("C:\\sys.dat", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(orvik_testing::ExtendedAttribute(driveC_ + "/sys.dat", "user.DOSATTRIB"), "0x4");
  ASSERT_TRUE(SetFileAttributesA("C:\\sys.dat", FILE_ATTRIBUTE_NORMAL));
  // A link can carry no such bit, and its target is never changed.
  ASSERT_TRUE(orvik_testing::MakeSymlink(driveC_ + "/sys.dat", driveC_ + "/link"));
  EXPECT_FALSE(SetFileAttributesA("C:\\link", FILE_ATTRIBUTE_SYSTEM));
  EXPECT_TRUE(SetFileAttributesA("C:\\link", FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(GetFileAttributesA("C:\\sys.dat"), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(FilesTest, MoveRenamesButNeverOverwrites) {
  orvik_testing::WriteFile(driveC_ + "/a", "a");
  orvik_testing::WriteFile(driveC_ + "/b", "b");
  EXPECT_FALSE(MoveFileA("C:\\a", "C:\\B"));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  ASSERT_TRUE(MoveFileA("C:\\A", "C:\\windows\\c"));
  EXPECT_EQ(orvik_testing::ReadFile(driveC_ + "/windows/c"), "a");
  EXPECT_FALSE(MoveFileA("C:\\a", "C:\\d"));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(FilesTest, TempPathIsCreatedAndFits) {
  char buf[MAX_PATH];
  DWORD length = GetTempPathA(sizeof buf, buf);
  ASSERT_GT(length, 3u);
  EXPECT_EQ(length, std::strlen(buf));
  EXPECT_EQ(buf[length - 1], '\\');
  EXPECT_TRUE(DirectoryExists(buf));
  char small[8];
  EXPECT_EQ(GetTempPathA(sizeof small, small), length + 1);  // the size needed
  SKIP_UNLESS_POSIX("the temporary folder is the machine's own there (TMP), not C:\\windows\\temp made on demand");
  orvik_testing::RemoveTree(driveC_ + "/windows/temp");
  EXPECT_EQ(GetTempPathA(sizeof buf, buf), 16u);
  EXPECT_STREQ(buf, "C:\\windows\\temp\\");
  EXPECT_TRUE(DirectoryExists("C:\\windows\\temp"));
}

TEST_F(FilesTest, ModulePathIsTheRunningProgram) {
  char buf[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
  ASSERT_GT(n, 3u);
  EXPECT_EQ(n, std::strlen(buf));
  std::string host = HostPath(buf);
  EXPECT_TRUE(std::filesystem::is_regular_file(host)) << host;
  EXPECT_EQ(std::filesystem::path(host).stem(), "platform_files_test");
  char small[5];
  EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof small), 5u);
  EXPECT_EQ(std::strlen(small), 4u);
  SKIP_UNLESS_POSIX("the program's drive is the POSIX prefix's Z:");
  EXPECT_EQ(std::string(buf).substr(0, 3), "Z:\\");
  EXPECT_EQ(host, std::filesystem::read_symlink("/proc/self/exe").string());
}

TEST_F(FilesTest, DiskGeometryForMappedDrivesOnly) {
  DWORD spc = 0, bps = 0, freeC = 0, total = 0;
  ASSERT_TRUE(GetDiskFreeSpaceA("C:\\", &spc, &bps, &freeC, &total));
  EXPECT_GE(bps, 512u);
  EXPECT_GE(spc, 1u);
  EXPECT_GT(total, 0u);
  EXPECT_TRUE(GetDiskFreeSpaceA("c:", &spc, &bps, &freeC, &total));
  EXPECT_FALSE(GetDiskFreeSpaceA("Q:\\", &spc, &bps, &freeC, &total));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_FALSE(GetDiskFreeSpaceA("\\\\server\\share\\", &spc, &bps, &freeC, &total));
  SKIP_UNLESS_POSIX("the system's own call answers for any folder of a drive");
  EXPECT_FALSE(GetDiskFreeSpaceA("C:\\windows\\", &spc, &bps, &freeC, &total));
  EXPECT_FALSE(GetDiskFreeSpaceA("", &spc, &bps, &freeC, &total));
}

TEST_F(FilesTest, DirectoryExistsFollowsLinksAndRejectsFiles) {
  orvik_testing::WriteFile(driveC_ + "/file", "x");
  EXPECT_TRUE(DirectoryExists("C:\\"));
  EXPECT_FALSE(DirectoryExists("C:\\file"));
  EXPECT_FALSE(DirectoryExists("C:\\none"));
  EXPECT_FALSE(DirectoryExists("Q:\\"));
  SKIP_UNLESS_POSIX("symbolic links");
  ASSERT_TRUE(orvik_testing::MakeSymlink(work_, driveC_ + "/link"));
  EXPECT_TRUE(DirectoryExists("C:\\link\\"));
}

}  // namespace
}  // namespace platform
