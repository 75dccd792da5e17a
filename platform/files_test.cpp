// Files and folders: copy, delete, attributes, listing, C run-time calls,
// the temporary folder, the module path and drive geometry.
#include "platform/files.h"

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <map>

#include "platform/hfile.h"
#include "testing/prefix_test.h"

namespace platform {
namespace {

class FilesTest : public orvik_testing::PrefixTest {
 protected:
  mode_t ModeOf(const std::string& host) {
    struct stat st;
    EXPECT_EQ(::lstat(host.c_str(), &st), 0) << host;
    return st.st_mode & 07777;
  }
  // Every entry of a listing, name -> attributes.
  std::map<std::string, DWORD> List(const char* pattern) {
    std::map<std::string, DWORD> out;
    WIN32_FIND_DATAA data;
    FindHandle h = FindFirstFileA(pattern, &data);
    if (h == INVALID_HANDLE_VALUE) return out;
    do {
      EXPECT_EQ(out.count(data.cFileName), 0u) << "listed twice: " << data.cFileName;
      out[data.cFileName] = data.dwFileAttributes;
    } while (FindNextFileA(h, &data));
    EXPECT_EQ(GetLastError(), 18u);
    EXPECT_TRUE(FindClose(h));
    return out;
  }
};

TEST_F(FilesTest, CopyKeepsContentAndModeBits) {
  orvik_testing::WriteFile(driveC_ + "/prog.exe", "#!/bin/sh\necho hi\n");
  ASSERT_EQ(::chmod((driveC_ + "/prog.exe").c_str(), 0751), 0);
  ASSERT_TRUE(CopyFileA("C:\\prog.exe", "C:\\windows\\temp\\copy.exe", FALSE));
  EXPECT_EQ(orvik_testing::ReadFile(driveC_ + "/windows/temp/copy.exe"), "#!/bin/sh\necho hi\n");
  EXPECT_EQ(ModeOf(driveC_ + "/windows/temp/copy.exe"), 0751u);
  // No temporary file is left beside the target.
  EXPECT_EQ(List("C:\\windows\\temp\\*").size(), 3u);
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
  // The file takes the given spelling; the old spelling is gone.
  EXPECT_EQ(orvik_testing::ReadFile(driveC_ + "/DATA.TXT"), "new");
  EXPECT_EQ(::access((driveC_ + "/data.txt").c_str(), F_OK), -1);
  EXPECT_EQ(::access((driveC_ + "/part").c_str(), F_OK), -1);
  // A read-only target is not replaced.
  orvik_testing::WriteFile(driveC_ + "/part", "newer");
  ::chmod((driveC_ + "/DATA.TXT").c_str(), 0444);
  EXPECT_FALSE(MoveFileExA("C:\\part", "C:\\DATA.TXT", MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(orvik_testing::ReadFile(driveC_ + "/DATA.TXT"), "new");
}

// A pipe as the source fails at once; leftovers of copies that ended before
// their rename go, a file that a copy in progress holds stays.
TEST_F(FilesTest, CopyRefusesPipesAndClearsLeftoversOfEndedCopies) {
  ASSERT_EQ(::mkfifo((driveC_ + "/pipe.dat").c_str(), 0666), 0);
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
  ASSERT_EQ(::chmod((driveC_ + "/ro.txt").c_str(), 0444), 0);
  EXPECT_FALSE(CopyFileA("C:\\a.txt", "C:\\ro.txt", FALSE));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(orvik_testing::ReadFile(driveC_ + "/ro.txt"), "keep");
  EXPECT_FALSE(CopyFileA("C:\\missing.txt", "C:\\x.txt", FALSE));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(CopyFileA("C:\\a.txt", "C:\\nofolder\\x.txt", FALSE));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_FALSE(CopyFileA("C:\\a.txt", "C:\\a.txt", FALSE));
  EXPECT_EQ(orvik_testing::ReadFile(driveC_ + "/a.txt"), "new");
}

TEST_F(FilesTest, DeleteRules) {
  orvik_testing::WriteFile(driveC_ + "/ro.txt", "x");
  ASSERT_EQ(::chmod((driveC_ + "/ro.txt").c_str(), 0444), 0);
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
  orvik_testing::WriteFile(work_ + "/precious.txt", "x");
  ASSERT_EQ(::symlink((work_ + "/precious.txt").c_str(), (driveC_ + "/link").c_str()), 0);
  ASSERT_EQ(::chmod((work_ + "/precious.txt").c_str(), 0444), 0);
  EXPECT_EQ(_chmod("C:\\link", _S_IWRITE), 0);
  EXPECT_EQ(ModeOf(work_ + "/precious.txt"), 0444u);  // the target is not touched
  EXPECT_TRUE(DeleteFileA("C:\\link"));
  EXPECT_EQ(orvik_testing::ReadFile(work_ + "/precious.txt"), "x");
}

TEST_F(FilesTest, ChmodSetsAndClearsReadOnly) {
  orvik_testing::WriteFile(driveC_ + "/f.txt", "x");
  ASSERT_EQ(::chmod((driveC_ + "/f.txt").c_str(), 0664), 0);
  EXPECT_EQ(_chmod("C:\\F.TXT", _S_IREAD), 0);
  EXPECT_EQ(ModeOf(driveC_ + "/f.txt"), 0444u);
  EXPECT_EQ(GetFileAttributesA("C:\\f.txt"), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(_access("C:\\f.txt", 2), -1);
  EXPECT_EQ(CrtErrno(), CRT_EACCES);
  EXPECT_EQ(_access("C:\\f.txt", 4), 0);
  EXPECT_EQ(_chmod("C:\\f.txt", _S_IWRITE), 0);
  EXPECT_EQ(ModeOf(driveC_ + "/f.txt"), 0644u);
  EXPECT_EQ(GetFileAttributesA("C:\\f.txt"), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(_access("C:\\f.txt", 6), 0);
  EXPECT_EQ(_chmod("C:\\none.txt", _S_IWRITE), -1);
  EXPECT_EQ(CrtErrno(), CRT_ENOENT);
  EXPECT_EQ(_access("C:\\none.txt", 0), -1);
  EXPECT_EQ(CrtErrno(), CRT_ENOENT);
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
  orvik_testing::WriteFile(driveC_ + "/windows/temp/ONE.PRO", "1");
  orvik_testing::WriteFile(driveC_ + "/windows/temp/two.pro", "22");
  orvik_testing::WriteFile(driveC_ + "/windows/temp/README", "");
  orvik_testing::WriteFile(driveC_ + "/windows/temp/a.pro.bak", "");
  auto all = List("C:\\windows\\temp\\*.*");
  EXPECT_EQ(all.size(), 6u);
  EXPECT_EQ(all.count("."), 1u);
  EXPECT_EQ(all.count(".."), 1u);
  EXPECT_EQ(all.count("README"), 1u);
  auto pro = List("c:\\WINDOWS\\temp\\*.PRO");
  EXPECT_EQ(pro.size(), 2u);
  EXPECT_EQ(pro.count("ONE.PRO") + pro.count("two.pro"), 2u);
  auto q = List("C:\\windows\\temp\\t?o.*");
  ASSERT_EQ(q.size(), 1u);
  EXPECT_EQ(q.begin()->first, "two.pro");
  auto exact = List("C:\\windows\\temp\\readme");
  ASSERT_EQ(exact.size(), 1u);
  EXPECT_EQ(exact.begin()->first, "README");
  WIN32_FIND_DATAA data;
  FindHandle h = FindFirstFileA("C:\\windows\\temp\\two.pro", &data);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(data.nFileSizeLow, 2u);
  EXPECT_EQ(data.nFileSizeHigh, 0u);
  FindClose(h);
  EXPECT_TRUE(FindFile("C:\\windows\\temp\\*.pro"));
  EXPECT_FALSE(FindFile("C:\\windows\\temp\\*.lst"));
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
  ASSERT_EQ(::mkdir(dir.c_str(), 0777), 0);
  ASSERT_EQ(::mkdir((dir + "/sub").c_str(), 0777), 0);
  orvik_testing::WriteFile(dir + "/plain.txt", "x");
  orvik_testing::WriteFile(dir + "/ro.txt", "x");
  ASSERT_EQ(::chmod((dir + "/ro.txt").c_str(), 0444), 0);
  ASSERT_EQ(::symlink(work_.c_str(), (dir + "/dirlink").c_str()), 0);
  ASSERT_EQ(::symlink("/nonexistent", (dir + "/dangling").c_str()), 0);
  auto all = List("C:\\stage\\*.*");
  ASSERT_EQ(all.size(), 7u);
  EXPECT_EQ(all["sub"], FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(all["."], FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(all["plain.txt"], FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(all["ro.txt"], FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(all["dirlink"], FILE_ATTRIBUTE_REPARSE_POINT);
  EXPECT_EQ(all["dangling"], FILE_ATTRIBUTE_REPARSE_POINT);
  EXPECT_EQ(GetFileAttributesA("C:\\stage\\dirlink"), FILE_ATTRIBUTE_REPARSE_POINT);
  EXPECT_EQ(GetFileAttributesA("C:\\stage\\missing"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(FilesTest, SystemAndHiddenBitsLiveInTheExtendedAttribute) {
  orvik_testing::WriteFile(driveC_ + "/sys.dat", "x");
  ASSERT_TRUE(SetFileAttributesA("C:\\sys.dat", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY))
      << "extended attributes are needed under /tmp for this test";
  EXPECT_EQ(GetFileAttributesA("C:\\sys.dat"), FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
  char value[16] = {};
  ASSERT_GT(::getxattr((driveC_ + "/sys.dat").c_str(), "user.DOSATTRIB", value, sizeof value - 1), 0);
  EXPECT_STREQ(value, "0x4");
  auto listed = List("C:\\sys.dat");
  EXPECT_EQ(listed["sys.dat"], FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(SetFileAttributesA("C:\\sys.dat", FILE_ATTRIBUTE_HIDDEN));
  EXPECT_EQ(GetFileAttributesA("C:\\sys.dat"), FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(ModeOf(driveC_ + "/sys.dat") & S_IWUSR, unsigned(S_IWUSR));
  ASSERT_TRUE(SetFileAttributesA("C:\\sys.dat", FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(GetFileAttributesA("C:\\sys.dat"), FILE_ATTRIBUTE_NORMAL);
  // A link can carry no such bit, and its target is never changed.
  ASSERT_EQ(::symlink((driveC_ + "/sys.dat").c_str(), (driveC_ + "/link").c_str()), 0);
  EXPECT_FALSE(SetFileAttributesA("C:\\link", FILE_ATTRIBUTE_SYSTEM));
  EXPECT_TRUE(SetFileAttributesA("C:\\link", FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(GetFileAttributesA("C:\\sys.dat"), FILE_ATTRIBUTE_NORMAL);
  EXPECT_FALSE(SetFileAttributesA("C:\\missing", FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
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
  orvik_testing::RemoveTree(driveC_ + "/windows/temp");
  char buf[MAX_PATH];
  EXPECT_EQ(GetTempPathA(sizeof buf, buf), 16u);
  EXPECT_STREQ(buf, "C:\\windows\\temp\\");
  EXPECT_TRUE(DirectoryExists("C:\\windows\\temp"));
  char small[8];
  EXPECT_EQ(GetTempPathA(sizeof small, small), 17u);  // the size needed
}

TEST_F(FilesTest, ModulePathIsTheRunningProgram) {
  char buf[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
  ASSERT_GT(n, 3u);
  EXPECT_EQ(std::string(buf).substr(0, 3), "Z:\\");
  char exe[PATH_MAX] = {};
  ASSERT_GT(::readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
  EXPECT_EQ(HostPath(buf), std::string(exe));
  char small[5];
  EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof small), 5u);
  EXPECT_EQ(std::strlen(small), 4u);
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
  EXPECT_FALSE(GetDiskFreeSpaceA("C:\\windows\\", &spc, &bps, &freeC, &total));
  EXPECT_FALSE(GetDiskFreeSpaceA("", &spc, &bps, &freeC, &total));
}

TEST_F(FilesTest, DirectoryExistsFollowsLinksAndRejectsFiles) {
  orvik_testing::WriteFile(driveC_ + "/file", "x");
  ASSERT_EQ(::symlink(work_.c_str(), (driveC_ + "/link").c_str()), 0);
  EXPECT_TRUE(DirectoryExists("C:\\"));
  EXPECT_TRUE(DirectoryExists("C:\\link\\"));
  EXPECT_FALSE(DirectoryExists("C:\\file"));
  EXPECT_FALSE(DirectoryExists("C:\\none"));
  EXPECT_FALSE(DirectoryExists("Q:\\"));
}

}  // namespace
}  // namespace platform
