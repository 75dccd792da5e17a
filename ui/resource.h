// Dialog templates and string tables as data; every frontend renders from them.
#pragma once
#include <map>
#include <string>
#include <vector>

namespace ui {

enum class ControlKind { Static, Edit, Button, DefButton, Radio, GroupBox, ListBox, Progress, Frame, Icon };

// Style bits of a control.
constexpr unsigned ES_READONLY = 0x0800;
constexpr unsigned ES_MULTILINE = 0x0004;
constexpr unsigned ES_UPPERCASE = 0x0008;
constexpr unsigned SS_CENTER = 0x0001;
constexpr unsigned LBS_MULTIPLESEL = 0x0008;
constexpr unsigned LBS_NOTIFY = 0x0001;
constexpr unsigned WS_VSCROLL = 0x00200000;
constexpr unsigned WS_GROUP = 0x00020000;

struct ControlTemplate {
  int id = -1;  // -1 for controls without an id (labels)
  ControlKind kind = ControlKind::Static;
  std::string text;
  int x = 0, y = 0, cx = 0, cy = 0;
  unsigned style = 0;
};

struct DialogTemplate {
  int id = 0;
  std::string caption;
  int cx = 0, cy = 0;
  std::vector<ControlTemplate> controls;
  // A window that ends by itself (a progress window, a window without
  // buttons): it takes an answer line only when the next line names it.
  bool closesItself = false;
  // A window that comes only in some states of the workstation (a conflict
  // with what is installed, a disk to change): a recorded session writes its
  // answers as optional lines.
  bool dependsOnState = false;
};

// The resources of one program: its dialogs and string table.
struct ResourceModule {
  std::map<int, DialogTemplate> dialogs;
  std::map<int, std::string> strings;
};

// Chooses the program's resources; called once at start-up.
void SetResources(const ResourceModule* module);
const DialogTemplate* FindTemplate(int id);
// String resource `id`, or "" when there is none.
std::string LoadString(int id);

}  // namespace ui
