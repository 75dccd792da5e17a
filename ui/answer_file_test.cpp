// The answer-file language: tokens, skipped lines and the parsing of lines.
#include "ui/answer_file.h"

#include <gtest/gtest.h>

namespace ui::detail {
namespace {

std::vector<Token> Tokens(const std::string& line) {
  std::vector<Token> tokens;
  std::string why;
  EXPECT_TRUE(Tokenize(line, &tokens, &why)) << why;
  return tokens;
}

bool Parse(const std::string& text, AnswerLine* line, std::string* why) {
  std::vector<Token> tokens;
  if (!Tokenize(text, &tokens, why)) return false;
  return ParseAnswerLine(tokens, line, why);
}

TEST(AnswerFileTokens, BlanksSeparateAndQuotesRunToTheNextQuote) {
  auto t = Tokens("  104\tset 1009  \"C:\\Program Files\\X\" click 1 ");
  ASSERT_EQ(t.size(), 6u);
  EXPECT_EQ(t[0].text, "104");
  EXPECT_EQ(t[1].text, "set");
  EXPECT_EQ(t[2].text, "1009");
  EXPECT_EQ(t[3].text, "C:\\Program Files\\X");  // backslashes stay literal
  EXPECT_TRUE(t[3].quoted);
  EXPECT_FALSE(t[2].quoted);
  EXPECT_EQ(t[4].text, "click");
  EXPECT_EQ(t[5].text, "1");
}

TEST(AnswerFileTokens, EmptyQuotedTokenAndQuoteEndsToken) {
  auto t = Tokens("set 5 \"\" \"a\"b");
  ASSERT_EQ(t.size(), 5u);
  EXPECT_EQ(t[2].text, "");
  EXPECT_TRUE(t[2].quoted);
  EXPECT_EQ(t[3].text, "a");
  EXPECT_EQ(t[4].text, "b");
}

TEST(AnswerFileTokens, QuoteInsideATokenIsLiteral) {
  auto t = Tokens("ab\"c d");
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[0].text, "ab\"c");
}

TEST(AnswerFileTokens, UnclosedQuoteIsAnError) {
  std::vector<Token> tokens;
  std::string why;
  EXPECT_FALSE(Tokenize("100 set 1 \"open", &tokens, &why));
  EXPECT_NE(why.find("quote"), std::string::npos);
}

TEST(AnswerFileLines, BlankAndCommentLinesAreSkipped) {
  EXPECT_TRUE(IsSkippedLine(""));
  EXPECT_TRUE(IsSkippedLine("   \t"));
  EXPECT_TRUE(IsSkippedLine("# comment"));
  EXPECT_TRUE(IsSkippedLine("   # indented comment"));
  EXPECT_FALSE(IsSkippedLine("100 close # not a comment"));
  EXPECT_FALSE(IsSkippedLine("box OK"));
}

TEST(AnswerFileLines, DialogLineWithEveryAction) {
  AnswerLine line;
  std::string why;
  ASSERT_TRUE(Parse("108 set 1009 \"x y\" toggle 1014 #3 toggle 1014 NAME click 1 close", &line, &why)) << why;
  EXPECT_FALSE(line.box);
  EXPECT_EQ(line.windowId, 108);
  ASSERT_EQ(line.actions.size(), 5u);
  EXPECT_EQ(line.actions[0].kind, ActionKind::Set);
  EXPECT_EQ(line.actions[0].control, 1009);
  EXPECT_EQ(line.actions[0].text, "x y");
  EXPECT_EQ(line.actions[1].kind, ActionKind::Toggle);
  EXPECT_EQ(line.actions[1].text, "#3");
  EXPECT_EQ(line.actions[2].text, "NAME");
  EXPECT_EQ(line.actions[3].kind, ActionKind::Click);
  EXPECT_EQ(line.actions[3].control, 1);
  EXPECT_EQ(line.actions[4].kind, ActionKind::Close);
}

TEST(AnswerFileLines, KeywordsInQuotesAreText) {
  AnswerLine line;
  std::string why;
  ASSERT_TRUE(Parse("100 set 1 close", &line, &why)) << why;
  ASSERT_EQ(line.actions.size(), 1u);
  EXPECT_EQ(line.actions[0].text, "close");
  EXPECT_FALSE(Parse("100 \"close\"", &line, &why));
  EXPECT_FALSE(Parse("\"100\" close", &line, &why));
}

TEST(AnswerFileLines, BoxLines) {
  AnswerLine line;
  std::string why;
  ASSERT_TRUE(Parse("box Yes", &line, &why)) << why;
  EXPECT_TRUE(line.box);
  EXPECT_FALSE(line.hasContains);
  EXPECT_EQ(line.answer, "Yes");
  ASSERT_TRUE(Parse("box contains \"disk 2\" Cancel", &line, &why)) << why;
  EXPECT_TRUE(line.hasContains);
  EXPECT_EQ(line.contains, "disk 2");
  EXPECT_EQ(line.answer, "Cancel");
  // A quoted "contains" is the answer text itself, not the keyword.
  ASSERT_TRUE(Parse("box \"contains\"", &line, &why)) << why;
  EXPECT_FALSE(line.hasContains);
}

TEST(AnswerFileLines, MalformedLinesSayWhy) {
  AnswerLine line;
  std::string why;
  EXPECT_FALSE(Parse("box", &line, &why));
  EXPECT_NE(why.find("answer"), std::string::npos);
  EXPECT_FALSE(Parse("box contains", &line, &why));
  EXPECT_FALSE(Parse("box OK Cancel", &line, &why));
  EXPECT_NE(why.find("Cancel"), std::string::npos);
  EXPECT_FALSE(Parse("100", &line, &why));
  EXPECT_FALSE(Parse("100 push 1", &line, &why));
  EXPECT_NE(why.find("push"), std::string::npos);
  EXPECT_FALSE(Parse("100 click", &line, &why));
  EXPECT_FALSE(Parse("100 click OK", &line, &why));
  EXPECT_FALSE(Parse("100 set 1009", &line, &why));
  EXPECT_FALSE(Parse("100 toggle 1014", &line, &why));
  EXPECT_FALSE(Parse("window close", &line, &why));
  EXPECT_FALSE(Parse("0 close", &line, &why));
  EXPECT_FALSE(Parse("-5 close", &line, &why));
}

TEST(AnswerFileLines, WindowWord) {
  int id = -1;
  EXPECT_TRUE(LineWindow({{"box", false}}, &id));
  EXPECT_EQ(id, 0);
  EXPECT_TRUE(LineWindow({{"1046", false}, {"click", false}}, &id));
  EXPECT_EQ(id, 1046);
  EXPECT_FALSE(LineWindow({{"Box", false}}, &id));
  EXPECT_FALSE(LineWindow({}, &id));
}

TEST(AnswerFileLines, SplitAtLineFeedsWithOrWithoutCarriageReturn) {
  EXPECT_EQ(SplitAnswerLines("a\r\nb\n\nc\rd"), (std::vector<std::string>{"a", "b", "", "c\rd"}));
  EXPECT_EQ(SplitAnswerLines("a\n"), std::vector<std::string>{"a"});
}

TEST(AnswerFileLines, WrittenBackLinesParseTheSame) {
  for (const char* text : {"105 set 1009 \"C:\\a b\\\" toggle 1014 \"\" click 1 close",
                           "box contains \"not found\" OK", "box \"contains\"", "108 set 7 \"click\" set 7 a\"b"}) {
    AnswerLine line, again;
    std::string why, written;
    ASSERT_TRUE(ParseAnswerText(text, &line, &why)) << text << ": " << why;
    ASSERT_TRUE(FormatAnswerLine(line, &written)) << text;
    ASSERT_TRUE(ParseAnswerText(written, &again, &why)) << written << ": " << why;
    std::string twice;
    ASSERT_TRUE(FormatAnswerLine(again, &twice));
    EXPECT_EQ(twice, written);
    EXPECT_EQ(again.answer, line.answer);
    ASSERT_EQ(again.actions.size(), line.actions.size());
    for (size_t i = 0; i < line.actions.size(); ++i) EXPECT_EQ(again.actions[i].text, line.actions[i].text) << written;
  }
  AnswerLine quoteAndBlank;
  quoteAndBlank.windowId = 5;
  quoteAndBlank.actions.push_back({ActionKind::Set, 1, "a \"b"});
  std::string written;
  EXPECT_FALSE(FormatAnswerLine(quoteAndBlank, &written));
}

}  // namespace
}  // namespace ui::detail
