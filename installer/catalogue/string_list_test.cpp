#include "installer/catalogue/string_list.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "installer/catalogue/plain_file_name.h"

namespace {

std::vector<std::string> Walk(const catalogue::StringList& list) {
  std::vector<std::string> seen;
  catalogue::POSITION pos = list.GetHeadPosition();
  while (pos != 0) seen.push_back(list.GetNextName(pos));
  return seen;
}

TEST(StringList, KeepsInsertionOrderAndDuplicates) {
  catalogue::StringList list;
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_EQ(list.GetHeadPosition(), 0u);
  list.AddTail("b");
  list.AddTail("a");
  list.AddTail("b");
  EXPECT_EQ(list.GetCount(), 3);
  EXPECT_EQ(Walk(list), (std::vector<std::string>{"b", "a", "b"}));
  EXPECT_EQ(list.GetAt(1), "a");
}

TEST(StringList, GetNextNameEndsWithPositionZero) {
  catalogue::StringList list;
  list.AddTail("x");
  list.AddTail("y");
  catalogue::POSITION pos = list.GetHeadPosition();
  EXPECT_EQ(list.GetNextName(pos), "x");
  EXPECT_EQ(list.GetNextName(pos), "y");
  EXPECT_EQ(pos, 0u);
  // Walking on from no position, or from one past the end, is harmless.
  EXPECT_EQ(list.GetNextName(pos), "");
  EXPECT_EQ(pos, 0u);
  pos = 7;
  EXPECT_EQ(list.GetNextName(pos), "");
  EXPECT_EQ(pos, 0u);
  EXPECT_EQ(list.GetAt(-1), "");
  EXPECT_EQ(list.GetAt(2), "");
}

// Short lists are scanned, long ones use the sets: both must agree.
class StringListSizes : public ::testing::TestWithParam<int> {};

TEST_P(StringListSizes, ContainsExactAndIgnoringCase) {
  catalogue::StringList list;
  for (int i = 0; i < GetParam(); ++i) list.AddTail("File" + std::to_string(i) + ".PRO");
  list.AddTail("Mixed.Dat");
  EXPECT_TRUE(list.Contains("Mixed.Dat"));
  EXPECT_FALSE(list.Contains("mixed.dat"));
  EXPECT_TRUE(list.ContainsNoCase("mixed.dat"));
  EXPECT_TRUE(list.ContainsNoCase("MIXED.DAT"));
  EXPECT_FALSE(list.ContainsNoCase("Mixed.Da"));
  EXPECT_FALSE(list.ContainsNoCase("Mixed.Dat "));
  if (GetParam() > 0) {
    EXPECT_TRUE(list.ContainsNoCase("file0.pro"));
    EXPECT_FALSE(list.Contains("file0.pro"));
  }
  list.RemoveAll();
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_FALSE(list.Contains("Mixed.Dat"));
  EXPECT_FALSE(list.ContainsNoCase("mixed.dat"));
  // Refilled after emptying: the sets follow again.
  for (int i = 0; i < GetParam(); ++i) list.AddTail("Other" + std::to_string(i));
  list.AddTail("Back");
  EXPECT_TRUE(list.ContainsNoCase("BACK"));
  EXPECT_FALSE(list.ContainsNoCase("mixed.dat"));
}

INSTANTIATE_TEST_SUITE_P(Lengths, StringListSizes, ::testing::Values(0, 3, 7, 8, 9, 50));

TEST(StringList, CopiesAreIndependentAndKeepTheirSets) {
  catalogue::StringList list;
  for (int i = 0; i < 20; ++i) list.AddTail("n" + std::to_string(i));
  catalogue::StringList copy = list;
  copy.AddTail("Extra");
  EXPECT_TRUE(copy.ContainsNoCase("extra"));
  EXPECT_FALSE(list.ContainsNoCase("extra"));
  EXPECT_TRUE(copy.ContainsNoCase("N19"));
  EXPECT_EQ(copy.GetCount(), 21);
  EXPECT_EQ(list.GetCount(), 20);
}

TEST(PlainFileName, RefusesNamesThatLeaveTheFolder) {
  EXPECT_TRUE(catalogue::IsPlainFileName("ABC.PRO"));
  EXPECT_TRUE(catalogue::IsPlainFileName("pic 1.bmp"));
  EXPECT_TRUE(catalogue::IsPlainFileName("...x"));
  EXPECT_FALSE(catalogue::IsPlainFileName(""));
  EXPECT_FALSE(catalogue::IsPlainFileName("."));
  EXPECT_FALSE(catalogue::IsPlainFileName(".."));
  EXPECT_FALSE(catalogue::IsPlainFileName("..\\win.ini"));
  EXPECT_FALSE(catalogue::IsPlainFileName("sub/a.pro"));
  EXPECT_FALSE(catalogue::IsPlainFileName("c:a.pro"));
  EXPECT_FALSE(catalogue::IsPlainFileName("\\a.pro"));
  EXPECT_FALSE(catalogue::IsPlainFileName(std::string("a.pro\0x", 7)));
}

}  // namespace
