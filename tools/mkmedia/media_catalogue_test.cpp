// Reading kelmar.lst for a medium: the record chain as the installer reads
// it, and the faults that would make it load otherwise than meant.
#include <gtest/gtest.h>

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
}

TEST(MediaCatalogue, LongLinesComeInPiecesOf79) {
  std::string longName(100, 'x');
  std::string exact(79, 'y');
  MediaCatalogue c = ParseCatalogue("instrument==========\nA\nprocfile\nA.PRO\nfiles\n" + longName + "\n" + exact +
                                    "\ndatafiles\ncalibrator\nR520\nend\n");
  ASSERT_EQ(c.records.size(), 1u);
  EXPECT_EQ(c.records[0].reqFiles, (Strings{std::string(79, 'x'), std::string(21, 'x'), exact, ""}));
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
  EXPECT_EQ(c.problems, (Strings{"kelmar.lst:12: the record of \"P\" runs on into this record: no \"files\" line "
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
