// The operator's actions on dialogs and boxes, shared by both frontends so
// that the same action gives the same effect and the same transcript line.
// Internal.
#pragma once
#include <string>
#include <vector>

namespace ui {
class Dialog;
struct ControlTemplate;
}

namespace ui::detail {

enum class ActionKind { Set, Toggle, Click, Close };

struct DialogAction {
  ActionKind kind = ActionKind::Close;
  int control = 0;
  std::string text;  // set: the text; toggle: the item's text or #<n>
};

class AnswerRecorder;

// Checks the action against the dialog. When it can be done, writes
// `answer <action>` to the transcript (and to `recorder`, if given),
// performs it (running the dialog's handlers) and returns "". Otherwise
// returns why it cannot be done and changes nothing.
std::string PerformAction(Dialog& dialog, const DialogAction& action, AnswerRecorder* recorder = nullptr);

// Looks up the action's control and checks its kind and state; nullptr
// with the reason in `why` when the action cannot be done.
const ControlTemplate* CheckAction(const Dialog& dialog, const DialogAction& action, std::string* why);

// The transcript's text of an action (after `answer `): `text` is the set
// text or the toggled item's text.
std::string AnswerText(const DialogAction& action, const std::string& text);

// Index of the item of list `control` named by `spec` (exact text, or #<n>
// counted from 1), or -1 with the reason in `why`.
int ResolveItem(const Dialog& dialog, int control, const std::string& spec, std::string* why);

// Box answers.
struct BoxChoice {
  int id;            // IDOK, IDCANCEL ...
  const char* word;  // "OK", "Cancel" ...
};
// The answers a box of `style` offers, in button order.
std::vector<BoxChoice> OfferedAnswers(unsigned style);
// The answer of the box's default button: the first it offers, or the one
// its MB_DEFBUTTON<n> bits name.
int DefaultAnswer(unsigned style);
// The answer named by `word` (letter case ignored; with allowLetter, also its
// first letter) if the box offers it, else 0 with the reason in `why`.
int ParseBoxAnswer(const std::string& word, unsigned style, bool allowLetter, std::string* why);
const char* AnswerWord(int id);

// Parses a decimal number (digits only, fitting an int).
bool ParseDecimal(const std::string& text, int* value);

}  // namespace ui::detail
