#include "ui/gui/native_dialog.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "ui/actions.h"
#include "ui/frontends.h"
#include "ui/thread_dialogs.h"
#include "ui/transcript_events.h"
#include "ui/window_stack.h"
#include "ui/gui/app_icon.h"
#include "ui/gui/dialog_template.h"
#include "ui/gui/window_picture.h"
#include "ui/gui/win32.h"

namespace ui::gui {
namespace {

// The window timer that fires the dialogs' timers, keeps the window showing
// its dialog and, with an answer file, takes the window's lines.
constexpr UINT_PTR kTickTimer = 0x4F52;
constexpr UINT kTickMs = 10;

GuiSettings settings;

struct NativeWindow {
  Dialog* dialog = nullptr;
  bool modal = false;
  HWND hwnd = nullptr;
  DWORD thread = 0;
  unsigned long shownRevision = 0;
  bool shownOnce = false;
  bool pushing = false;   // the window is being made to show the dialog (its notifications are ours)
  bool acting = false;    // an answer line's actions run
  bool pictured = false;
};

std::mutex registryMutex;
std::vector<NativeWindow*>& Registry() {
  static std::vector<NativeWindow*> windows;
  return windows;
}

void Register(NativeWindow* w) {
  std::lock_guard<std::mutex> lock(registryMutex);
  Registry().push_back(w);
}

void Unregister(NativeWindow* w) {
  std::lock_guard<std::mutex> lock(registryMutex);
  auto& r = Registry();
  r.erase(std::remove(r.begin(), r.end(), w), r.end());
}

NativeWindow* FindWindowOf(const Dialog* dialog) {
  std::lock_guard<std::mutex> lock(registryMutex);
  for (NativeWindow* w : Registry()) {
    if (w->dialog == dialog) return w;
  }
  return nullptr;
}

// Handlers running on this thread in its innermost modal run: while one
// runs, no window of that run takes an answer line.
thread_local int handlersRunning = 0;

std::string WindowText(HWND window) {
  int length = GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(std::max(length, 0)) + 1, '\0');
  int got = GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(std::max(got, 0)));
  return text;
}

std::string ListText(HWND list, int index) {
  LRESULT length = SendMessageA(list, LB_GETTEXTLEN, index, 0);
  if (length == LB_ERR) return "";
  std::string text(static_cast<size_t>(length) + 1, '\0');
  LRESULT got = SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(got == LB_ERR ? 0 : static_cast<size_t>(got));
  return text;
}

