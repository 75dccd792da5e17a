#include "ui/gui/dialog_template.h"

#include <string>

#include "ui/gui/win32.h"

namespace ui::gui {
namespace {

// Predefined control class atoms of dialog templates.
constexpr std::uint16_t kButton = 0x0080;
constexpr std::uint16_t kEdit = 0x0081;
constexpr std::uint16_t kStatic = 0x0082;
constexpr std::uint16_t kListBox = 0x0083;

// The dialogs' font: the system's dialog font at 8 points.
constexpr std::uint16_t kFontPoints = 8;
constexpr const char* kFontName = "MS Shell Dlg";

class Words {
 public:
  void Word(std::uint16_t w) { words_.push_back(w); }
  void Dword(std::uint32_t d) {
    Word(static_cast<std::uint16_t>(d & 0xFFFF));
    Word(static_cast<std::uint16_t>(d >> 16));
  }
  // A zero-ended UTF-16 string; the texts of resources/ are ASCII.
  void Text(const std::string& text) {
    for (unsigned char ch : text) Word(ch);
    Word(0);
  }
  void AlignDword() {
    if (words_.size() % 2) Word(0);
  }
  std::vector<std::uint16_t> Take() { return std::move(words_); }

 private:
  std::vector<std::uint16_t> words_;
};

std::uint16_t Short(int v) { return static_cast<std::uint16_t>(static_cast<std::int16_t>(v)); }

}  // namespace

ControlClass ClassOf(const ControlTemplate& c) {
  const std::uint32_t base = WS_CHILD | WS_VISIBLE;
  const std::uint32_t own = c.style;  // ES_UPPERCASE, WS_GROUP, LBS_MULTIPLESEL ... from the template
  switch (c.kind) {
    case ControlKind::Static:
      return {kStatic, nullptr, base | SS_LEFT | own, 0};
    case ControlKind::Frame:
      return {kStatic, nullptr, base | SS_ETCHEDFRAME | own, 0};
    case ControlKind::Icon:
      return {kStatic, nullptr, base | SS_ICON | own, 0};
    case ControlKind::Edit: {
      std::uint32_t style = base | WS_TABSTOP | own;
      style |= (own & ES_MULTILINE) ? (ES_AUTOVSCROLL | WS_VSCROLL) : ES_AUTOHSCROLL;
      return {kEdit, nullptr, style, WS_EX_CLIENTEDGE};
    }
    case ControlKind::Button:
      return {kButton, nullptr, base | WS_TABSTOP | BS_PUSHBUTTON | own, 0};
    case ControlKind::DefButton:
      return {kButton, nullptr, base | WS_TABSTOP | BS_DEFPUSHBUTTON | own, 0};
    case ControlKind::Radio:
      // Only the first button of a group is a tab stop; arrows move inside it.
      return {kButton, nullptr, base | BS_AUTORADIOBUTTON | ((own & WS_GROUP) ? WS_TABSTOP : 0) | own, 0};
    case ControlKind::GroupBox:
      return {kButton, nullptr, base | BS_GROUPBOX | own, 0};
    case ControlKind::ListBox:
      return {kListBox, nullptr,
              base | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS | own,
              WS_EX_CLIENTEDGE};
    case ControlKind::Progress:
      return {0, PROGRESS_CLASSA, base | own, WS_EX_CLIENTEDGE};
  }
  return {kStatic, nullptr, base | own, 0};
}

std::vector<std::uint16_t> BuildDialogTemplate(const DialogTemplate& t, WindowRole role) {
  Words out;
  std::uint32_t style =
      WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER | DS_3DLOOK;
  std::uint32_t exStyle = WS_EX_DLGMODALFRAME;
  if (role == WindowRole::Main) {
    style |= WS_MINIMIZEBOX;
    exStyle |= WS_EX_APPWINDOW;
  }
  out.Dword(style);
  out.Dword(exStyle);
  out.Word(static_cast<std::uint16_t>(t.controls.size()));
  out.Word(0);  // x, y: DS_CENTER places it
  out.Word(0);
  out.Word(Short(t.cx));
  out.Word(Short(t.cy));
  out.Word(0);  // no menu
  out.Word(0);  // the dialog class
  out.Text(t.caption);
  out.Word(kFontPoints);
  out.Text(kFontName);
  for (const ControlTemplate& c : t.controls) {
    ControlClass cls = ClassOf(c);
    out.AlignDword();
    out.Dword(cls.style);
    out.Dword(cls.exStyle);
    out.Word(Short(c.x));
    out.Word(Short(c.y));
    out.Word(Short(c.cx));
    out.Word(Short(c.cy));
    out.Word(static_cast<std::uint16_t>(c.id < 0 ? 0xFFFF : c.id));
    if (cls.atom) {
      out.Word(0xFFFF);
      out.Word(cls.atom);
    } else {
      out.Text(cls.name);
    }
    // List and progress texts are not captions; icons get theirs at run time.
    bool captioned = c.kind != ControlKind::ListBox && c.kind != ControlKind::Progress &&
                     c.kind != ControlKind::Icon;
    out.Text(captioned ? c.text : "");
    out.Word(0);  // no creation data
  }
  return out.Take();
}

}  // namespace ui::gui
