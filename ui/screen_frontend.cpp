// The full-screen frontend: dialogs and boxes as framed windows on the
// terminal, driven by keys. Every operator action goes through the shared
// actions, so the transcript is the same as with the other frontends.
#include <curses.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "platform/ascii_case.h"
#include "ui/actions.h"
#include "ui/answer_recorder.h"
#include "ui/console_view.h"
#include "ui/frontends.h"
#include "ui/screen_layer.h"
#include "ui/screen_layout.h"
#include "ui/screen_terminal.h"
#include "ui/thread_dialogs.h"
#include "ui/transcript_events.h"
#include "ui/window_stack.h"

namespace ui::detail {
namespace {

// The session's recorder (ORVIK_RECORD), or none: every action and box
// answer given on this screen is written to it as it happens.
AnswerRecorder* Recorder() {
  static std::unique_ptr<AnswerRecorder> recorder = AnswerRecorder::FromEnvironment();
  return recorder.get();
}

// Longest wait for a key before a window looks at its timers again.
constexpr int kKeySliceMs = 30;
// A pause this long starts a new type-ahead word in a list.
constexpr long long kTypeAheadMs = 1000;

int KeySlice(int nextTimerMs) {
  if (nextTimerMs < 0 || nextTimerMs > kKeySliceMs) return kKeySliceMs;
  return nextTimerMs < 1 ? 1 : nextTimerMs;
}

// The open windows, bottom first (guarded by ScreenMutex).
std::vector<Layer*>& Layers() {
  static std::vector<Layer*>* layers = new std::vector<Layer*>;
  return *layers;
}

// What the screen showed when it was last drawn.
struct Painted {
  unsigned long long signature = ~0ULL;
  int rows = -1, cols = -1;
};
Painted& LastPaint() {
  static Painted painted;
  return painted;
}

unsigned long long Signature() {
  unsigned long long sum = Layers().size();
  for (const Layer* layer : Layers()) {
    sum = sum * 31 + (layer->dialog ? layer->dialog->Revision() : 0);
  }
  return sum;
}

// Draws when a window changed since the last drawing (or `force`).
void Repaint(bool force) {
  std::lock_guard<std::recursive_mutex> lock(ScreenMutex());
  if (!ScreenHeld()) return;
  unsigned long long signature = Signature();
  Painted& last = LastPaint();
  if (!force && signature == last.signature && last.rows == LINES && last.cols == COLS) return;
  for (Layer* layer : Layers()) {
    if (!layer->dialog) continue;
    std::vector<Control> controls = layer->dialog->ControlsSnapshot();
    for (auto& [index, state] : layer->lists) {
      if (index < static_cast<int>(controls.size())) {
        RefreshShown(state, controls[static_cast<size_t>(index)], layer->dialog->Revision());
      }
    }
  }
  PaintLayers(Layers());
  last.signature = signature;
  last.rows = LINES;
  last.cols = COLS;
}

void Push(Layer* layer) {
  std::lock_guard<std::recursive_mutex> lock(ScreenMutex());
  if (!AcquireScreen()) {
    FailNoAnswer("the terminal cannot show full-screen windows (TERM " +
                 std::string(std::getenv("TERM") ? std::getenv("TERM") : "") + "): use ORVIK_UI=console");
  }
  Layers().push_back(layer);
  Repaint(true);
}

void Pop(Layer* layer) {
  std::lock_guard<std::recursive_mutex> lock(ScreenMutex());
  auto& layers = Layers();
  layers.erase(std::remove(layers.begin(), layers.end(), layer), layers.end());
  Repaint(true);
}

[[noreturn]] void EndOfInput(const std::string& window) {
  ReleaseScreen();
  FailNoAnswer("end of input: no answer for " + window);
}

// ---- Dialog keys ------------------------------------------------------------

class DialogKeys {
 public:
  // `lock` holds the screen; it is let go while the dialog's handlers run
  // (they may open windows of their own or wait for other threads).
  DialogKeys(Layer& layer, std::unique_lock<std::recursive_mutex>& lock)
      : layer_(layer), dialog_(*layer.dialog), lock_(lock), controls_(dialog_.ControlsSnapshot()) {}

