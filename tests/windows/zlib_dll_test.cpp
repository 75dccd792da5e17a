// zlib.dll as the Windows build ships it: a program linked through the
// import library loads it by that name from beside the programs and reads
// back what it wrote.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <string>

namespace {

TEST(ZlibDllTest, WritesAndReadsBackAGzipFile) {
  std::string path = ::testing::TempDir() + "zlib_dll_test.gz";
  std::string text;
  for (int i = 0; i < 2000; ++i) text += "line " + std::to_string(i) + "\r\n";

  gzFile out = gzopen(path.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(gzwrite(out, text.data(), static_cast<unsigned>(text.size())), static_cast<int>(text.size()));
  ASSERT_EQ(gzclose(out), Z_OK);

  gzFile in = gzopen(path.c_str(), "rb");
  ASSERT_NE(in, nullptr);
  std::string back;
  char buffer[16384];
  int count;
  while ((count = gzread(in, buffer, sizeof buffer)) > 0) back.append(buffer, static_cast<size_t>(count));
  EXPECT_EQ(count, 0);
  EXPECT_EQ(gzclose(in), Z_OK);
  EXPECT_EQ(back, text);
  std::remove(path.c_str());
}

}  // namespace
