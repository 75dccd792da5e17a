// A file system mounted read-only (a write-protected medium): new files are
// refused with 19, and an exclusive create of a taken name with 80. Needs
// the right to mount; skipped by name where the host refuses it.
#include <sys/mount.h>
#include <sys/stat.h>

#include "platform/dos_path.h"
#include "platform/hfile.h"
#include "testing/host_files.h"
#include "testing/prefix_test.h"

namespace platform {
namespace {

class ReadOnlyMountTest : public orvik_testing::PrefixTest {
 protected:
  void TearDown() override {
    if (mounted_) ::umount(mount_.c_str());
    PrefixTest::TearDown();
  }
  std::string mount_;
  bool mounted_ = false;
};

TEST_F(ReadOnlyMountTest, CreatingOnAReadOnlyMountIsWriteProtected) {
  mount_ = root_ + "/medium";
  ASSERT_EQ(::mkdir(mount_.c_str(), 0777), 0);
  if (::mount("none", mount_.c_str(), "tmpfs", 0, "size=64k") != 0) GTEST_SKIP() << "needs the right to mount";
  mounted_ = true;
  orvik_testing::WriteFile(mount_ + "/TAKEN.TXT", "x");
  ASSERT_EQ(::mount("none", mount_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
  ASSERT_TRUE(MapDrive('m', mount_));
  for (UINT style : {UINT(OF_CREATE | OF_CREATE_NEW | OF_WRITE), UINT(OF_CREATE | OF_WRITE), UINT(OF_WRITE)}) {
    OFSTRUCT of;
    EXPECT_EQ(OpenFile("M:\\NEW.TXT", &of, style), HFILE_ERROR);
    EXPECT_EQ(of.nErrCode, ERROR_WRITE_PROTECT) << style;
    EXPECT_EQ(OpenFile("M:\\TAKEN.TXT", &of, style), HFILE_ERROR);
    EXPECT_EQ(of.nErrCode, (style & OF_CREATE_NEW) ? ERROR_FILE_EXISTS : ERROR_WRITE_PROTECT) << style;
  }
  OFSTRUCT of;
  HFILE read = OpenFile("M:\\TAKEN.TXT", &of, OF_READ);
  ASSERT_NE(read, HFILE_ERROR);
  EXPECT_EQ(_lclose(read), 0);
}

}  // namespace
}  // namespace platform
