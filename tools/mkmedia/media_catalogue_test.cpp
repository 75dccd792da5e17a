// Reading kelmar.lst for a medium: the record chain as the installer reads
// it, and the faults that would make it load otherwise than meant.
#include <gtest/gtest.h>

#include "tools/mkmedia/catalogue_check.h"
#include "tools/mkmedia/media_catalogue.h"

namespace mkmedia {
namespace {

using Strings = std::vector<std::string>;

TEST(MediaCatalogue, FullRecordAndSubRecord) {
  MediaCatalogue c = ParseCatalogue(
      "A comment line before the first record\n"
      "instrument==========\nDMM 45\nDMM 45A\nprocfile\nDMM45.PRO\n"
      "sub\nACV\nfiles\nDMM45.BMP\nTOOL.EXE\ndatafiles\nDMM45.DAT\ncalibrator\nR520\n"
      "configuration\nLeads\nWarm-up\nLeads\nend\n"
      "\n"
      "instrumentSub=======\nACV\nprocfile\nACV.PRO\ncalibrator\nR520\nend\n");
  EXPECT_TRUE(c.problems.empty());
  ASSERT_EQ(c.records.size(), 2u);
  const CatalogueRecord& r = c.records[0];
  EXPECT_EQ(r.line, 2);
  EXPECT_FALSE(r.isSubProc);
  EXPECT_EQ(r.names, (Strings{"DMM 45", "DMM 45A"}));
  EXPECT_EQ(r.procFile, "DMM45.PRO");
  EXPECT_EQ(r.subProcs, (Strings{"ACV"}));
  EXPECT_EQ(r.reqFiles, (Strings{"DMM45.BMP", "TOOL.EXE"}));
  EXPECT_EQ(r.dataFiles, (Strings{"DMM45.DAT"}));
  EXPECT_EQ(r.calibrator, "R520");
  EXPECT_EQ(r.configLines, (Strings{"Leads", "Warm-up"}));  // each line once
  EXPECT_TRUE(r.closed);
  EXPECT_TRUE(c.records[1].isSubProc);
  EXPECT_EQ(c.records[1].line, 22);
  EXPECT_EQ(c.records[1].procFile, "ACV.PRO");
  EXPECT_TRUE(c.records[1].closed);
}

TEST(MediaCatalogue, ChainEnteredAtAnyLinkAndCrLfLines) {
  MediaCatalogue c = ParseCatalogue(
      "instrument==========\r\nA\r\nprocfile\r\nA.PRO\r\ndatafiles\r\nA.DAT\r\ncalibrator\r\nOther\r\nend\r\n"
      "instrument==========\r\nB\r\nprocfile\r\nB.PRO\r\nend\r\n");
  EXPECT_TRUE(c.problems.empty());
  ASSERT_EQ(c.records.size(), 2u);
  EXPECT_EQ(c.records[0].dataFiles, (Strings{"A.DAT"}));
  EXPECT_EQ(c.records[0].calibrator, "Other");
  EXPECT_TRUE(c.records[1].closed);
  EXPECT_TRUE(c.records[1].reqFiles.empty());
}

TEST(MediaCatalogue, KeywordsInsideAListAreEntries) {
  // "calibrator" inside the sub list is a sub-procedure; a file name line
  // reading "files" opens the required-file list.
  MediaCatalogue c = ParseCatalogue(
      "instrument==========\nA\nprocfile\nA.PRO\nsub\ncalibrator\nfiles\ndatafiles\ncalibrator\nR520\nend\n"
      "instrument==========\nB\nprocfile\nfiles\nX.BMP\ndatafiles\ncalibrator\nR520\nend\n");
  EXPECT_TRUE(c.problems.empty());
  ASSERT_EQ(c.records.size(), 2u);
  EXPECT_EQ(c.records[0].subProcs, (Strings{"calibrator"}));
  EXPECT_EQ(c.records[1].procFile, "files");
  EXPECT_EQ(c.records[1].reqFiles, (Strings{"X.BMP"}));
  // A file name line reading "sub" opens nothing, as in the installer: the
  // line after it is passed over at record level.
  c = ParseCatalogue("instrument==========\nA\nprocfile\nsub\nACV\nfiles\nX.BMP\ndatafiles\ncalibrator\nR520\nend\n");
  ASSERT_EQ(c.records.size(), 1u);
  EXPECT_TRUE(c.records[0].subProcs.empty());
  EXPECT_EQ(c.records[0].reqFiles, (Strings{"X.BMP"}));
}

TEST(MediaCatalogue, LongLinesAreKeptWholeAndReported) {
  std::string longName(100, 'x');
  std::string exact(79, 'y');
  MediaCatalogue c = ParseCatalogue("instrument==========\nA\nprocfile\nA.PRO\nfiles\n" + longName + "\n" + exact +
                                    "\ndatafiles\ncalibrator\nR520\nend\n" + std::string(90, '#') + "\n");
  ASSERT_EQ(c.records.size(), 1u);
  EXPECT_EQ(c.records[0].reqFiles, (Strings{longName, exact}));
  EXPECT_TRUE(c.records[0].closed);
  const std::string cut = " characters long: the installer cuts a line of 79 characters or more into pieces of 79 and "
                          "reads each piece, and the rest, as lines of their own (keep lines to 78 characters, names "
                          "to 55)";
  // Outside a record a long line is a comment like any other.
  EXPECT_EQ(c.problems, (Strings{"kelmar.lst:6: this line is 100" + cut, "kelmar.lst:7: this line is 79" + cut}));
}

// Each way a publisher's file reads otherwise than meant gets one message
// that names the line and the cause, and nothing that follows from it.
TEST(MediaCatalogue, MistakesAreNamedWithTheirCause) {
  const std::string head = "instrument==========\nCLAMP-375\nprocfile\nCLAMP.PRO\n";
  const std::string tail = "calibrator\nR520\nend\n";
  const std::string second = "instrument==========\nDMMACV\nDMMACV-2\nprocfile\nACV.PRO\nend\n";
  struct Case {
    std::string text;
    Strings problems;  // the reader's and CheckRecords', in that order
    Strings warnings;
  };
  const Case cases[] = {
      {"\xEF\xBB\xBF" + head + tail + second,
       {"kelmar.lst:1: the file begins with a UTF-8 byte-order mark (bytes EF BB BF), which the installer reads as "
        "part of line 1, so \"instrument==========\" there is not a keyword and its record is lost: save the file "
        "without the mark"},
       {}},
      {"\xEF\xBB\xBF# procedures\n" + head + tail,
       {},
       {"kelmar.lst:1: warning: the file begins with a UTF-8 byte-order mark (bytes EF BB BF), which the installer "
        "reads as part of line 1"}},
      // "procfile" forgotten: the names run on through the next record.
      {"instrument==========\nDMM-8808\nDMM.PRO\nfiles\nDMM.BMP\ndatafiles\n" + tail + "\n" + second,
       {"kelmar.lst:4: \"files\" among the names of the record of \"DMM-8808\" (line 1): no \"procfile\" line ends "
        "the names before it"},
       {}},
      {"instrument==========\nDMM-8808\nprocfile \nDMM.PRO\nend\n" + second,
       {"kelmar.lst:5: \"end\" among the names of the record of \"DMM-8808\" (line 1): no \"procfile\" line ends the "
        "names before it; line 3 reads \"procfile \" (a blank at its end), not \"procfile\""},
       {"kelmar.lst:3: warning: \"procfile \" is not the keyword \"procfile\": a blank at its end"}},
      {head + "calibrator\nR520\nend\t\n",
       {"kelmar.lst:1: the record of \"CLAMP-375\" has no \"end\" line; line 7 reads \"end<TAB>\" (a tab at its end), "
        "not \"end\""},
       {"kelmar.lst:7: warning: \"end<TAB>\" is not the keyword \"end\": a tab at its end"}},
      {head + "END\nend\n", {}, {"kelmar.lst:5: warning: \"END\" is not the keyword \"end\": letter case counts"}},
      // A mistyped marker loses its record; the next record is read as usual, and
      // keywords after it are faults again.
      {"instrument========== \nDMM-8808\nprocfile\nDMM.PRO\ncalibrator\n" + second + "files\n",
       {"kelmar.lst:1: \"instrument========== \" is not the record marker \"instrument==========\" (a blank at its "
        "end): the record that follows is lost",
        "kelmar.lst:12: \"files\" outside a record"},
       {}},
      {"instrument==========\nCLAMP-375\t\n  CLAMP 2\nprocfile\nCLAMP.PRO\n" + tail,
       {},
       {"kelmar.lst:2: warning: the name \"CLAMP-375<TAB>\" has a tab at its end, which the installer keeps as part "
        "of the name",
        "kelmar.lst:3: warning: the name \"  CLAMP 2\" has 2 blanks at its start, which the installer keeps as part "
        "of the name"}},
      {"instrument==========\n" + std::string(100, 'N') + "\nprocfile\nN.PRO\n" + tail,
       {"kelmar.lst:2: this line is 100 characters long: the installer cuts a line of 79 characters or more into "
        "pieces of 79 and reads each piece, and the rest, as lines of their own (keep lines to 78 characters, names "
        "to 55)"},
       {}},
      {head + "calibrator\nend\n",
       {},
       {"kelmar.lst:6: warning: \"calibrator\" is directly followed by \"end\", which the installer takes as the "
        "calibrator code of the record of \"CLAMP-375\": put the code on a line between them, or leave out "
        "\"calibrator\""}},
      {"instrument==========\nA\nprocfile\nA.PRO\ncalibrator\nr410\nend\n"
       "instrument==========\nB\nprocfile\nB.PRO\ncalibrator\nR320-X3\nend\n"
       "instrument==========\nC\nprocfile\nC.PRO\ncalibrator\nR7\nend\n",
       {},
       {"kelmar.lst:6: warning: the calibrator code \"r410\" of the record of \"A\" is none the installer "
        "knows (R210 R220 R310 R320 R410 R420 R510 R520 R310X3 R310X6 R320X3 R320X6 Other; letter case counts): only "
        "\"All\" offers the procedure; meant \"R410\"?",
        "kelmar.lst:13: warning: the calibrator code \"R320-X3\" of the record of \"B\" is none the "
        "installer knows (R210 R220 R310 R320 R410 R420 R510 R520 R310X3 R310X6 R320X3 R320X6 Other; letter case "
        "counts): only \"All\" offers the procedure; meant \"R320X3\"?",
        "kelmar.lst:20: warning: the calibrator code \"R7\" of the record of \"C\" is none the installer "
        "knows (R210 R220 R310 R320 R410 R420 R510 R520 R310X3 R310X6 R320X3 R320X6 Other; letter case counts): only "
        "\"All\" offers the procedure"}},
  };
  for (const Case& c : cases) {
    MediaCatalogue catalogue = ParseCatalogue(c.text);
    Strings problems = catalogue.problems;
    for (const std::string& p : CheckRecords(catalogue)) problems.push_back(p);
    EXPECT_EQ(problems, c.problems) << c.text;
    EXPECT_EQ(catalogue.warnings, c.warnings) << c.text;
  }
}

TEST(MediaCatalogue, RecordWithoutEndIsReported) {
  MediaCatalogue c = ParseCatalogue("instrument==========\nA\nprocfile\nA.PRO\nfiles\nA.BMP\n");
  ASSERT_EQ(c.problems.size(), 1u);
  EXPECT_EQ(c.problems[0], "kelmar.lst:1: the record of \"A\" has no \"end\" line");
  EXPECT_FALSE(c.records[0].closed);

  c = ParseCatalogue("x\ninstrument==========\nA\nB\n");  // ends among the names
  EXPECT_EQ(c.problems, (Strings{"kelmar.lst:2: the record of \"A\" has no \"end\" line"}));

  c = ParseCatalogue("instrument==========\nprocfile\nA.PRO\nend\n");
  EXPECT_TRUE(c.problems.empty());
  ASSERT_EQ(c.records.size(), 1u);
  EXPECT_TRUE(c.records[0].names.empty());

  // The next record begins before "end": the first record never closes.
  c = ParseCatalogue("instrument==========\nA\nprocfile\nA.PRO\ninstrument==========\nB\nprocfile\nB.PRO\nend\n");
  EXPECT_EQ(c.problems, (Strings{"kelmar.lst:1: the record of \"A\" has no \"end\" line"}));
  ASSERT_EQ(c.records.size(), 2u);
  EXPECT_TRUE(c.records[1].closed);
}

TEST(MediaCatalogue, ListRunningIntoTheNextRecordNamesTheMissingLine) {
  MediaCatalogue c = ParseCatalogue(
      "instrument==========\nP\nprocfile\nP.PRO\nsub\nS\ndatafiles\nP.DAT\ncalibrator\nR520\nend\n"
      "instrument==========\nQ\nprocfile\nQ.PRO\nfiles\nQ.BMP\ndatafiles\ncalibrator\nR520\nend\n");
  EXPECT_EQ(c.problems, (Strings{"kelmar.lst:12: the record of \"P\" (line 1) runs on into this record: no \"files\" line "
                                 "before it"}));
  ASSERT_EQ(c.records.size(), 1u);
  EXPECT_TRUE(c.records[0].overran);
  // Its lists are not taken as payload: only its procedure file.
  std::vector<PayloadFile> files = PayloadFiles(c);
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].name, "P.PRO");
}

