// gzip payloads and the generated stand-in files of the sample medium.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <set>

#include "testing/host_platform.h"
#include "tools/mkmedia/gzip_payload.h"
#include "tools/mkmedia/host_files.h"
#include "tools/mkmedia/payload_generator.h"

namespace mkmedia {
namespace {

std::uint32_t Le32(const std::string& s, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(s[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 3])) << 24;
}

TEST(GzipPayload, RoundTripsAndIsTheSameEveryTime) {
  std::string data = GeneratePayload("DMM45.PRO") + std::string("\0\xff\r\n", 4);
  std::string gz = GzipBytes(data);
  ASSERT_GT(gz.size(), 18u);
  EXPECT_EQ(gz.substr(0, 3), "\x1f\x8b\x08");
  EXPECT_EQ(Le32(gz, 4), 0u);  // no time stamp
  EXPECT_EQ(gz[9], '\x03');     // the same system byte on every host
  EXPECT_LT(gz.size(), data.size());
  EXPECT_EQ(GzipBytes(data), gz);
  std::string back;
  ASSERT_TRUE(GunzipBytes(gz, &back));
  EXPECT_EQ(back, data);
  EXPECT_FALSE(GunzipBytes(gz.substr(0, gz.size() - 5), &back));
  EXPECT_FALSE(GunzipBytes("plain text", &back));
}

TEST(GzipPayload, ReadableThroughGzread) {
  // The installer reads payload with gzopen/gzread: check it the same way.
  std::string dir = orvik_testing::MakeTempFolder();
  std::string path = dir + "/x.gz";
  std::string data = GeneratePayload("LEADS.BMP");
  ASSERT_TRUE(WriteHostFile(path, GzipBytes(data), 0644));
  gzFile in = gzopen(path.c_str(), "rb");
  ASSERT_NE(in, nullptr);
  std::string read;
  char buffer[16384];
  int n;
  while ((n = gzread(in, buffer, sizeof buffer)) > 0) read.append(buffer, static_cast<std::size_t>(n));
  EXPECT_EQ(n, 0);
  EXPECT_EQ(gzclose(in), Z_OK);
  EXPECT_EQ(read, data);
  std::filesystem::remove_all(dir);
}

TEST(PayloadGenerator, SameNameSameBytesOtherNameOtherBytes) {
  for (const char* name : {"A.PRO", "B.BMP", "C.EXE", "D.DAT", "readme"}) {
    std::string a = GeneratePayload(name);
    EXPECT_FALSE(a.empty()) << name;
    EXPECT_EQ(GeneratePayload(name), a) << name;
  }
  EXPECT_NE(GeneratePayload("DMM45.PRO"), GeneratePayload("DMM46.PRO"));
  EXPECT_NE(GeneratePayload("DMM45.DAT"), GeneratePayload("DMM45.dat2"));
}

TEST(PayloadGenerator, KindFollowsTheExtensionInAnyCase) {
  std::string bmp = GeneratePayload("front.Bmp");
  ASSERT_GE(bmp.size(), 54u);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  EXPECT_EQ(Le32(bmp, 2), bmp.size());   // file size field
  EXPECT_EQ(Le32(bmp, 10), 54u);         // pixel offset
  std::uint32_t width = Le32(bmp, 18), height = Le32(bmp, 22);
  EXPECT_EQ(bmp.size(), 54u + ((width * 3 + 3) & ~3u) * height);
  EXPECT_EQ(GeneratePayload("X.pro").rfind("ORVIK COMPILED PROCEDURE", 0), 0u);
  EXPECT_EQ(GeneratePayload("X.exe").rfind("MZ", 0), 0u);
  EXPECT_NE(GeneratePayload("X.dat").find("point,nominal,lower,upper"), std::string::npos);
}

TEST(PayloadGenerator, WritesOnlyWhatIsMissing) {
  std::string dir = orvik_testing::MakeTempFolder();
  ASSERT_TRUE(WriteHostFile(dir + "/kelmar.lst",
                            "instrument==========\nP\nprocfile\nP.PRO\nfiles\nP.BMP\ndatafiles\nP.DAT\ncalibrator\n"
                            "R520\nend\n",
                            0644));
  ASSERT_TRUE(WriteHostFile(dir + "/p.bmp", "a real picture", 0644));
  int written = 0, kept = 0;
  std::vector<std::string> problems;
  ASSERT_TRUE(GenerateMissingPayloads(dir, &written, &kept, &problems));
  EXPECT_EQ(written, 2);
  EXPECT_EQ(kept, 1);
  std::string bytes;
  ASSERT_TRUE(ReadHostFile(dir + "/P.PRO", &bytes));
  EXPECT_EQ(bytes, GeneratePayload("P.PRO"));
  ASSERT_TRUE(ReadHostFile(dir + "/p.bmp", &bytes));
  EXPECT_EQ(bytes, "a real picture");
  // The picture is kept under its own spelling, with no second one beside it.
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) names.insert(entry.path().filename().string());
  EXPECT_EQ(names, (std::set<std::string>{"P.DAT", "P.PRO", "kelmar.lst", "p.bmp"}));

  // A name that is no plain file name: nothing is written.
  ASSERT_TRUE(WriteHostFile(dir + "/kelmar.lst",
                            "instrument==========\nQ\nprocfile\nQ.PRO\nfiles\n../escape.exe\ndatafiles\ncalibrator\n"
                            "R520\nend\n",
                            0644));
  EXPECT_FALSE(GenerateMissingPayloads(dir, &written, &kept, &problems));
  EXPECT_EQ(problems, (std::vector<std::string>{
                          "kelmar.lst:1: \"../escape.exe\" is not a plain file name that the media lists can carry"}));
  EXPECT_FALSE(std::filesystem::exists(dir + "/Q.PRO"));
  EXPECT_FALSE(std::filesystem::exists(dir + "/../escape.exe"));

  problems.clear();
  std::filesystem::remove(dir + "/kelmar.lst");
  EXPECT_FALSE(GenerateMissingPayloads(dir, &written, &kept, &problems));
  EXPECT_EQ(problems, (std::vector<std::string>{dir + "/kelmar.lst cannot be read"}));
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace mkmedia
