// The answer-file language: tokens, lines and their actions. Internal.
#pragma once
#include <string>
#include <vector>

#include "ui/actions.h"

namespace ui::detail {

struct Token {
  std::string text;
  bool quoted = false;  // written in double quotes (never a keyword)
};

// Splits a line at blanks; a token that begins with `"` runs to the next
// `"` (no escapes). False, with the reason, on a quote left open.
bool Tokenize(const std::string& line, std::vector<Token>* tokens, std::string* why);

// Blank lines and lines whose first non-blank is '#' carry no answer.
bool IsSkippedLine(const std::string& line);

struct AnswerLine {
  bool optional = false;  // begins with `? `: passed over when another window comes
  bool box = false;
  int windowId = 0;                  // dialog lines
  std::vector<DialogAction> actions;  // dialog lines
  bool hasContains = false;          // box lines
  std::string contains;
  std::string answer;
};

// The window word of a line: true with the id (0 for `box`) when the line
// starts (after an optional `?`) with a dialog id or the word box.
bool LineWindow(const std::vector<Token>& tokens, int* windowId);

// True when the line is optional: its first token is a bare `?`.
bool IsOptionalLine(const std::vector<Token>& tokens);

// Parses a tokenized line; false with the reason when it is not a valid
// answer line.
bool ParseAnswerLine(const std::vector<Token>& tokens, AnswerLine* line, std::string* why);

// Parses the dialog actions in tokens[first..]; false with the reason.
bool ParseDialogActions(const std::vector<Token>& tokens, size_t first, std::vector<DialogAction>* actions,
                        std::string* why);

// The lines of an answer file's text, each without its line end ("\n" or
// "\r\n"); a last line without a line end still counts.
std::vector<std::string> SplitAnswerLines(const std::string& text);

// Tokenizes and parses one line; false with the reason when it is not a valid
// answer line. The script frontend stops the program on such a line; other
// readers (checks of an answer file before a run) go on with the next one.
bool ParseAnswerText(const std::string& text, AnswerLine* line, std::string* why);

// Writes `line` back in the answer-file language, quoting every text that
// needs it, so that it parses to the same line. False when a text cannot be
// written: one that needs quotes (blanks, a leading quote, a keyword, empty)
// but holds a quote itself.
bool FormatAnswerLine(const AnswerLine& line, std::string* text);

}  // namespace ui::detail