TEST(MediaCatalogue, ListKeywordOutsideARecord) {
  MediaCatalogue c = ParseCatalogue("instrument==========\nA\nprocfile\nA.PRO\nend\nfiles\nX.BMP\nend\n");
  EXPECT_EQ(c.problems, (Strings{"kelmar.lst:6: \"files\" outside a record", "kelmar.lst:8: \"end\" outside a record"}));
  EXPECT_TRUE(c.records[0].reqFiles.empty());
}

TEST(MediaCatalogue, PayloadFilesInCatalogueOrderEachOnce) {
  MediaCatalogue c = ParseCatalogue(
      "instrument==========\nA\nprocfile\nA.PRO\nfiles\nA.BMP\nCOMMON.BMP\ndatafiles\nT.DAT\ncalibrator\nR520\nend\n"
      "instrument==========\nB\nprocfile\nB.PRO\nfiles\nCOMMON.BMP\ndatafiles\nT.DAT\nB.DAT\ncalibrator\nR520\nend\n");
  std::vector<PayloadFile> files = PayloadFiles(c);
  Strings names;
  for (const PayloadFile& f : files) names.push_back(f.name + "@" + std::to_string(f.line));
  EXPECT_EQ(names, (Strings{"A.PRO@1", "A.BMP@1", "COMMON.BMP@1", "T.DAT@1", "B.PRO@13", "B.DAT@13"}));
}

}  // namespace
}  // namespace mkmedia
