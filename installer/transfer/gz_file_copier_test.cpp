// The decompressing copy: whole streams, plain files, and every way a copy
// can fail without harming the target.
#include <zlib.h>

#include <filesystem>
#include <map>
#include <thread>

#include <gtest/gtest.h>

#include "installer/transfer/decoded_payload.h"
#include "installer/transfer/gz_file_copier.h"
#include "testing/transfer_test.h"
#include "platform/flush.h"
#include "platform/fault_injector.h"
#include "platform/hfile.h"
#include "testing/host_platform.h"
#include "testing/host_files.h"

namespace xfertest {
namespace {

// Each case runs twice: with Copy, which decodes as it writes, and with
// CopyDecoded fed by another thread, as the copy worker does.
class GzCopyTest : public TransferTest, public ::testing::WithParamInterface<bool> {
 protected:
  bool Decoded() const { return GetParam(); }
  void SetUp() override {
    TransferTest::SetUp();
    Insert("cd");
  }
  std::string Source(const std::string& name) const { return Medium("cd") + "/proc_data/" + name; }
  std::string Target(const std::string& name) const { return CHost("orvik/data/" + name); }
  // No file of a copy in progress is left beside the targets.
  void ExpectNoPartFiles() const {
    for (const std::string& name : HostNames(CHost("orvik/data")))
      EXPECT_EQ(name.find(".~ov"), std::string::npos) << name;
  }
  // The boxes shown, in order, hold these parts.
  void ExpectBoxes(const std::vector<std::string>& parts) const {
    std::vector<BoxLine> boxes = Boxes();
    ASSERT_EQ(boxes.size(), parts.size());
    for (size_t i = 0; i < parts.size(); ++i) {
      EXPECT_NE(boxes[i].text.find(parts[i]), std::string::npos) << boxes[i].text;
      EXPECT_EQ(boxes[i].caption, "ORVIK - Procedure Installation");
    }
  }
  int Copy(const std::string& source, const std::string& target) {
    return CopyFile("D:\\proc_data\\" + source, "C:\\orvik\\data\\" + target);
  }
  int CopyFile(const std::string& source, const std::string& target,
               std::int64_t declared = transfer::GzFileCopier::kUndeclared, transfer::GzFileCopier* copier = nullptr) {
    if (copier == nullptr) copier = &copier_;
    if (!Decoded()) return copier->Copy(source, target, declared);
    const std::uint64_t limit =
        declared == transfer::GzFileCopier::kUndeclared ? UINT64_MAX : transfer::GzFileCopier::SizeLimit(declared);
    std::shared_ptr<transfer::DecodedPayload> payload = transfer::DecodedPayload::Open(source, declared, limit);
    std::thread decoder([&payload] { payload->Pump(); });
    const int result = copier->CopyDecoded(source, target, declared, *payload);
    decoder.join();
    return result;
  }
  // A gzip file of `contents` as bytes.
  std::string Gzip(const std::string& contents) {
    WriteGzipHost(root_ + "/scratch.gz", contents);
    return orvik_testing::ReadFile(root_ + "/scratch.gz");
  }

