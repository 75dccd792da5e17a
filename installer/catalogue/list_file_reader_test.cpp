#include "installer/catalogue/list_file_reader.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Lines(const std::string& bytes) {
  catalogue::ListFileReader reader;
  reader.Assign(bytes);
  std::vector<std::string> lines;
  std::string line;
  while (reader.More()) {
    EXPECT_TRUE(reader.ReadLine(line));
    lines.push_back(line);
    if (lines.size() > 1000) break;  // a reader that never ends
  }
  EXPECT_FALSE(reader.ReadLine(line));
  EXPECT_EQ(line, "");
  return lines;
}

using V = std::vector<std::string>;

TEST(ListFileReader, LinesKeepTheirSpacesAndCase) {
  EXPECT_EQ(Lines("  Name \nEND\n"), (V{"  Name ", "END"}));
}

TEST(ListFileReader, LastLineWithoutLineEnd) {
  EXPECT_EQ(Lines("a\nb"), (V{"a", "b"}));
}

TEST(ListFileReader, BlankLinesAtTheEndAreEmptyLines) {
  EXPECT_EQ(Lines("end\n\n\n"), (V{"end", "", ""}));
}

TEST(ListFileReader, EmptyFileHasNoLines) {
  EXPECT_EQ(Lines(""), V{});
}

TEST(ListFileReader, CarriageReturnBeforeLineFeedIsDropped) {
  EXPECT_EQ(Lines("a\r\nb\r\n"), (V{"a", "b"}));
  // Elsewhere a carriage return is an ordinary character.
  EXPECT_EQ(Lines("a\rb\nc\r"), (V{"a\rb", "c\r"}));
  EXPECT_EQ(Lines("a\r\r\n"), (V{"a\r"}));
}

TEST(ListFileReader, LongLineComesInPiecesOf79) {
  const std::string hundred(79, 'x');
  EXPECT_EQ(Lines(hundred + std::string(21, 'y') + "\nnext\n"), (V{hundred, std::string(21, 'y'), "next"}));
}

TEST(ListFileReader, ExactMultipleOf79EndsWithAnEmptyPiece) {
  const std::string piece(79, 'p');
  EXPECT_EQ(Lines(piece + "\nnext\n"), (V{piece, "", "next"}));
  EXPECT_EQ(Lines(piece + piece + "\n"), (V{piece, piece, ""}));
  EXPECT_EQ(Lines(std::string(78, 'q') + "\n"), (V{std::string(78, 'q')}));
}

TEST(ListFileReader, PiecesCountCharactersAfterDroppingCarriageReturns) {
  const std::string piece(79, 'p');
  EXPECT_EQ(Lines(piece + "\r\nnext\r\n"), (V{piece, "", "next"}));
}

TEST(ListFileReader, FullPieceAtTheEndOfTheFileHasNoEmptyPiece) {
  const std::string piece(79, 'p');
  EXPECT_EQ(Lines(piece), (V{piece}));
}

TEST(ListFileReader, LineNumbersCountFileLines) {
  catalogue::ListFileReader reader;
  reader.Assign("a\n" + std::string(100, 'l') + "\nb\n");
  std::string line;
  EXPECT_EQ(reader.LineNumber(), 1);
  reader.ReadLine(line);
  EXPECT_EQ(reader.LineNumber(), 2);
  reader.ReadLine(line);  // first piece
  EXPECT_EQ(reader.LineNumber(), 2);
  reader.ReadLine(line);  // rest
  EXPECT_EQ(reader.LineNumber(), 3);
  reader.ReadLine(line);
  EXPECT_EQ(line, "b");
}

TEST(ListFileReader, ZeroBytesStayInTheLine) {
  EXPECT_EQ(Lines(std::string("a\0b\n", 4)), (V{std::string("a\0b", 3)}));
}

}  // namespace