  void InitialFocus();
  void Handle(int key);

 private:
  const Control* Focused() const {
    if (layer_.focus < 0 || layer_.focus >= static_cast<int>(controls_.size())) return nullptr;
    return &controls_[static_cast<size_t>(layer_.focus)];
  }
  void Reload() { controls_ = dialog_.ControlsSnapshot(); }
  void MoveFocus(int step);
  void SetFocus(int index);
  bool CommitEdit();
  void Act(const DialogAction& action);
  void Press(int controlId);
  bool PressLetter(int letter);
  int DefaultButton() const;
  bool ListKey(int key);
  bool EditKey(int key);
  ListState& List();
  void MoveCursor(int to);

  Layer& layer_;
  Dialog& dialog_;
  std::unique_lock<std::recursive_mutex>& lock_;
  std::vector<Control> controls_;
};

void DialogKeys::InitialFocus() {
  int first = -1, preferred = -1, def = -1;
  for (size_t i = 0; i < controls_.size(); ++i) {
    const Control& c = controls_[i];
    if (!Focusable(c)) continue;
    if (first < 0) first = static_cast<int>(i);
    if (preferred < 0 && (c.tmpl.kind == ControlKind::Edit || c.tmpl.kind == ControlKind::ListBox)) {
      preferred = static_cast<int>(i);
    }
    if (def < 0 && c.tmpl.kind == ControlKind::DefButton) def = static_cast<int>(i);
  }
  SetFocus(preferred >= 0 ? preferred : def >= 0 ? def : first);
}

void DialogKeys::SetFocus(int index) {
  if (layer_.editing >= 0 && layer_.editing != index) CommitEdit();
  layer_.focus = index;
  layer_.filtering = false;
  layer_.typed.clear();
  const Control* c = Focused();
  if (c && c->tmpl.kind == ControlKind::Edit && layer_.editing != index) {
    layer_.editing = index;
    layer_.buffer = c->text;
    layer_.origin = c->text;
    layer_.caret = c->text.size();
  }
  if (c && c->tmpl.kind == ControlKind::ListBox) List();
}

void DialogKeys::MoveFocus(int step) {
  int n = static_cast<int>(controls_.size());
  if (n == 0) return;
  int at = layer_.focus < 0 ? (step > 0 ? -1 : 0) : layer_.focus;
  for (int k = 0; k < n; ++k) {
    at = ((at + step) % n + n) % n;
    if (Focusable(controls_[static_cast<size_t>(at)])) {
      SetFocus(at);
      return;
    }
  }
}

// Hands the text typed into the field to the dialog as one `set` action.
bool DialogKeys::CommitEdit() {
  int index = layer_.editing;
  layer_.editing = -1;
  if (index < 0 || index >= static_cast<int>(controls_.size())) return true;
  const Control& c = controls_[static_cast<size_t>(index)];
  if (layer_.buffer == c.text) return true;
  DialogAction action;
  action.kind = ActionKind::Set;
  action.control = c.tmpl.id;
  action.text = layer_.buffer;
  Act(action);
  return true;
}

void DialogKeys::Act(const DialogAction& action) {
  lock_.unlock();
  std::string why = PerformAction(dialog_, action, Recorder());
  lock_.lock();
  // The reason names control ids, which this frontend never shows.
  layer_.note = why.empty() ? "" : "That is not available in this window now.";
  if (!why.empty()) beep();
  Reload();
}

void DialogKeys::Press(int controlId) {
  CommitEdit();
  DialogAction action;
  action.kind = ActionKind::Click;
  action.control = controlId;
  Act(action);
  // The field keeps the focus: it shows what the dialog made of the text.
  if (const Control* c = Focused(); c && c->tmpl.kind == ControlKind::Edit && !dialog_.IsEnded()) {
    SetFocus(layer_.focus);
  }
}

int DialogKeys::DefaultButton() const {
  for (const Control& c : controls_) {
    if (c.tmpl.kind == ControlKind::DefButton) return c.tmpl.id;
  }
  return -1;
}

bool DialogKeys::PressLetter(int letter) {
  if (letter <= 0 || letter > 255) return false;
  for (const Control& c : controls_) {
    if (c.tmpl.kind != ControlKind::Button && c.tmpl.kind != ControlKind::DefButton &&
        c.tmpl.kind != ControlKind::Radio) {
      continue;
    }
    char accel = Accelerator(c.text);
    if (accel && platform::EqualNoCase(accel, static_cast<char>(letter))) {
      Press(c.tmpl.id);
      return true;
    }
  }
  return false;
}

ListState& DialogKeys::List() {
  ListState& state = layer_.lists[layer_.focus];
  RefreshShown(state, controls_[static_cast<size_t>(layer_.focus)], dialog_.Revision());
  return state;
}

void DialogKeys::MoveCursor(int to) {
  ListState& state = List();
  int total = static_cast<int>(state.shown.size());
  if (total == 0) return;
  state.cursor = std::clamp(to, 0, total - 1);
  int rows = std::max(ListRows(layer_, layer_.focus) - (state.filter.empty() ? 0 : 1), 1);
  if (state.cursor < state.top) state.top = state.cursor;
  if (state.cursor >= state.top + rows) state.top = state.cursor - rows + 1;
}

bool DialogKeys::ListKey(int key) {
  ListState& state = List();
  const Control& list = *Focused();
  int rows = std::max(ListRows(layer_, layer_.focus) - 1, 1);
  if (layer_.filtering) {
    if (key == 27) {
      state.filter.clear();
      layer_.filtering = false;
    } else if (key == '\r' || key == '\n' || key == KEY_ENTER) {
      layer_.filtering = false;
      return true;
    } else if (key == KEY_BACKSPACE || key == 127 || key == 8) {
      if (!state.filter.empty()) state.filter.pop_back();
    } else if (key >= 32 && key < 127) {
      state.filter += static_cast<char>(key);
    } else {
      return false;
    }
    state.shownRevision = ~0UL;
    state.cursor = 0;
    state.top = 0;
    List();
    return true;
  }
  switch (key) {
    case KEY_UP: MoveCursor(state.cursor - 1); return true;
    case KEY_DOWN: MoveCursor(state.cursor + 1); return true;
    case KEY_PPAGE: MoveCursor(state.cursor - rows); return true;
    case KEY_NPAGE: MoveCursor(state.cursor + rows); return true;
    case KEY_HOME: MoveCursor(0); return true;
    case KEY_END: MoveCursor(static_cast<int>(state.shown.size()) - 1); return true;
    case ' ': {
      if (state.shown.empty()) return true;
      DialogAction action;
      action.kind = ActionKind::Toggle;
      action.control = list.tmpl.id;
      action.text = "#" + std::to_string(state.shown[static_cast<size_t>(state.cursor)] + 1);
      Act(action);
      return true;
    }
    case '/':
      layer_.filtering = true;
      return true;
    case 27:
      if (state.filter.empty()) return false;
      state.filter.clear();
      state.shownRevision = ~0UL;
      List();
      return true;
    default: break;
  }
  if (key > 32 && key < 127) {
    long long now = NowMs();
    if (now - layer_.typedAt > kTypeAheadMs) layer_.typed.clear();
    layer_.typedAt = now;
    layer_.typed += static_cast<char>(key);
    int at = FindByPrefix(list.items, state.shown, layer_.typed);
    if (at < 0) {
      beep();
    } else {
      MoveCursor(at);
    }
    return true;
  }
  return false;
}

bool DialogKeys::EditKey(int key) {
  std::string& text = layer_.buffer;
  size_t& caret = layer_.caret;
  caret = std::min(caret, text.size());
  const Control* c = Focused();
  switch (key) {
    case KEY_LEFT: if (caret > 0) --caret; return true;
    case KEY_RIGHT: if (caret < text.size()) ++caret; return true;
    case KEY_HOME: caret = 0; return true;
    case KEY_END: caret = text.size(); return true;
    case KEY_BACKSPACE:
    case 127:
    case 8:
      if (caret > 0) text.erase(--caret, 1);
      return true;
    case KEY_DC:
      if (caret < text.size()) text.erase(caret, 1);
      return true;
    default: break;
  }
  if (key >= 32 && key < 127) {
    char ch = static_cast<char>(key);
    if (c && (c->tmpl.style & ES_UPPERCASE)) ch = platform::AsciiUpper(ch);
    text.insert(caret++, 1, ch);
    return true;
  }
  return false;
}

void DialogKeys::Handle(int key) {
  layer_.note.clear();
  if (key == KEY_RESIZE) return;
  // A field whose text the dialog changed shows the new text.
  if (layer_.editing >= 0 && layer_.editing < static_cast<int>(controls_.size())) {
    const Control& c = controls_[static_cast<size_t>(layer_.editing)];
    if (c.text != layer_.origin) {
      layer_.buffer = layer_.origin = c.text;
      layer_.caret = c.text.size();
    }
  }
  if (Focused() && !Focusable(*Focused())) MoveFocus(1);  // it was disabled meanwhile
  const Control* c = Focused();
  ControlKind kind = c ? c->tmpl.kind : ControlKind::Static;
  if (kind == ControlKind::ListBox && layer_.filtering) {
    ListKey(key);
    return;
  }
  if (key == '\t' || (key == KEY_DOWN && kind != ControlKind::ListBox) ||
      (key == KEY_RIGHT && kind != ControlKind::Edit && kind != ControlKind::ListBox)) {
    MoveFocus(1);
    return;
  }
  if (key == KEY_BTAB || (key == KEY_UP && kind != ControlKind::ListBox) ||
      (key == KEY_LEFT && kind != ControlKind::Edit && kind != ControlKind::ListBox)) {
    MoveFocus(-1);
    return;
  }
  if (key >= kAltBase) {
    if (!PressLetter(key - kAltBase)) beep();
    return;
  }
  if (kind == ControlKind::ListBox && ListKey(key)) return;
  if (key == 27) {
    DialogAction action;
    action.kind = ActionKind::Close;
    Act(action);
    return;
  }
  if (key == '\r' || key == '\n' || key == KEY_ENTER) {
    int def = DefaultButton();
    if (def >= 0) {
      Press(def);
    } else if (c && (kind == ControlKind::Button || kind == ControlKind::Radio)) {
      Press(c->tmpl.id);
    } else {
      beep();
    }
    return;
  }
  if (kind == ControlKind::Edit && EditKey(key)) return;
  if (key == ' ' && c && (kind == ControlKind::Button || kind == ControlKind::DefButton ||
                          kind == ControlKind::Radio)) {
    Press(c->tmpl.id);
    return;
  }
  if (key < 256 && std::isalnum(key) && PressLetter(key)) return;
  if (key != kNoKey) beep();
}

// ---- Box keys ---------------------------------------------------------------

int BoxKey(Layer& box, int key) {
  std::vector<BoxChoice> choices = OfferedAnswers(box.style);
  int n = static_cast<int>(choices.size());
  switch (key) {
    case '\t':
    case KEY_RIGHT:
    case KEY_DOWN: box.boxFocus = (box.boxFocus + 1) % n; return 0;
    case KEY_BTAB:
    case KEY_LEFT:
    case KEY_UP: box.boxFocus = (box.boxFocus + n - 1) % n; return 0;
    case '\r':
    case '\n':
    case ' ':
    case KEY_ENTER: return choices[static_cast<size_t>(box.boxFocus)].id;
    case 27:
      for (const BoxChoice& c : choices) {
        if (c.id == IDCANCEL) return IDCANCEL;
      }
      return n == 1 ? choices[0].id : 0;
    default: break;
  }
  int letter = key >= kAltBase ? key - kAltBase : key;
  if (letter > 0 && letter < 128 && platform::IsAsciiLetter(static_cast<char>(letter))) {
    for (const BoxChoice& c : choices) {
      if (platform::EqualNoCase(static_cast<char>(letter), c.word[0])) return c.id;
    }
  }
  if (key != KEY_RESIZE) beep();
  return 0;
}

// ---- The frontend -----------------------------------------------------------

class ScreenFrontend : public Frontend {
 public:
  void RunModal(Dialog& dialog) override;
  int ShowMessageBox(const std::string& text, const std::string& caption, unsigned style) override;
  void ModelessShown(Dialog& dialog) override;
  void ModelessUpdated(Dialog& dialog) override;
  void ModelessDestroyed(Dialog& dialog) override;
  void WindowUpdated(Dialog&) override { Repaint(false); }

