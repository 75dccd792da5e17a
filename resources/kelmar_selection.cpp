// Dialogs of procedure selection: the selection page, the three name-conflict
// dialogs and the index progress window.
#include "resources/kelmar_ids.h"
#include "resources/kelmar_resources.h"
#include "ui/msgbox.h"

namespace resources {
namespace {

using ui::ControlKind;
using ui::ControlTemplate;
using ui::DialogTemplate;

ControlTemplate Ctl(int id, ControlKind kind, const char* text, int x, int y, int cx, int cy,
                    unsigned style = 0) {
  ControlTemplate c;
  c.id = id;
  c.kind = kind;
  c.text = text;
  c.x = x;
  c.y = y;
  c.cx = cx;
  c.cy = cy;
  c.style = style;
  return c;
}

constexpr unsigned kReadOnlyBox = ui::ES_MULTILINE | ui::ES_READONLY;

DialogTemplate SelectionPage() {
  DialogTemplate d;
  d.id = IDD_PROC_SELECT;
  d.caption = "ORVIK Procedure Installation - Procedure Selection";
  d.cx = 357;
  d.cy = 230;
  d.controls = {
      Ctl(-1, ControlKind::Static, "Highlight one or more desired procedures in the list box below:", 9, 6, 153, 16),
      Ctl(IDC_PROC_LIST, ControlKind::ListBox, "", 3, 24, 161, 156,
          ui::LBS_MULTIPLESEL | ui::LBS_NOTIFY | ui::WS_VSCROLL),
      Ctl(IDC_PROC_NAME, ControlKind::Edit, "", 168, 24, 184, 12, ui::ES_READONLY),
      Ctl(-1, ControlKind::Static, "This procedure requires the following configuration:", 168, 38, 184, 8),
      Ctl(IDC_PROC_CONFIG, ControlKind::Edit, "", 168, 48, 184, 132, ui::ES_MULTILINE | ui::ES_READONLY),
      Ctl(-1, ControlKind::Static,
          "Note that each procedure may have up to six names to support different instruments.  If one "
          "procedure name is selected, other aliases for that procedure must also be added so they will be "
          "selected automatically.",
          9, 183, 160, 41),
      Ctl(IDC_SELECT_ALL, ControlKind::Button, "Select &All", 178, 185, 50, 14),
      Ctl(IDC_DESELECT_ALL, ControlKind::Button, "&Deselect All", 229, 185, 50, 14),
      Ctl(IDC_BACK, ControlKind::Button, "< &Back", 178, 205, 50, 14),
      Ctl(ui::IDOK, ControlKind::DefButton, "&Next >", 229, 205, 50, 14),
      Ctl(ui::IDCANCEL, ControlKind::Button, "Cancel", 291, 205, 50, 14),
  };
  return d;
}

DialogTemplate ConfirmOverwrite() {
  DialogTemplate d;
  d.id = IDD_CONFIRM_OVERWRITE;
  d.caption = "ORVIK - Procedure Installation - Confirm Overwrite";
  d.cx = 260;
  d.cy = 90;
  d.controls = {
      Ctl(-1, ControlKind::Static,
          "The selected procedure matches a procedure currently installed in the target directory.", 10, 8, 240, 18),
      Ctl(-1, ControlKind::Static, "Do you wish to overwrite the procedure and its associated picture files?", 10, 32,
          240, 18),
      Ctl(IDC_OVERWRITE_FILES, ControlKind::Button, "&Overwrite Files", 10, 66, 75, 14),
      Ctl(IDC_ALWAYS_OVERWRITE, ControlKind::Button, "&Always Overwrite", 92, 66, 75, 14),
      Ctl(IDC_KEEP_EXISTING, ControlKind::DefButton, "&Keep Existing Files", 174, 66, 76, 14),
  };
  d.dependsOnState = true;  // comes only in some states of the workstation
  return d;
}

DialogTemplate NameConflict1() {
  DialogTemplate d;
  d.id = IDD_NAME_CONFLICT_1;
  d.caption = "ORVIK Procedure Installation - Procedure Name Conflict [1]";
  d.cx = 260;
  d.cy = 228;
  d.controls = {
      Ctl(-1, ControlKind::Static,
          "An unusual name conflict has occurred with the selected procedure.  The procedure aliases or the "
          "number of aliases do not match a currently installed procedure file.",
          10, 8, 240, 26),
      Ctl(-1, ControlKind::Static, "Procedure names mapped in the existing procedure file.", 10, 38, 240, 8),
      Ctl(IDC_INSTALLED_NAMES, ControlKind::Edit, "", 10, 48, 240, 52, kReadOnlyBox),
      Ctl(-1, ControlKind::Static, "Procedure names mapped in the procedure file to be installed.", 10, 104, 240, 8),
      Ctl(IDC_NEW_NAMES, ControlKind::Edit, "", 10, 114, 240, 52, kReadOnlyBox),
      Ctl(-1, ControlKind::Static,
          "Do you wish to overwrite the procedure names in the upper list with those procedure names in the "
          "lower list?",
          10, 172, 240, 18),
      Ctl(IDC_CONFLICT_OVERWRITE, ControlKind::Button, "&Overwrite", 70, 204, 50, 14),
      Ctl(IDC_CONFLICT_NO, ControlKind::DefButton, "&No", 140, 204, 50, 14),
  };
  d.dependsOnState = true;  // comes only in some states of the workstation
  return d;
}

DialogTemplate NameConflict2() {
  DialogTemplate d;
  d.id = IDD_NAME_CONFLICT_2;
  d.caption = "ORVIK - Procedure Installation - Procedure Name Conflict [2]";
  d.cx = 260;
  d.cy = 214;
  d.controls = {
      Ctl(-1, ControlKind::Static,
          "Different instrument names in a SINGLE procedure file which is selected to be installed, correspond "
          "to instrument names which already exist in proc.dir, and which reference two or more DIFFERENT "
          "procedure files.",
          10, 8, 240, 34),
      Ctl(-1, ControlKind::Static,
          "To prevent erasing important data, overwriting will not be allowed.  You may continue to install "
          "other procedures at this time.",
          10, 46, 240, 18),
      Ctl(-1, ControlKind::Static,
          "To correct the name ambiguity:  Exit this installation program.  Using the ORVIK Editor, remove "
          "conflicting procedure files from the procedure directory on the target system.  Then perform this "
          "procedure installation.",
          10, 68, 240, 34),
      Ctl(-1, ControlKind::Static,
          "The following list includes the names in the procedure file which cannot currently be added:", 10, 106, 240,
          18),
      Ctl(IDC_INSTALLED_NAMES, ControlKind::Edit, "", 10, 126, 240, 60, kReadOnlyBox),
      Ctl(ui::IDOK, ControlKind::DefButton, "OK", 105, 192, 50, 14),
  };
  d.dependsOnState = true;  // comes only in some states of the workstation
  return d;
}

DialogTemplate IndexProgress() {
  DialogTemplate d;
  d.id = IDD_INDEX_PROGRESS;
  d.caption = "Updating Procedure Directory...";
  d.cx = 200;
  d.cy = 74;
  d.closesItself = true;
  d.controls = {
      Ctl(IDC_PROGRESS_HEADING, ControlKind::Static, "Updating Procedure Directories...", 10, 10, 180, 8,
          ui::SS_CENTER),
      Ctl(-1, ControlKind::Frame, "", 6, 4, 188, 38),
      Ctl(IDC_PROGRESS_LABEL, ControlKind::Static, "File:", 12, 26, 20, 8),
      Ctl(IDC_PROGRESS_FILE, ControlKind::Static, "Fname", 36, 26, 150, 8),
      Ctl(IDC_PROGRESS_BAR, ControlKind::Progress, "", 6, 50, 188, 12),
  };
  return d;
}

}  // namespace

void AddSelectionDialogs(ui::ResourceModule& module) {
  for (const DialogTemplate& d :
       {SelectionPage(), ConfirmOverwrite(), NameConflict1(), NameConflict2(), IndexProgress()}) {
    module.dialogs[d.id] = d;
  }
}

}  // namespace resources