  transfer::GzFileCopier copier_;
};

TEST_P(GzCopyTest, DecompressesAStreamOfManyChunks) {
  const std::string data = Payload(5 * transfer::GzFileCopier::kChunk + 123, 1) + TextPayload(300000, 2);
  AddPayload("cd", "BIG.DAT", data);
  EXPECT_EQ(Copy("BIG.DAT", "BIG.DAT"), 1);
  EXPECT_EQ(orvik_testing::ReadFile(Target("BIG.DAT")), data);
  EXPECT_EQ(LineCount("box "), 0);
  ExpectNoPartFiles();
}

TEST_P(GzCopyTest, SourceWithoutCompressionIsCopiedUnchanged) {
  const std::string data = "plain text, not gzip\r\n" + Payload(40000, 3);
  AddPayload("cd", "PLAIN.TXT", data, false);
  EXPECT_EQ(Copy("PLAIN.TXT", "PLAIN.TXT"), 1);
  EXPECT_EQ(orvik_testing::ReadFile(Target("PLAIN.TXT")), data);
  EXPECT_EQ(LineCount("box "), 0);
}

TEST_P(GzCopyTest, EmptySourcesGiveEmptyTargets) {
  AddPayload("cd", "EMPTY.GZ", "");
  AddPayload("cd", "EMPTY.TXT", "", false);
  EXPECT_EQ(Copy("EMPTY.GZ", "E1"), 1);
  EXPECT_EQ(Copy("EMPTY.TXT", "E2"), 1);
  EXPECT_TRUE(orvik_testing::Exists(Target("E1")));
  EXPECT_EQ(orvik_testing::ReadFile(Target("E1")), "");
  EXPECT_EQ(orvik_testing::ReadFile(Target("E2")), "");
  EXPECT_EQ(LineCount("box "), 0);
}

TEST_P(GzCopyTest, ReplacesAnExistingTargetUnderTheListedName) {
  SKIP_UNLESS_POSIX("on Windows the file system decides the letter case of a replaced file's name");
  AddPayload("cd", "NEW.DAT", "new contents");
  orvik_testing::WriteFile(Target("new.dat"), "old contents");
  EXPECT_EQ(Copy("NEW.DAT", "NEW.DAT"), 1);
  EXPECT_EQ(HostNames(CHost("orvik/data")), (std::vector<std::string>{"NEW.DAT"}));
  EXPECT_EQ(orvik_testing::ReadFile(Target("NEW.DAT")), "new contents");
}

TEST_P(GzCopyTest, SamePathsAreRefusedWith8586) {
  AddPayload("cd", "X.DAT", "x");
  Answers({"box contains \"The source file D:\\proc_data\\X.DAT and the target file D:\\proc_data\\X.DAT\" OK"});
  EXPECT_EQ(CopyFile("D:\\proc_data\\X.DAT", "D:\\proc_data\\X.DAT"), 0);
  ExpectBoxes({"The source file D:\\proc_data\\X.DAT and the target file D:\\proc_data\\X.DAT are the same file."});
  EXPECT_EQ(orvik_testing::ReadFile(Source("X.DAT")), Gzip("x"));
}

TEST_P(GzCopyTest, MissingSourceIsSkippedWith8587) {
  orvik_testing::WriteFile(Target("KEEP.DAT"), "good");
  Answers({"box contains \"The source file D:\\proc_data\\KEEP.DAT cannot be opened\" OK"});
  EXPECT_EQ(Copy("KEEP.DAT", "KEEP.DAT"), 0);
  ExpectBoxes({"The source file D:\\proc_data\\KEEP.DAT cannot be opened."});
  EXPECT_EQ(orvik_testing::ReadFile(Target("KEEP.DAT")), "good");
  ExpectNoPartFiles();
}

TEST_P(GzCopyTest, ReadOnlyTargetIsSkippedWith8588) {
  AddPayload("cd", "RO.DAT", "new");
  orvik_testing::WriteFile(Target("RO.DAT"), "kept");
  orvik_testing::ChangeMode(Target("RO.DAT"), 0444);
  // Wine run as root lets read-only files be written: there the file is in use too.
  orvik_testing::FileInUse inUse(Target("RO.DAT"));
  Answers({"box contains \"The target file C:\\orvik\\data\\RO.DAT cannot be opened for writing\" OK"});
  EXPECT_EQ(Copy("RO.DAT", "RO.DAT"), 0);
  ExpectBoxes({"C:\\orvik\\data\\RO.DAT cannot be opened for writing"});
  EXPECT_EQ(orvik_testing::ReadFile(Target("RO.DAT")), "kept");
  ExpectNoPartFiles();
}

TEST_P(GzCopyTest, TargetHeldByAnotherProgramIsSkippedWith8588) {
  AddPayload("cd", "HELD.DAT", "new");
  orvik_testing::WriteFile(Target("HELD.DAT"), "in use");
  platform::OFSTRUCT of;
  platform::HFILE held = platform::OpenFile("C:\\orvik\\data\\HELD.DAT", &of,
                                            platform::OF_READ | platform::OF_SHARE_DENY_WRITE);
  ASSERT_NE(held, platform::HFILE_ERROR);
  Answers({"box contains C:\\orvik\\data\\HELD.DAT OK"});
  EXPECT_EQ(Copy("HELD.DAT", "HELD.DAT"), 0);
  platform::_lclose(held);
  ExpectBoxes({"C:\\orvik\\data\\HELD.DAT cannot be opened for writing"});
  EXPECT_EQ(orvik_testing::ReadFile(Target("HELD.DAT")), "in use");
}

TEST_P(GzCopyTest, FolderInPlaceOfTheTargetOrMissingFolderIs8588) {
  AddPayload("cd", "F.DAT", "x");
  std::filesystem::create_directories(Target("F.DAT"));
  Answers({"box contains \"C:\\orvik\\data\\F.DAT cannot be opened\" OK",
           "box contains \"C:\\orvik\\nowhere\\F.DAT cannot be opened\" OK"});
  EXPECT_EQ(Copy("F.DAT", "F.DAT"), 0);
  EXPECT_EQ(CopyFile("D:\\proc_data\\F.DAT", "C:\\orvik\\nowhere\\F.DAT"), 0);
  ExpectBoxes({"C:\\orvik\\data\\F.DAT cannot be opened for writing",
               "C:\\orvik\\nowhere\\F.DAT cannot be opened for writing"});
}

TEST_P(GzCopyTest, CorruptStreamLeavesTheGoodTargetAlone) {
  std::string bytes = Gzip(TextPayload(200000, 4));
  bytes[bytes.size() / 2] ^= 0x55;
  bytes[bytes.size() / 2 + 1] ^= 0x55;
  orvik_testing::WriteFile(Source("BAD.DAT"), bytes);
  orvik_testing::WriteFile(Target("BAD.DAT"), "the good old file");
  Answers({"box contains \"A read error occurred while decompressing\" OK"});
  EXPECT_EQ(Copy("BAD.DAT", "BAD.DAT"), 1);
  ExpectBoxes({"A read error occurred while decompressing"});
  EXPECT_EQ(orvik_testing::ReadFile(Target("BAD.DAT")), "the good old file");
  ExpectNoPartFiles();
}

TEST_P(GzCopyTest, WrongChecksumLeavesNoTargetBehind) {
  std::string bytes = Gzip("short text that decodes fine");
  bytes[bytes.size() - 8] ^= 0x01;  // the CRC in the trailer
  orvik_testing::WriteFile(Source("CRC.DAT"), bytes);
  Answers({"box contains \"read error\" OK"});
  EXPECT_EQ(Copy("CRC.DAT", "CRC.DAT"), 1);
  ExpectBoxes({"A read error occurred while decompressing"});
  EXPECT_FALSE(orvik_testing::Exists(Target("CRC.DAT")));
  ExpectNoPartFiles();
}

TEST_P(GzCopyTest, TruncatedStreamIsCaughtAtCloseAndNeverReplacesTheTarget) {
  std::string bytes = Gzip(Payload(100000, 5));
  orvik_testing::WriteFile(Source("CUT.DAT"), bytes.substr(0, bytes.size() / 2));
  orvik_testing::WriteFile(Source("TAIL.DAT"), bytes.substr(0, bytes.size() - 4));  // only the length is missing
  orvik_testing::WriteFile(Target("CUT.DAT"), "previous");
  Answers({"box contains \"could not be closed properly\" OK", "box contains \"could not be closed properly\" OK"});
  EXPECT_EQ(Copy("CUT.DAT", "CUT.DAT"), 1);
  EXPECT_EQ(Copy("TAIL.DAT", "TAIL.DAT"), 1);
  ExpectBoxes({"could not be closed properly", "could not be closed properly"});
  EXPECT_EQ(orvik_testing::ReadFile(Target("CUT.DAT")), "previous");
  EXPECT_FALSE(orvik_testing::Exists(Target("TAIL.DAT")));
  ExpectNoPartFiles();
}

TEST_P(GzCopyTest, WriteErrorLeavesTheGoodTargetAlone) {
  AddPayload("cd", "W.DAT", Payload(100000, 6));
  orvik_testing::WriteFile(Target("W.DAT"), "old");
  int writes = 0;
  platform::FaultInjector faults;
  faults.FilterWrites([this, &writes](platform::HFILE, platform::UINT count) {
    // A short write in the third chunk (the first, of a larger one, here).
    return ++writes == (Decoded() ? 1 : 3) ? count / 2 : count;
  });
  Answers({"box contains \"A write error occurred\" OK"});
  EXPECT_EQ(Copy("W.DAT", "W.DAT"), 1);
  ExpectBoxes({"A write error occurred while decompressing"});
  EXPECT_EQ(writes, Decoded() ? 1 : 3);
  EXPECT_EQ(orvik_testing::ReadFile(Target("W.DAT")), "old");
  ExpectNoPartFiles();
}

TEST_P(GzCopyTest, FullDiskLeavesNoPartialFile) {
  AddPayload("cd", "FULL.DAT", TextPayload(100000, 7));
  platform::FaultInjector faults;
  faults.FilterWrites([](platform::HFILE, platform::UINT) -> platform::UINT { return 0; });
  Answers({"box contains \"The target disk may be full\" OK"});
  EXPECT_EQ(Copy("FULL.DAT", "FULL.DAT"), 1);
  ExpectBoxes({"A write error occurred while decompressing"});
  EXPECT_FALSE(orvik_testing::Exists(Target("FULL.DAT")));
  ExpectNoPartFiles();
}

TEST_P(GzCopyTest, DataThatCannotBeFlushedNeverReplaceTheTarget) {
  AddPayload("cd", "F.DAT", "new");
  orvik_testing::WriteFile(Target("F.DAT"), "old");
  platform::ScopedFlushHook failing([](platform::FlushScope, const std::string&) { return platform::FALSE; });
  Answers({"box contains \"A write error occurred\" OK"});
  EXPECT_EQ(Copy("F.DAT", "F.DAT"), 1);
  ExpectBoxes({"A write error occurred while decompressing"});
  EXPECT_EQ(orvik_testing::ReadFile(Target("F.DAT")), "old");
  ExpectNoPartFiles();
}

TEST_P(GzCopyTest, LeftoverPartFileOfAnEarlierRunIsNotReused) {
  AddPayload("cd", "P.DAT", "fresh");
  orvik_testing::WriteFile(Target("P.DAT.~ov0"), "someone's file");
  orvik_testing::ChangeMode(Target("P.DAT.~ov0"), 0444);
  EXPECT_EQ(Copy("P.DAT", "P.DAT"), 1);
  EXPECT_EQ(orvik_testing::ReadFile(Target("P.DAT")), "fresh");
  EXPECT_EQ(orvik_testing::ReadFile(Target("P.DAT.~ov0")), "someone's file");
}

// A payload that inflates far past its disk-map size: the copy stops at the
// limit, nothing larger was ever written, the old target stays.
TEST_P(GzCopyTest, PayloadGrowingPastItsDeclaredSizeIsRefusedAtTheLimit) {
  std::filesystem::create_directories(Medium("cd") + "/proc_data");
  gzFile bomb = gzopen(Source("LEADS.BMP").c_str(), "wb9");
  ASSERT_NE(bomb, nullptr);
  const std::string zeros(1 << 20, '\0');
  for (int mb = 0; mb < 200; ++mb) ASSERT_EQ(gzwrite(bomb, zeros.data(), unsigned(zeros.size())), int(zeros.size()));
  ASSERT_EQ(gzclose(bomb), Z_OK);
  AddPayload("cd", "BIG.TXT", Payload(100000, 8), false);  // stored plain, larger than declared
  AddPayload("cd", "NEAR.DAT", Payload(5000, 9));           // within the margin
  orvik_testing::WriteFile(Target("LEADS.BMP"), "old picture");
  std::uint64_t written = 0;
  platform::FaultInjector faults;
  faults.FilterWrites([&written](platform::HFILE, platform::UINT count) {
    written += count;
    return count;
  });
  Answers({"box contains \"D:\\proc_data\\LEADS.BMP decompresses to more than the 4000 bytes\" OK",
           "box contains \"D:\\proc_data\\BIG.TXT decompresses to more than the 1000 bytes\" OK"});
  EXPECT_EQ(CopyFile("D:\\proc_data\\LEADS.BMP", "C:\\orvik\\data\\LEADS.BMP", 4000), 1);
  EXPECT_LE(written, transfer::GzFileCopier::SizeLimit(4000));
  EXPECT_EQ(CopyFile("D:\\proc_data\\BIG.TXT", "C:\\orvik\\data\\BIG.TXT", 1000), 1);
  EXPECT_EQ(CopyFile("D:\\proc_data\\NEAR.DAT", "C:\\orvik\\data\\NEAR.DAT", 4000), 1);
  faults.FilterWrites(nullptr);
  ExpectBoxes({"It was not installed", "It was not installed"});
  EXPECT_EQ(orvik_testing::ReadFile(Target("LEADS.BMP")), "old picture");
  EXPECT_FALSE(orvik_testing::Exists(Target("BIG.TXT")));
  EXPECT_EQ(orvik_testing::ReadFile(Target("NEAR.DAT")), Payload(5000, 9));
  ExpectNoPartFiles();
  EXPECT_EQ(transfer::GzFileCopier::SizeLimit(4000), 4000u + 65536u);
  EXPECT_EQ(transfer::GzFileCopier::SizeLimit(16 << 20), (16u << 20) + (1u << 20));
}

// A pipe or a device as the payload or in place of the target is refused
// at once; neither the open nor the copy waits or runs on.
TEST_P(GzCopyTest, PipesAndDevicesAreRefused) {
  SKIP_UNLESS_POSIX("links and named pipes");
  std::filesystem::create_directories(Medium("cd") + "/proc_data");
  ASSERT_TRUE(orvik_testing::MakeFifo(Source("PIPE.DAT")));
  ASSERT_TRUE(orvik_testing::MakeSymlink("/dev/zero", Source("ZERO.DAT")));
  AddPayload("cd", "GOOD.DAT", "good");
  ASSERT_TRUE(orvik_testing::MakeFifo(Target("GOOD.DAT")));
  Answers({"box contains \"D:\\proc_data\\PIPE.DAT is not a regular file\" OK",
           "box contains \"D:\\proc_data\\ZERO.DAT is not a regular file\" OK",
           "box contains \"C:\\orvik\\data\\GOOD.DAT is not a regular file\" OK"});
  EXPECT_EQ(Copy("PIPE.DAT", "PIPE.DAT"), 0);
  EXPECT_EQ(Copy("ZERO.DAT", "ZERO.DAT"), 0);
  EXPECT_EQ(Copy("GOOD.DAT", "GOOD.DAT"), 0);
  ExpectBoxes({"not a regular file", "not a regular file", "not a regular file"});
  EXPECT_EQ(HostNames(CHost("orvik/data")), std::vector<std::string>{"GOOD.DAT"});
}

// The file beside an existing target is always a new one: a link planted
// under a free name is never written through; a leftover of a killed run is
// cleared, another copy's file in progress is left alone.
TEST_P(GzCopyTest, FileBesideTheTargetIsNeverAPlantedLinkNorALiveCopysFile) {
  SKIP_UNLESS_POSIX("links and named pipes");
  AddPayload("cd", "LEADS.BMP", "fresh");
  orvik_testing::WriteFile(Target("LEADS.BMP"), "old");
  orvik_testing::WriteFile(root_ + "/victim", "victim");
  for (int n = 0; n < 999; ++n) {
    orvik_testing::WriteFile(Target("LEADS.BMP.~ov" + std::to_string(n)), "");
    orvik_testing::ChangeMode(Target("LEADS.BMP.~ov" + std::to_string(n)), 0444);
  }
  ASSERT_TRUE(orvik_testing::MakeSymlink(root_ + "/victim", Target("LEADS.BMP.~ov999")));
  Answers({"box contains \"LEADS.BMP cannot be opened for writing\" OK"});
  EXPECT_EQ(Copy("LEADS.BMP", "LEADS.BMP"), 0);
  EXPECT_EQ(orvik_testing::ReadFile(root_ + "/victim"), "victim");
  EXPECT_EQ(orvik_testing::ReadFile(Target("LEADS.BMP")), "old");

  AddPayload("cd", "A.BMP", "new");
  orvik_testing::WriteFile(Target("A.BMP"), "old");
  orvik_testing::WriteFile(Target("A.BMP.~ov0"), "left by a killed installer");
  orvik_testing::WriteFile(Target("A.BMP.~ov1"), "another installer's copy");
  platform::OFSTRUCT of;
  platform::HFILE live = platform::OpenFile("C:\\orvik\\data\\A.BMP.~ov1", &of,
                                            platform::OF_READ | platform::OF_SHARE_DENY_WRITE);
  ASSERT_NE(live, platform::HFILE_ERROR);
  EXPECT_EQ(Copy("A.BMP", "A.BMP"), 1);
  platform::_lclose(live);
  EXPECT_EQ(orvik_testing::ReadFile(Target("A.BMP")), "new");
  EXPECT_FALSE(orvik_testing::Exists(Target("A.BMP.~ov0")));
  EXPECT_EQ(orvik_testing::ReadFile(Target("A.BMP.~ov1")), "another installer's copy");
}

// A finished file waiting in a batch stays locked: another installer
// writing the same target on a shared folder never takes it for a leftover.
TEST_P(GzCopyTest, FileWaitingInABatchIsNoLeftoverForAnotherCopy) {
  AddPayload("cd", "LEADS.BMP", "first");
  platform::ReplaceBatch batch;
  transfer::GzFileCopier batched(&batch);
  EXPECT_EQ(CopyFile("D:\\proc_data\\LEADS.BMP", "C:\\orvik\\data\\LEADS.BMP", transfer::GzFileCopier::kUndeclared, &batched), 1);
  ASSERT_EQ(batch.Size(), 1u);
  AddPayload("cd", "LEADS.BMP", "second");
  EXPECT_EQ(Copy("LEADS.BMP", "LEADS.BMP"), 1);
  EXPECT_EQ(orvik_testing::ReadFile(Target("LEADS.BMP")), "second");
  EXPECT_TRUE(batch.PutInPlace().empty());
  EXPECT_EQ(orvik_testing::ReadFile(Target("LEADS.BMP")), "first");
  ExpectNoPartFiles();
}

TEST_P(GzCopyTest, CopyStreamReportsAFailedOutputClose) {
  AddPayload("cd", "C.DAT", "abc");
  gzFile input = gzopen(Source("C.DAT").c_str(), "rb");
  ASSERT_NE(input, nullptr);
  platform::HFILE output = platform::_lcreat("C:\\orvik\\data\\C.DAT", 0);
  ASSERT_NE(output, platform::HFILE_ERROR);
  platform::_lclose(output);  // closing it again fails
  Answers({"box contains \"A write error\" OK", "box contains \"could not be closed\" OK"});
  EXPECT_EQ(copier_.CopyStream(input, output), 0);
  ExpectBoxes({"A write error occurred", "The target file could not be closed"});
}

// Files tried whole (declared sizes given) come out as zlib's reader gives
// them: members one after the other, bytes after the last member and files
// without compression as that reader takes them.
TEST_P(GzCopyTest, FilesDecodedWholeComeOutAsZlibsReaderGivesThem) {
  const std::string one = Gzip(TextPayload(50000, 11)), two = Gzip(TextPayload(7000, 12));
  const std::map<std::string, std::string> sources = {
      {"TWO.DAT", one + two},
      {"TAILZ.DAT", one + std::string(100, '\0')},
      {"PLAIN.DAT", TextPayload(3000, 13)},
      {"EMPTY.DAT", Gzip("")},
  };
  for (const auto& [name, bytes] : sources) {
    orvik_testing::WriteFile(Source(name), bytes);
    std::string expected;
    gzFile in = gzopen(Source(name).c_str(), "rb");
    ASSERT_NE(in, nullptr);
    char buffer[4096];
    for (int n; (n = gzread(in, buffer, sizeof buffer)) > 0;) expected.append(buffer, std::size_t(n));
    gzclose(in);
    EXPECT_EQ(CopyFile("D:\\proc_data\\" + name, "C:\\orvik\\data\\" + name, std::int64_t(expected.size())), 1);
    EXPECT_EQ(orvik_testing::ReadFile(Target(name)), expected) << name;
  }
  EXPECT_EQ(LineCount("box "), 0);
  ExpectNoPartFiles();
}

INSTANTIATE_TEST_SUITE_P(Ways, GzCopyTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "DecodedAhead" : "DecodedWhileWriting";
                         });

}  // namespace
}  // namespace xfertest