 private:
  std::mutex modelessMutex_;
  std::vector<std::unique_ptr<Layer>> modeless_;
};

void ScreenFrontend::RunModal(Dialog& dialog) {
  Layer layer;
  layer.dialog = &dialog;
  layer.thread = std::this_thread::get_id();
  {
    std::unique_lock<std::recursive_mutex> lock(ScreenMutex());
    DialogKeys(layer, lock).InitialFocus();
    Push(&layer);
  }
  bool onTop = false;
  for (;;) {
    int nextTimer = FireThreadTimers();
    if (dialog.IsEnded()) break;
    Repaint(false);
    if (!ThisThreadOnTop()) {
      onTop = false;
      WaitForWake(WaitSlice(nextTimer));
      continue;
    }
    if (!onTop) {
      CallBeforeAnswerHook(dialog.TemplateId(), dialog.Caption());
      onTop = true;
    }
    int key = ReadKey(KeySlice(nextTimer));
    if (key == kNoKey) continue;
    if (key == kEndOfInput) EndOfInput(WindowName(dialog.TemplateId(), dialog.Caption()));
    if (!ThisThreadOnTop()) {
      UnreadKey(key);  // a window of another thread opened while we waited
      continue;
    }
    std::unique_lock<std::recursive_mutex> lock(ScreenMutex());
    DialogKeys(layer, lock).Handle(key);
    Repaint(true);
  }
  // Its last look (a bar at 100%) is drawn before the window goes.
  Repaint(false);
  Pop(&layer);
}

int ScreenFrontend::ShowMessageBox(const std::string& text, const std::string& caption, unsigned style) {
  Layer box;
  box.text = text;
  box.caption = caption;
  box.style = style;
  box.thread = std::this_thread::get_id();
  if ((style & MB_DEFBUTTON2) && OfferedAnswers(style).size() > 1) box.boxFocus = 1;
  Push(&box);
  bool onTop = false;
  int answer = 0;
  while (answer == 0) {
    int nextTimer = FireThreadTimers();
    Repaint(false);
    if (!ThisThreadOnTop()) {
      onTop = false;
      WaitForWake(WaitSlice(nextTimer));
      continue;
    }
    if (!onTop) {
      CallBeforeAnswerHook(0, caption);
      onTop = true;
    }
    int key = ReadKey(KeySlice(nextTimer));
    if (key == kNoKey) continue;
    if (key == kEndOfInput) EndOfInput(WindowName(0, caption));
    if (!ThisThreadOnTop()) {
      UnreadKey(key);
      continue;
    }
    std::lock_guard<std::recursive_mutex> lock(ScreenMutex());
    answer = BoxKey(box, key);
    Repaint(true);
  }
  Pop(&box);
  if (AnswerRecorder* recorder = Recorder()) recorder->RecordBox(text, answer);
  return answer;
}

void ScreenFrontend::ModelessShown(Dialog& dialog) {
  auto layer = std::make_unique<Layer>();
  layer->dialog = &dialog;
  layer->modeless = true;
  layer->thread = std::this_thread::get_id();
  Layer* raw = layer.get();
  {
    std::lock_guard<std::mutex> lock(modelessMutex_);
    modeless_.push_back(std::move(layer));
  }
  Push(raw);
}

void ScreenFrontend::ModelessUpdated(Dialog&) { Repaint(false); }

void ScreenFrontend::ModelessDestroyed(Dialog& dialog) {
  std::unique_ptr<Layer> gone;
  {
    std::lock_guard<std::mutex> lock(modelessMutex_);
    for (auto it = modeless_.begin(); it != modeless_.end(); ++it) {
      if ((*it)->dialog == &dialog) {
        gone = std::move(*it);
        modeless_.erase(it);
        break;
      }
    }
  }
  if (gone) Pop(gone.get());
}

}  // namespace

std::unique_ptr<Frontend> MakeScreenFrontend() { return std::make_unique<ScreenFrontend>(); }

}  // namespace ui::detail
