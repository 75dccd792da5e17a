// DOS path mapping: prefix layout, case, separators, drives, "..", UNC,
// reverse mapping and the current directory.
#include "platform/dos_path.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <climits>
#include <thread>

#include "platform/folder_names.h"
#include "testing/prefix_test.h"
#include "platform/types.h"

namespace platform {
namespace {

using orvik_testing::PrefixTest;

class DosPathTest : public PrefixTest {};

TEST_F(DosPathTest, PrefixIsCreatedWithDrivesAndTemp) {
  struct stat st;
  EXPECT_EQ(::stat((prefix_ + "/drive_c/windows/temp").c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(::stat((prefix_ + "/dosdevices/unc").c_str(), &st), 0);
  char target[256] = {};
  ASSERT_GT(::readlink((prefix_ + "/dosdevices/c:").c_str(), target, sizeof target - 1), 0);
  EXPECT_STREQ(target, "../drive_c");
  char zTarget[256] = {};
  ASSERT_GT(::readlink((prefix_ + "/dosdevices/z:").c_str(), zTarget, sizeof zTarget - 1), 0);
  EXPECT_STREQ(zTarget, "/");
}

TEST_F(DosPathTest, DefaultPrefixIsUnderHome) {
  std::string home = root_ + "/home";
  ASSERT_EQ(::mkdir(home.c_str(), 0777), 0);
  const char* savedHome = std::getenv("HOME");
  std::string saved = savedHome ? savedHome : "";
  ::unsetenv("ORVIK_PREFIX");
  ::setenv("HOME", home.c_str(), 1);
  ResetPlatformForTesting();
  EXPECT_EQ(PrefixDir(), home + "/.orvik");
  struct stat st;
  EXPECT_EQ(::lstat((home + "/.orvik/dosdevices/c:").c_str(), &st), 0);
  ::setenv("HOME", saved.c_str(), 1);
  ::setenv("ORVIK_PREFIX", prefix_.c_str(), 1);
  ResetPlatformForTesting();
  EXPECT_EQ(PrefixDir(), prefix_);
}

TEST_F(DosPathTest, ExistingComponentsMatchWithoutCase) {
  ASSERT_EQ(::mkdir((driveC_ + "/Orvik").c_str(), 0777), 0);
  ASSERT_EQ(::mkdir((driveC_ + "/Orvik/Proc").c_str(), 0777), 0);
  orvik_testing::WriteFile(driveC_ + "/Orvik/Proc/Proc.Dir", "x");
  EXPECT_EQ(HostPath("C:\\ORVIK\\proc\\PROC.DIR"), driveC_ + "/Orvik/Proc/Proc.Dir");
  EXPECT_EQ(HostPath("c:/orvik/PROC/proc.dir"), driveC_ + "/Orvik/Proc/Proc.Dir");
  // The folders as typed, the file in other letters.
  EXPECT_EQ(HostPath("C:\\Orvik\\Proc\\PROC.DIR"), driveC_ + "/Orvik/Proc/Proc.Dir");
  EXPECT_EQ(HostPath("C:\\Orvik\\Proc\\new.dir"), driveC_ + "/Orvik/Proc/new.dir");
}

TEST_F(DosPathTest, ExactMatchWinsOverCaseFold) {
  ASSERT_EQ(::mkdir((driveC_ + "/data").c_str(), 0777), 0);
  ASSERT_EQ(::mkdir((driveC_ + "/DATA").c_str(), 0777), 0);
  EXPECT_EQ(HostPath("C:\\DATA"), driveC_ + "/DATA");
  EXPECT_EQ(HostPath("C:\\data"), driveC_ + "/data");
  // Neither exact: the smallest name of the two, every time.
  EXPECT_EQ(HostPath("C:\\Data"), driveC_ + "/DATA");
}

// A large folder's names are kept between look-ups; every change made since,
// by this or another process, shows in the next one. Run with change
// notifications and with the check by the folder's times alone.
TEST_F(DosPathTest, LargeFolderLookUpsSeeEveryChange) {
  auto create = [](const std::string& path) { ::close(::open(path.c_str(), O_CREAT | O_WRONLY, 0644)); };
  for (bool watch : {true, false}) {
    SCOPED_TRACE(watch ? "watched" : "checked by times");
    detail::ResetFolderNames(watch);
    const std::string big = driveC_ + (watch ? "/Big" : "/Big2");
    const std::string dos = watch ? "C:\\big\\" : "C:\\big2\\";
    const std::string exact = watch ? "C:\\Big\\" : "C:\\Big2\\";  // the folder as spelled on the disk
    ASSERT_EQ(::mkdir(big.c_str(), 0777), 0);
    for (int i = 0; i < 100; ++i) create(big + "/File" + std::to_string(i));
    orvik_testing::WaitUntilSettled(big);  // so that its listing is kept
    EXPECT_EQ(HostPath(dos + "file7"), big + "/File7");
    EXPECT_EQ(HostPath(dos + "new.TXT"), big + "/new.TXT");

    // Another process creates the name (a fork sharing this one's kept
    // tables, which looks the name up too).
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      create(big + "/New.txt");
      ::_exit(HostPath(dos + "new.TXT") == big + "/New.txt" ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(HostPath(dos + "new.TXT"), big + "/New.txt");
    EXPECT_EQ(HostPath(exact + "NEW.TXT"), big + "/New.txt");

    ASSERT_EQ(::rename((big + "/New.txt").c_str(), (big + "/Other.txt").c_str()), 0);
    EXPECT_EQ(HostPath(dos + "new.TXT"), big + "/new.TXT");
    EXPECT_EQ(HostPath(dos + "other.TXT"), big + "/Other.txt");
    EXPECT_EQ(HostPath(exact + "new.txt"), big + "/new.txt");
    ASSERT_EQ(::unlink((big + "/Other.txt").c_str()), 0);
    EXPECT_EQ(HostPath(dos + "other.TXT"), big + "/other.TXT");
    EXPECT_EQ(HostPath(exact + "other.TXT"), big + "/other.TXT");

    // Of several spellings the smallest wins, also as they come and go.
    create(big + "/mIx");
    EXPECT_EQ(HostPath(dos + "MIx"), big + "/mIx");
    create(big + "/Mix");
    EXPECT_EQ(HostPath(dos + "MIx"), big + "/Mix");
    EXPECT_EQ(HostPath(exact + "MIX"), big + "/Mix");
    ASSERT_EQ(::unlink((big + "/Mix").c_str()), 0);
    EXPECT_EQ(HostPath(dos + "MIx"), big + "/mIx");

    // The folder replaced by another (its inode may well be reused).
    orvik_testing::RemoveTree(big);
    ASSERT_EQ(::mkdir(big.c_str(), 0777), 0);
    for (int i = 0; i < 100; ++i) create(big + "/file" + std::to_string(i));
    EXPECT_EQ(HostPath(dos + "FILE7"), big + "/file7");
    EXPECT_EQ(HostPath(dos + "Mix"), big + "/Mix");
  }
}

// Two threads create and map names in one large folder; each sees its own
// new names at once.
TEST_F(DosPathTest, ThreadsShareLargeFolderLookUps) {
  const std::string big = driveC_ + "/Shared";
  ASSERT_EQ(::mkdir(big.c_str(), 0777), 0);
  for (int i = 0; i < 100; ++i) ::close(::open((big + "/f" + std::to_string(i)).c_str(), O_CREAT | O_WRONLY, 0644));
  auto work = [&](const std::string& stem, int* misses) {
    for (int i = 0; i < 200; ++i) {
      std::string name = stem + std::to_string(i), missing = stem + "x" + std::to_string(i);
      ::close(::open((big + "/" + name).c_str(), O_CREAT | O_WRONLY, 0644));
      std::string upper = name;
      for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
      if (HostPath("C:\\shared\\" + upper) != big + "/" + name) ++*misses;
      if (HostPath("C:\\shared\\" + missing) != big + "/" + missing) ++*misses;
    }
  };
  int missesA = 0, missesB = 0;
  std::thread a(work, "Ab", &missesA), b(work, "Ba", &missesB);
  a.join();
  b.join();
  EXPECT_EQ(missesA, 0);
  EXPECT_EQ(missesB, 0);
}

TEST_F(DosPathTest, MissingComponentsKeepTheirCase) {
  ASSERT_EQ(::mkdir((driveC_ + "/orvik").c_str(), 0777), 0);
  EXPECT_EQ(HostPath("C:\\ORVIK\\NewDir\\Sub\\File.TXT"), driveC_ + "/orvik/NewDir/Sub/File.TXT");
}

TEST_F(DosPathTest, RepeatedSeparatorsCountAsOne) {
  ASSERT_EQ(::mkdir((driveC_ + "/a").c_str(), 0777), 0);
  EXPECT_EQ(HostPath("C:\\\\a//\\b"), driveC_ + "/a/b");
  EXPECT_EQ(FullDosPath("C:/a\\\\b/"), "C:\\a\\b");
}

TEST_F(DosPathTest, DotsAreFoldedAndStopAtTheRoot) {
  EXPECT_EQ(FullDosPath("C:\\a\\.\\b\\..\\c"), "C:\\a\\c");
  EXPECT_EQ(FullDosPath("C:\\..\\..\\x"), "C:\\x");
  EXPECT_EQ(FullDosPath("C:\\a\\.."), "C:\\");
  EXPECT_EQ(HostPath("C:\\..\\windows"), driveC_ + "/windows");
}

TEST_F(DosPathTest, DriveLettersIgnoreCaseAndUnmappedDrivesGiveEmpty) {
  EXPECT_EQ(HostPath("c:\\windows"), driveC_ + "/windows");
  EXPECT_EQ(FullDosPath("c:\\windows"), "C:\\windows");
  EXPECT_EQ(HostPath("Q:\\anything"), "");
  EXPECT_EQ(HostPath(""), "");
}

TEST_F(DosPathTest, MappedDriveReachesItsTarget) {
  ASSERT_TRUE(MapDrive('A', work_));
  orvik_testing::WriteFile(work_ + "/SETUP.EXE", "x");
  EXPECT_EQ(HostPath("a:\\setup.exe"), work_ + "/SETUP.EXE");
  EXPECT_EQ(HostPath("A:\\"), work_);
  // Mapping again replaces the link.
  std::string other = root_ + "/other";
  ASSERT_EQ(::mkdir(other.c_str(), 0777), 0);
  ASSERT_TRUE(MapDrive('a', other));
  EXPECT_EQ(HostPath("A:\\x"), other + "/x");
  // A target that is gone leaves the link itself; one made again is reached.
  ASSERT_EQ(::rmdir(other.c_str()), 0);
  EXPECT_EQ(HostPath("A:\\x"), prefix_ + "/dosdevices/a:/x");
  ASSERT_EQ(::mkdir(other.c_str(), 0777), 0);
  EXPECT_EQ(HostPath("A:\\x"), other + "/x");
}

// A drive link is resolved once and reused while its folder reports no
// change: a link replaced in any way, by any program, is followed at once.
TEST_F(DosPathTest, DriveLinkReplacedInAnyWayIsFollowedAtOnce) {
  const std::string one = root_ + "/one", two = root_ + "/two";
  ASSERT_EQ(::mkdir(one.c_str(), 0777), 0);
  ASSERT_EQ(::mkdir(two.c_str(), 0777), 0);
  const std::string link = prefix_ + "/dosdevices/e:";
  for (bool watch : {true, false}) {
    detail::ResetFolderNames(watch);
    ASSERT_TRUE(MapDrive('e', one));
    EXPECT_EQ(HostPath("E:\\f"), one + "/f");
    EXPECT_EQ(HostPath("E:\\f"), one + "/f");
    ASSERT_EQ(::symlink(two.c_str(), (link + ".new").c_str()), 0);
    ASSERT_EQ(::rename((link + ".new").c_str(), link.c_str()), 0);
    EXPECT_EQ(HostPath("E:\\f"), two + "/f") << "watch " << watch;
    ASSERT_EQ(::unlink(link.c_str()), 0);
    ASSERT_EQ(::symlink(one.c_str(), link.c_str()), 0);
    EXPECT_EQ(HostPath("E:\\f"), one + "/f") << "watch " << watch;
  }
  detail::ResetFolderNames(true);
}

TEST_F(DosPathTest, ZDriveIsTheHostRoot) {
  EXPECT_EQ(HostPath("Z:\\tmp"), "/tmp");
  EXPECT_EQ(HostPath("Z:\\"), "/");
}

TEST_F(DosPathTest, UncPathsGoThroughUncFolder) {
  std::string share = prefix_ + "/dosdevices/unc/server/share";
  ASSERT_EQ(::mkdir((prefix_ + "/dosdevices/unc/server").c_str(), 0777), 0);
  ASSERT_EQ(::mkdir(share.c_str(), 0777), 0);
  EXPECT_EQ(HostPath("\\\\SERVER\\Share\\proc\\x.pro"), share + "/proc/x.pro");
  EXPECT_EQ(HostPath("//server/share"), share);
  EXPECT_EQ(FullDosPath("\\\\server\\share\\a\\..\\..\\b"), "\\\\server\\share\\b");
  EXPECT_EQ(HostPath("\\\\server\\missing\\x"), "");
  EXPECT_EQ(HostPath("\\\\server"), "");
  ASSERT_TRUE(MapShare("nas", "procs", work_));
  EXPECT_EQ(HostPath("\\\\NAS\\PROCS\\a"), work_ + "/a");
}

TEST_F(DosPathTest, RelativePathsStartAtTheCurrentDirectory) {
  ASSERT_EQ(::mkdir((driveC_ + "/orvik").c_str(), 0777), 0);
  ASSERT_EQ(::mkdir((driveC_ + "/orvik/proc").c_str(), 0777), 0);
  ASSERT_EQ(_chdir("c:\\ORVIK\\proc\\"), 0);
  char buf[MAX_PATH];
  ASSERT_NE(_getcwd(buf, sizeof buf), nullptr);
  EXPECT_STREQ(buf, "C:\\ORVIK\\proc");
  EXPECT_EQ(FullDosPath("x.pro"), "C:\\ORVIK\\proc\\x.pro");
  EXPECT_EQ(FullDosPath("..\\pic"), "C:\\ORVIK\\pic");
  EXPECT_EQ(FullDosPath("\\windows"), "C:\\windows");
  EXPECT_EQ(FullDosPath("C:x"), "C:\\ORVIK\\proc\\x");
  EXPECT_EQ(HostPath("x.pro"), driveC_ + "/orvik/proc/x.pro");
  // The host's own current directory follows, for child programs.
  char host[PATH_MAX];
  ASSERT_NE(::getcwd(host, sizeof host), nullptr);
  EXPECT_EQ(std::string(host), driveC_ + "/orvik/proc");
}

TEST_F(DosPathTest, DriveRelativeOnAnotherDriveStartsAtItsRoot) {
  ASSERT_TRUE(MapDrive('d', work_));
  EXPECT_EQ(FullDosPath("D:setup.exe"), "D:\\setup.exe");
}

TEST_F(DosPathTest, ChdirRefusesMissingFoldersAndFiles) {
  orvik_testing::WriteFile(driveC_ + "/file.txt", "x");
  EXPECT_EQ(_chdir("C:\\nowhere"), -1);
  EXPECT_EQ(_chdir("C:\\file.txt"), -1);
  EXPECT_EQ(_chdir("Q:\\"), -1);
  char buf[MAX_PATH];
  ASSERT_NE(_getcwd(buf, sizeof buf), nullptr);
  EXPECT_STREQ(buf, "C:\\");
}

TEST_F(DosPathTest, GetcwdRefusesASmallBuffer) {
  char small[3];
  EXPECT_EQ(_getcwd(small, sizeof small), nullptr);
  char fits[4];
  EXPECT_NE(_getcwd(fits, sizeof fits), nullptr);
  EXPECT_STREQ(fits, "C:\\");
}

TEST_F(DosPathTest, CurrentDirectoryStartsFromTheHostDirectory) {
  ASSERT_EQ(::mkdir((driveC_ + "/start").c_str(), 0777), 0);
  ASSERT_EQ(::chdir((driveC_ + "/start").c_str()), 0);
  ResetPlatformForTesting();
  char buf[MAX_PATH];
  ASSERT_NE(_getcwd(buf, sizeof buf), nullptr);
  EXPECT_STREQ(buf, "C:\\start");
}

TEST_F(DosPathTest, ReverseMappingTakesTheLongestDrive) {
  ASSERT_EQ(::mkdir((driveC_ + "/orvik").c_str(), 0777), 0);
  EXPECT_EQ(DosPath(driveC_ + "/orvik"), "C:\\orvik");
  EXPECT_EQ(DosPath(driveC_), "C:\\");
  EXPECT_EQ(DosPath(driveC_ + "/orvik/missing/file.txt"), "C:\\orvik\\missing\\file.txt");
  EXPECT_EQ(DosPath("/usr/bin"), "Z:\\usr\\bin");
  ASSERT_TRUE(MapDrive('D', work_));
  EXPECT_EQ(DosPath(work_ + "/sub/x.lst"), "D:\\sub\\x.lst");
  // Through the drive's own link too: realpath on both sides.
  EXPECT_EQ(DosPath(prefix_ + "/dosdevices/c:/orvik"), "C:\\orvik");
  EXPECT_EQ(DosPath(driveC_ + "/./orvik/../orvik"), "C:\\orvik");
}

TEST_F(DosPathTest, ReverseMappingOfTheRunningProgramIsOnZ) {
  char exe[PATH_MAX] = {};
  ASSERT_GT(::readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
  std::string dos = DosPath(exe);
  ASSERT_GE(dos.size(), 3u);
  EXPECT_EQ(dos.substr(0, 3), "Z:\\");
  EXPECT_EQ(HostPath(dos), std::string(exe));
}

TEST_F(DosPathTest, ReverseMappingFailsWithoutACoveringDrive) {
  ASSERT_EQ(::unlink((prefix_ + "/dosdevices/z:").c_str()), 0);
  EXPECT_EQ(DosPath("/usr/bin"), "");
  EXPECT_EQ(DosPath(driveC_ + "/x"), "C:\\x");
}

}  // namespace
}  // namespace platform
