#include "ui/actions.h"

#include <climits>

#include "platform/ascii_case.h"
#include "platform/transcript.h"
#include "ui/answer_recorder.h"
#include "ui/dialog.h"
#include "ui/transcript_events.h"

namespace ui::detail {
namespace {

std::string ControlName(int id) { return "control " + std::to_string(id); }

}  // namespace

const ControlTemplate* CheckAction(const Dialog& dialog, const DialogAction& action, std::string* why) {
  const ControlTemplate* t = dialog.FindControlTemplate(action.control);
  if (!t) {
    *why = "the dialog has no " + ControlName(action.control);
    return nullptr;
  }
  switch (action.kind) {
    case ActionKind::Set:
      if (t->kind != ControlKind::Edit) {
        *why = ControlName(action.control) + " is not an edit field";
        return nullptr;
      }
      if (t->style & ES_READONLY) {
        *why = ControlName(action.control) + " is read-only";
        return nullptr;
      }
      break;
    case ActionKind::Toggle:
      if (t->kind != ControlKind::ListBox) {
        *why = ControlName(action.control) + " is not a list";
        return nullptr;
      }
      break;
    case ActionKind::Click:
      if (t->kind != ControlKind::Button && t->kind != ControlKind::DefButton && t->kind != ControlKind::Radio) {
        *why = ControlName(action.control) + " is not a button";
        return nullptr;
      }
      break;
    case ActionKind::Close:
      break;
  }
  if (!dialog.IsWindowEnabled(action.control)) {
    *why = ControlName(action.control) + " is disabled";
    return nullptr;
  }
  return t;
}


bool ParseDecimal(const std::string& text, int* value) {
  if (text.empty() || text.size() > 10) return false;
  long long v = 0;
  for (char ch : text) {
    if (ch < '0' || ch > '9') return false;
    v = v * 10 + (ch - '0');
  }
  if (v > INT_MAX) return false;
  *value = static_cast<int>(v);
  return true;
}

int ResolveItem(const Dialog& dialog, int control, const std::string& spec, std::string* why) {
  // Dialog::List is not const; the lookup reads only.
  ListBox list = const_cast<Dialog&>(dialog).List(control);
  int count = list.GetCount();
  int n = 0;
  if (spec.size() > 1 && spec[0] == '#' && ParseDecimal(spec.substr(1), &n)) {
    if (n >= 1 && n <= count) return n - 1;
    *why = "list " + std::to_string(control) + " has no item " + spec + " (it holds " + std::to_string(count) +
           " items)";
    return -1;
  }
  for (int i = 0; i < count; ++i) {
    if (list.GetText(i) == spec) return i;
  }
  *why = "list " + std::to_string(control) + " has no item " + platform::TranscriptQuote(spec);
  return -1;
}

std::string AnswerText(const DialogAction& action, const std::string& text) {
  std::string id = std::to_string(action.control);
  switch (action.kind) {
    case ActionKind::Set:
      return "set " + id + " " + platform::TranscriptQuote(text);
    case ActionKind::Toggle:
      return "toggle " + id + " " + platform::TranscriptQuote(text);
    case ActionKind::Click:
      return "click " + id;
    case ActionKind::Close:
      break;
  }
  return "close";
}

std::string PerformAction(Dialog& dialog, const DialogAction& action, AnswerRecorder* recorder) {
  std::string why;
  if (action.kind == ActionKind::Close) {
    if (recorder) recorder->RecordAction(dialog, action);
    WriteAnswerLine(AnswerText(action, ""));
    dialog.OnCancel();
    return "";
  }
  const ControlTemplate* t = CheckAction(dialog, action, &why);
  if (!t) return why;
  if (action.kind == ActionKind::Toggle && ResolveItem(dialog, action.control, action.text, &why) < 0) return why;
  // Recorded before it runs: a window the action opens records after it.
  if (recorder) recorder->RecordAction(dialog, action);
  switch (action.kind) {
    case ActionKind::Set: {
      WriteAnswerLine(AnswerText(action, action.text));
      dialog.SetDlgItemText(action.control, (t->style & ES_UPPERCASE) ? platform::AsciiUpper(action.text) : action.text);
      break;
    }
    case ActionKind::Toggle: {
      int index = ResolveItem(dialog, action.control, action.text, &why);
      if (index < 0) return why;
      ListBox list = dialog.List(action.control);
      WriteAnswerLine(AnswerText(action, list.GetText(index)));
      list.SetSel(index, list.GetSel(index) <= 0);
      list.SetCaretIndex(index);
      dialog.OnSelChange(action.control);
      break;
    }
    case ActionKind::Click:
      WriteAnswerLine(AnswerText(action, ""));
      if (t->kind == ControlKind::Radio) dialog.CheckRadioInGroup(action.control);
      dialog.OnCommand(action.control);
      break;
    case ActionKind::Close:
      break;
  }
  return "";
}

std::vector<BoxChoice> OfferedAnswers(unsigned style) {
  switch (style & MB_TYPEMASK) {
    case MB_OKCANCEL:
      return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
    case MB_ABORTRETRYIGNORE:
      return {{IDABORT, "Abort"}, {IDRETRY, "Retry"}, {IDIGNORE, "Ignore"}};
    case MB_YESNOCANCEL:
      return {{IDYES, "Yes"}, {IDNO, "No"}, {IDCANCEL, "Cancel"}};
    case MB_YESNO:
      return {{IDYES, "Yes"}, {IDNO, "No"}};
    case MB_RETRYCANCEL:
      return {{IDRETRY, "Retry"}, {IDCANCEL, "Cancel"}};
    default:
      return {{IDOK, "OK"}};
  }
}

const char* AnswerWord(int id) {
  switch (id) {
    case IDOK: return "OK";
    case IDCANCEL: return "Cancel";
    case IDABORT: return "Abort";
    case IDRETRY: return "Retry";
    case IDIGNORE: return "Ignore";
    case IDYES: return "Yes";
    case IDNO: return "No";
    default: return "?";
  }
}

int DefaultAnswer(unsigned style) {
  std::vector<BoxChoice> offered = OfferedAnswers(style);
  size_t button = (style >> 8) & 0xF;  // MB_DEFBUTTON2 is 1, MB_DEFBUTTON3 2
  return offered[button < offered.size() ? button : 0].id;
}

int ParseBoxAnswer(const std::string& word, unsigned style, bool allowLetter, std::string* why) {
  std::vector<BoxChoice> offered = OfferedAnswers(style);
  for (const BoxChoice& c : offered) {
    if (platform::EqualNoCase(word, c.word)) return c.id;
    if (allowLetter && word.size() == 1 && platform::EqualNoCase(word[0], c.word[0])) {
      return c.id;
    }
  }
  std::string list;
  for (size_t i = 0; i < offered.size(); ++i) {
    if (i) list += i + 1 == offered.size() ? " or " : ", ";
    list += offered[i].word;
  }
  *why = "the box offers " + list + ", not " + platform::TranscriptQuote(word);
  return 0;
}

}  // namespace ui::detail
