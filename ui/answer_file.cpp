#include "ui/answer_file.h"

namespace ui::detail {
namespace {

bool IsBlank(char ch) { return ch == ' ' || ch == '\t' || ch == '\r'; }

bool Keyword(const Token& token, const char* word) { return !token.quoted && token.text == word; }

// A text as one token: bare when it reads back as itself, else in quotes.
bool AppendToken(const std::string& text, std::string* out) {
  bool bare = !text.empty() && text[0] != '"' && text != "set" && text != "toggle" && text != "click" &&
              text != "close" && text != "contains" && text != "box";
  for (char ch : text) {
    if (IsBlank(ch)) bare = false;
  }
  if (!bare && text.find('"') != std::string::npos) return false;
  if (!out->empty()) *out += ' ';
  *out += bare ? text : '"' + text + '"';
  return true;
}

}  // namespace

bool Tokenize(const std::string& line, std::vector<Token>* tokens, std::string* why) {
  tokens->clear();
  size_t i = 0;
  while (i < line.size()) {
    if (IsBlank(line[i])) {
      ++i;
      continue;
    }
    Token token;
    if (line[i] == '"') {
      size_t close = line.find('"', i + 1);
      if (close == std::string::npos) {
        *why = "a quote is not closed";
        return false;
      }
      token.text = line.substr(i + 1, close - i - 1);
      token.quoted = true;
      i = close + 1;
    } else {
      size_t end = i;
      while (end < line.size() && !IsBlank(line[end])) ++end;
      token.text = line.substr(i, end - i);
      i = end;
    }
    tokens->push_back(std::move(token));
  }
  return true;
}

bool IsSkippedLine(const std::string& line) {
  for (char ch : line) {
    if (IsBlank(ch)) continue;
    return ch == '#';
  }
  return true;
}

bool IsOptionalLine(const std::vector<Token>& tokens) { return !tokens.empty() && Keyword(tokens[0], "?"); }

bool LineWindow(const std::vector<Token>& tokens, int* windowId) {
  const size_t first = IsOptionalLine(tokens) ? 1 : 0;
  if (tokens.size() <= first || tokens[first].quoted) return false;
  if (tokens[first].text == "box") {
    *windowId = 0;
    return true;
  }
  int id = 0;
  if (!ParseDecimal(tokens[first].text, &id) || id == 0) return false;
  *windowId = id;
  return true;
}

bool ParseDialogActions(const std::vector<Token>& tokens, size_t first, std::vector<DialogAction>* actions,
                        std::string* why) {
  size_t i = first;
  auto control = [&](const char* verb, DialogAction* action) {
    if (i >= tokens.size()) {
      *why = std::string(verb) + " needs a control id";
      return false;
    }
    if (!ParseDecimal(tokens[i].text, &action->control)) {
      *why = std::string(verb) + ": " + tokens[i].text + " is not a control id";
      return false;
    }
    ++i;
    return true;
  };
  while (i < tokens.size()) {
    DialogAction action;
    const Token& verb = tokens[i++];
    if (Keyword(verb, "close")) {
      action.kind = ActionKind::Close;
    } else if (Keyword(verb, "click")) {
      action.kind = ActionKind::Click;
      if (!control("click", &action)) return false;
    } else if (Keyword(verb, "set") || Keyword(verb, "toggle")) {
      bool set = verb.text == "set";
      action.kind = set ? ActionKind::Set : ActionKind::Toggle;
      if (!control(set ? "set" : "toggle", &action)) return false;
      if (i >= tokens.size()) {
        *why = set ? "set needs a text" : "toggle needs an item";
        return false;
      }
      action.text = tokens[i++].text;
    } else {
      *why = "unknown action " + verb.text;
      return false;
    }
    actions->push_back(std::move(action));
  }
  if (actions->empty()) {
    *why = "the line holds no action";
    return false;
  }
  return true;
}

bool ParseAnswerLine(const std::vector<Token>& tokens, AnswerLine* line, std::string* why) {
  *line = AnswerLine();
  line->optional = IsOptionalLine(tokens);
  const size_t first = line->optional ? 1 : 0;
  int id = 0;
  if (!LineWindow(tokens, &id)) {
    *why = "a line must begin with a dialog id or the word box";
    return false;
  }
  if (id != 0) {
    line->windowId = id;
    return ParseDialogActions(tokens, first + 1, &line->actions, why);
  }
  line->box = true;
  size_t i = first + 1;
  if (i < tokens.size() && Keyword(tokens[i], "contains")) {
    if (i + 1 >= tokens.size()) {
      *why = "contains needs a text";
      return false;
    }
    line->hasContains = true;
    line->contains = tokens[i + 1].text;
    i += 2;
  }
  if (i >= tokens.size()) {
    *why = "a box line needs an answer";
    return false;
  }
  line->answer = tokens[i++].text;
  if (i < tokens.size()) {
    *why = "a box line holds one answer; " + tokens[i].text + " is left over";
    return false;
  }
  return true;
}

std::vector<std::string> SplitAnswerLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

bool ParseAnswerText(const std::string& text, AnswerLine* line, std::string* why) {
  std::vector<Token> tokens;
  return Tokenize(text, &tokens, why) && ParseAnswerLine(tokens, line, why);
}

bool FormatAnswerLine(const AnswerLine& line, std::string* text) {
  text->clear();
  const std::string optional = line.optional ? "? " : "";
  if (line.box) {
    *text = optional + "box";
    if (line.hasContains) {
      *text += " contains";
      if (!AppendToken(line.contains, text)) return false;
    }
    return AppendToken(line.answer, text);
  }
  *text = optional + std::to_string(line.windowId);
  for (const DialogAction& action : line.actions) {
    const std::string control = std::to_string(action.control);
    switch (action.kind) {
      case ActionKind::Close:
        *text += " close";
        break;
      case ActionKind::Click:
        *text += " click " + control;
        break;
      case ActionKind::Set:
      case ActionKind::Toggle:
        *text += (action.kind == ActionKind::Set ? " set " : " toggle ") + control;
        if (!AppendToken(action.text, text)) return false;
        break;
    }
  }
  return true;
}

}  // namespace ui::detail
