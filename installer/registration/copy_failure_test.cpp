// Filling the copy-failure texts of the message database safely.
#include "installer/registration/copy_failure.h"

#include <gtest/gtest.h>

#include "testing/selection_test.h"

namespace {

TEST(CopyFailure, FillsAStringThenAnInteger) {
  EXPECT_EQ(registration::FillCopyFailure("File %s failed (%d).", "A.PRO", 5), "File A.PRO failed (5).");
  EXPECT_EQ(registration::FillCopyFailure("%-6s|%04d|100%%", "A", 32), "A     |0032|100%");
  EXPECT_EQ(registration::FillCopyFailure("%.3s %x", "ABCDEF", 255), "ABC ff");
}

TEST(CopyFailure, FormatsThatCannotBeFilledAreShownAsTheyAre) {
  for (const char* format : {"%d %s", "%s", "%s %d %d", "%s %n", "%s %ld", "%*s %d", "%s %d %", "%s %9999d",
                             "%s %p", "no conversions"}) {
    EXPECT_EQ(registration::FillCopyFailure(format, "A.PRO", 2), format) << format;
  }
  // A zero byte is no conversion letter: printf would see a lone '%'.
  const std::string cut("%s %\0d", 6);
  EXPECT_EQ(registration::FillCopyFailure(cut, "A.PRO", 2), cut);
}

TEST(CopyFailure, TextsComeFromTheMessageDatabase) {
  seltest::Sandbox box;
  EXPECT_EQ(registration::CopyFailureText(registration::MSG_PROC_COPY_FAILED, "P.PRO", 3),
            "The procedure file P.PRO could not be copied into the procedure files directory (system error "
            "3).\n\nThe procedure was not installed; a version installed before keeps its file. Install it again.");
  EXPECT_EQ(registration::CopyFailureText(registration::MSG_SUBPROC_COPY_FAILED, "S.PRO", 112),
            "The sub-procedure file S.PRO could not be copied into the procedure files directory (system "
            "error 112).\n\nThe sub-procedure was not installed; a version installed before keeps its file. Install it "
            "again.");
}

}  // namespace