// Makes the window show the dialog's state, when it changed.
void Push(NativeWindow* w) {
  Dialog& d = *w->dialog;
  unsigned long revision = d.Revision();
  if (w->shownOnce && revision == w->shownRevision) return;
  w->shownOnce = true;
  w->shownRevision = revision;
  w->pushing = true;
  if (WindowText(w->hwnd) != d.Caption()) SetWindowTextA(w->hwnd, d.Caption().c_str());
  std::vector<Control> controls = d.ControlsSnapshot();
  std::vector<int> seen;
  for (const Control& c : controls) {
    if (c.tmpl.id < 0 || std::find(seen.begin(), seen.end(), c.tmpl.id) != seen.end()) continue;
    seen.push_back(c.tmpl.id);
    HWND h = GetDlgItem(w->hwnd, c.tmpl.id);
    if (!h) continue;
    if (!IsWindowEnabled(h) != !c.enabled) EnableWindow(h, c.enabled);
    switch (c.tmpl.kind) {
      case ControlKind::ListBox: {
        int count = static_cast<int>(SendMessageA(h, LB_GETCOUNT, 0, 0));
        bool same = count == static_cast<int>(c.items.size());
        for (int i = 0; same && i < count; ++i) same = ListText(h, i) == c.items[i];
        if (!same) {
          SendMessageA(h, WM_SETREDRAW, FALSE, 0);
          SendMessageA(h, LB_RESETCONTENT, 0, 0);
          for (const std::string& item : c.items) SendMessageA(h, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
          SendMessageA(h, WM_SETREDRAW, TRUE, 0);
          InvalidateRect(h, nullptr, TRUE);
        }
        for (size_t i = 0; i < c.items.size(); ++i) {
          bool selected = SendMessageA(h, LB_GETSEL, i, 0) > 0;
          if (selected != (c.selected[i] != 0)) SendMessageA(h, LB_SETSEL, c.selected[i] ? TRUE : FALSE, i);
        }
        if (c.caret >= 0 && SendMessageA(h, LB_GETCARETINDEX, 0, 0) != c.caret) {
          SendMessageA(h, LB_SETCARETINDEX, c.caret, FALSE);
        }
        break;
      }
      case ControlKind::Progress:
        SendMessageA(h, PBM_SETRANGE32, c.rangeLow, c.rangeHigh);
        SendMessageA(h, PBM_SETPOS, c.pos, 0);
        break;
      case ControlKind::Icon:
        break;
      case ControlKind::Radio:
        if ((SendMessageA(h, BM_GETCHECK, 0, 0) == BST_CHECKED) != c.checked) {
          SendMessageA(h, BM_SETCHECK, c.checked ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        [[fallthrough]];
      default:
        if (WindowText(h) != c.text) SetWindowTextA(h, c.text.c_str());
        break;
    }
  }
  w->pushing = false;
}

// The transcript's window, field and item lines, from what the window's
// controls hold.
void WriteLinesFromWindow(NativeWindow* w) {
  std::vector<Control> controls = w->dialog->ControlsSnapshot();
  for (Control& c : controls) {
    HWND h = c.tmpl.id >= 0 ? GetDlgItem(w->hwnd, c.tmpl.id) : nullptr;
    if (!h) continue;
    if (c.tmpl.kind == ControlKind::Edit) {
      c.text = WindowText(h);
    } else if (c.tmpl.kind == ControlKind::ListBox) {
      int count = static_cast<int>(SendMessageA(h, LB_GETCOUNT, 0, 0));
      c.items.clear();
      c.selected.clear();
      for (int i = 0; i < count; ++i) {
        c.items.push_back(ListText(h, i));
        c.selected.push_back(SendMessageA(h, LB_GETSEL, i, 0) > 0 ? 1 : 0);
      }
    }
  }
  detail::WriteWindowLines(w->dialog->TemplateId(), WindowText(w->hwnd), controls);
}

void EndIfEnded(NativeWindow* w) {
  if (w->modal && w->dialog->IsEnded()) ::EndDialog(w->hwnd, w->dialog->Result());
}

// Runs a handler of the dialog, then shows what it changed.
template <typename F>
void RunHandler(NativeWindow* w, F handler) {
  ++handlersRunning;
  handler();
  --handlersRunning;
  Push(w);
  EndIfEnded(w);
}

void TakePicture(NativeWindow* w) {
  if (w->pictured || settings.pictureDir.empty() || !IsWindowVisible(w->hwnd)) return;
  w->pictured = true;
  RedrawWindow(w->hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
  // What was painted reaches the screen while the thread waits for
  // messages; none is taken here, so no handler runs.
  for (int i = 0; i < 5; ++i) MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  SaveWindowPicture(w->hwnd, NextPicturePath(settings.pictureDir, std::to_string(w->dialog->TemplateId())));
}

const ControlTemplate* TemplateOf(NativeWindow* w, int id) { return w->dialog->FindControlTemplate(id); }

// A notification of a control: the dialog learns what the control now
// holds, and the handler for it runs.
void OnControl(NativeWindow* w, int id, int code, HWND control) {
  if (w->pushing) return;
  Dialog& d = *w->dialog;
  const ControlTemplate* t = TemplateOf(w, id);
  if (t && t->kind == ControlKind::Edit) {
    if (code == EN_CHANGE) {
      d.SetDlgItemText(id, WindowText(control));
      Push(w);
    }
    return;
  }
  if (t && t->kind == ControlKind::ListBox) {
    if (code != LBN_SELCHANGE) return;
    ListBox list = d.List(id);
    int count = static_cast<int>(SendMessageA(control, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count && i < list.GetCount(); ++i) list.SetSel(i, SendMessageA(control, LB_GETSEL, i, 0) > 0);
    list.SetCaretIndex(static_cast<int>(SendMessageA(control, LB_GETCARETINDEX, 0, 0)));
    RunHandler(w, [&] { d.OnSelChange(id); });
    return;
  }
  // Buttons, and Enter / Escape (IDOK / IDCANCEL without a control).
  const bool button = t && (t->kind == ControlKind::Button || t->kind == ControlKind::DefButton ||
                            t->kind == ControlKind::Radio);
  if (!(button && code == BN_CLICKED) && !(control == nullptr && (id == IDOK || id == IDCANCEL))) return;
  RunHandler(w, [&] {
    if (t && t->kind == ControlKind::Radio) d.CheckRadioInGroup(id);
    d.OnCommand(id);
  });
}

// One action of an answer line, done through the messages a person's
// input would cause; "" when done, else why it cannot be.
std::string Drive(NativeWindow* w, const detail::DialogAction& action) {
  using detail::ActionKind;
  if (action.kind == ActionKind::Close) {
    detail::WriteAnswerLine(detail::AnswerText(action, ""));
    SendMessageA(w->hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    return "";
  }
  std::string why;
  if (!detail::CheckAction(*w->dialog, action, &why)) return why;
  HWND control = GetDlgItem(w->hwnd, action.control);
  if (!control) return "the window has no control " + std::to_string(action.control);
  switch (action.kind) {
    case ActionKind::Set:
      detail::WriteAnswerLine(detail::AnswerText(action, action.text));
      SetFocus(control);
      SendMessageA(control, EM_SETSEL, 0, -1);
      SendMessageA(control, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(action.text.c_str()));
      break;
    case ActionKind::Toggle: {
      int index = detail::ResolveItem(*w->dialog, action.control, action.text, &why);
      if (index < 0) return why;
      detail::WriteAnswerLine(detail::AnswerText(action, ListText(control, index)));
      SetFocus(control);
      bool selected = SendMessageA(control, LB_GETSEL, index, 0) > 0;
      SendMessageA(control, LB_SETSEL, selected ? FALSE : TRUE, index);
      SendMessageA(control, LB_SETCARETINDEX, index, FALSE);
      SendMessageA(w->hwnd, WM_COMMAND, MAKEWPARAM(action.control, LBN_SELCHANGE), reinterpret_cast<LPARAM>(control));
      break;
    }
    case ActionKind::Click:
      detail::WriteAnswerLine(detail::AnswerText(action, ""));
      SendMessageA(control, BM_CLICK, 0, 0);
      break;
    case ActionKind::Close:
      break;
  }
  return "";
}

// With an answer file: when the window is the top-most one and no handler
// runs, it takes its next line and does the line's actions.
void TakeAnswer(NativeWindow* w) {
  detail::AnswerScript* script = settings.script;
  if (!script || !w->modal || w->acting || handlersRunning > 0) return;
  Dialog& d = *w->dialog;
  const int id = d.TemplateId();
  const bool selfClosing = d.Template() && d.Template()->closesItself;
  {
    std::lock_guard<std::recursive_mutex> lock(detail::UiMutex());
    if (!detail::TopWindowIs(&d) || (selfClosing && !script->NextLineNames(id))) return;
  }
  w->acting = true;
  detail::CallBeforeAnswerHook(id, d.Caption());
  detail::AnswerLine line;
  size_t index = detail::AnswerScript::kNoLine;
  {
    std::lock_guard<std::recursive_mutex> lock(detail::UiMutex());
    // Another thread may have opened a window while the hook ran.
    if (!detail::TopWindowIs(&d) || (selfClosing && !script->NextLineNames(id))) {
      w->acting = false;
      return;
    }
    line = script->TakeLine(id, d.Caption(), nullptr, &index);
  }
  for (const detail::DialogAction& action : line.actions) {
    if (d.IsEnded()) {
      std::lock_guard<std::recursive_mutex> lock(detail::UiMutex());
      script->Fail("the dialog ended before the rest of the line", id, d.Caption(), index);
    }
    std::string why = Drive(w, action);
    if (!why.empty()) {
      std::lock_guard<std::recursive_mutex> lock(detail::UiMutex());
      script->Fail(why, id, d.Caption(), index);
    }
  }
  w->acting = false;
}

void Tick(NativeWindow* w) {
  // A modal window shows itself once its loop first idles; until then its
  // dialog's timers wait (a window that works from its first timer, as
  // setup.exe's, would otherwise work unseen).
  if (!IsWindowVisible(w->hwnd)) return;
  ++handlersRunning;
  detail::FireThreadTimers();
  --handlersRunning;
  Push(w);
  if (w->dialog->IsEnded()) {
    EndIfEnded(w);
    return;
  }
  TakePicture(w);
  TakeAnswer(w);
}

void SetUp(NativeWindow* w) {
  Dialog& d = *w->dialog;
  Register(w);
  if (d.IconId() != 0) {
    SendMessageA(w->hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(AppIcon(32)));
    SendMessageA(w->hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(AppIcon(16)));
  }
  for (const Control& c : d.ControlsSnapshot()) {
    if (c.tmpl.kind != ControlKind::Icon) continue;
    if (HWND h = GetDlgItem(w->hwnd, c.tmpl.id)) SendMessageA(h, STM_SETICON, reinterpret_cast<WPARAM>(AppIcon(32)), 0);
  }
  std::vector<Dialog::MenuItem> items = d.SystemMenuItems();
  if (HMENU menu = items.empty() ? nullptr : GetSystemMenu(w->hwnd, FALSE)) {
    for (const Dialog::MenuItem& item : items) {
      AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
      AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(item.command), item.text.c_str());
    }
  }
  // Accelerators are underlined from the start, not only after Alt.
  SendMessageA(w->hwnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEACCEL), 0);
  Push(w);
  WriteLinesFromWindow(w);
  SetTimer(w->hwnd, kTickTimer, kTickMs, nullptr);
}

// The button that takes the focus as the window opens when its first tab
// stop is a button: the default one. nullptr when the first tab stop is a
// field or a list, which the dialog manager focuses (its text selected).
HWND FocusButton(NativeWindow* w) {
  HWND first = GetNextDlgTabItem(w->hwnd, nullptr, FALSE);
  char cls[16] = "";
  if (!first || !GetClassNameA(first, cls, sizeof cls) || lstrcmpiA(cls, "Button") != 0) return nullptr;
  LRESULT def = SendMessageA(w->hwnd, DM_GETDEFID, 0, 0);
  HWND button = HIWORD(def) == DC_HASDEFID ? GetDlgItem(w->hwnd, LOWORD(def)) : nullptr;
  return button && IsWindowEnabled(button) ? button : nullptr;
}

// Paints the icon centred in the client area of a minimised window.
void PaintMinimised(NativeWindow* w) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(w->hwnd, &paint);
  SendMessageA(w->hwnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client;
  GetClientRect(w->hwnd, &client);
  const int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
  DrawIcon(dc, (client.right - client.left - cx + 1) / 2, (client.bottom - client.top - cy + 1) / 2, AppIcon(32));
  EndPaint(w->hwnd, &paint);
}

INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* w = reinterpret_cast<NativeWindow*>(GetWindowLongPtrA(hwnd, DWLP_USER));
  if (message == WM_INITDIALOG) {
    w = reinterpret_cast<NativeWindow*>(lParam);
    SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
    w->hwnd = hwnd;
    SetUp(w);
    if (HWND button = FocusButton(w)) {
      SetFocus(button);
      return FALSE;  // the focus is set
    }
    return TRUE;
  }
  if (!w) return FALSE;
  Dialog& d = *w->dialog;
  switch (message) {
    case WM_TIMER:
      if (wParam != kTickTimer) return FALSE;
      Tick(w);
      return TRUE;
    case WM_COMMAND:
      OnControl(w, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return TRUE;
    case WM_CLOSE:
      RunHandler(w, [&] { d.OnCancel(); });
      return TRUE;
    case WM_SYSCOMMAND:
      for (const Dialog::MenuItem& item : d.SystemMenuItems()) {
        if ((wParam & 0xFFF0) == (static_cast<WPARAM>(item.command) & 0xFFF0)) {
          RunHandler(w, [&] { d.OnSysCommand(static_cast<int>(wParam)); });
          return TRUE;
        }
      }
      return FALSE;
    case WM_PAINT:
      if (!IsIconic(hwnd) || d.IconId() == 0) return FALSE;
      PaintMinimised(w);
      return TRUE;
    case WM_QUERYDRAGICON:
      return d.IconId() != 0 ? reinterpret_cast<INT_PTR>(AppIcon(32)) : 0;
    case WM_SETCURSOR:
      if (!WaitCursorShown()) return FALSE;
      SetCursor(LoadCursor(nullptr, IDC_WAIT));
      SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_DESTROY:
      KillTimer(hwnd, kTickTimer);
      Unregister(w);
      return FALSE;
    default:
      return FALSE;
  }
}

// The window a new window of `dialog` belongs to: its parent's, else the
// calling thread's innermost one, else the top-most of the process.
HWND OwnerFor(const Dialog& dialog) {
  if (dialog.Parent()) {
    if (NativeWindow* parent = FindWindowOf(dialog.Parent())) return parent->hwnd;
  }
  if (HWND inner = InnermostWindow()) return inner;
  std::lock_guard<std::mutex> lock(registryMutex);
  return Registry().empty() ? nullptr : Registry().back()->hwnd;
}

WindowRole RoleOf(const Dialog& dialog, HWND owner) {
  return dialog.Parent() == nullptr && owner == nullptr ? WindowRole::Main : WindowRole::Owned;
}

}  // namespace

void SetGuiSettings(const GuiSettings& s) { settings = s; }
const GuiSettings& Settings() { return settings; }

void RunModalWindow(Dialog& dialog) {
  NativeWindow w;
  w.dialog = &dialog;
  w.modal = true;
  w.thread = GetCurrentThreadId();
  HWND owner = OwnerFor(dialog);
  std::vector<std::uint16_t> tmpl = BuildDialogTemplate(*dialog.Template(), RoleOf(dialog, owner));
  const int outerHandlers = handlersRunning;
  handlersRunning = 0;
  INT_PTR result = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(tmpl.data()),
                                           owner, DialogProc, reinterpret_cast<LPARAM>(&w));
  handlersRunning = outerHandlers;
  Unregister(&w);
  if (result == -1 && !dialog.IsEnded()) {
    detail::FailNoAnswer("window " + std::to_string(dialog.TemplateId()) + " could not be made (error " +
                         std::to_string(GetLastError()) + ")");
  }
}

void OpenModelessWindow(Dialog& dialog) {
  auto* w = new NativeWindow;
  w->dialog = &dialog;
  w->thread = GetCurrentThreadId();
  HWND owner = OwnerFor(dialog);
  std::vector<std::uint16_t> tmpl = BuildDialogTemplate(*dialog.Template(), RoleOf(dialog, owner));
  HWND hwnd = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(tmpl.data()),
                                         owner, DialogProc, reinterpret_cast<LPARAM>(w));
  if (!hwnd) {
    delete w;
    return;
  }
  ShowWindow(hwnd, SW_SHOWNORMAL);
  RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  TakePicture(w);
}

void RefreshWindow(Dialog& dialog) {
  NativeWindow* w = FindWindowOf(&dialog);
  if (!w || w->thread != GetCurrentThreadId()) return;
  Push(w);
  RedrawWindow(w->hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  TakePicture(w);
}

void CloseModelessWindow(Dialog& dialog) {
  NativeWindow* w = FindWindowOf(&dialog);
  if (!w || w->modal) return;
  DestroyWindow(w->hwnd);  // unregisters it
  delete w;
}

HWND InnermostWindow() {
  std::lock_guard<std::mutex> lock(registryMutex);
  const DWORD thread = GetCurrentThreadId();
  for (auto it = Registry().rbegin(); it != Registry().rend(); ++it) {
    if ((*it)->thread == thread && IsWindowEnabled((*it)->hwnd)) return (*it)->hwnd;
  }
  return nullptr;
}

bool IsDialogWindow(HWND window) {
  std::lock_guard<std::mutex> lock(registryMutex);
  for (NativeWindow* w : Registry()) {
    if (w->hwnd == window) return true;
  }
  return false;
}

}  // namespace ui::gui
