// Windows of the transfer: the copy progress window, the Disk Space page and
// the Insert Disk page.
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
  return {id, kind, text, x, y, cx, cy, style};
}

DialogTemplate CopyProgress() {
  DialogTemplate d{IDD_COPY_PROGRESS, "Copying Files...", 230, 92, {}, true};
  d.controls = {
      Ctl(-1, ControlKind::Frame, "", 7, 7, 216, 44),
      Ctl(IDC_PROGRESS_HEADING, ControlKind::Static, "Copying procedure files...", 14, 12, 202, 10, ui::SS_CENTER),
      Ctl(IDC_PROGRESS_LABEL, ControlKind::Static, "File:", 14, 30, 24, 10),
      Ctl(IDC_PROGRESS_FILE, ControlKind::Static, "Fname", 40, 30, 176, 10),
      Ctl(IDC_PROGRESS_BAR, ControlKind::Progress, "", 7, 56, 216, 10),
      Ctl(ui::IDCANCEL, ControlKind::DefButton, "Cancel", 90, 72, 50, 14),
  };
  return d;
}

DialogTemplate DiskSpace() {
  DialogTemplate d{IDD_DISK_SPACE, "ORVIK Procedure Install - Disk Space", 260, 110, {}, false};
  d.controls = {
      Ctl(-1, ControlKind::Static, "ORVIK was unable to determine the available disk space on the target drive.  ", 10,
          8, 240, 18),
      Ctl(-1, ControlKind::Static, "Required space", 10, 32, 60, 10),
      Ctl(IDC_REQUIRED_SPACE, ControlKind::Edit, "", 72, 30, 80, 12),
      Ctl(-1, ControlKind::Static, "Bytes", 156, 32, 30, 10),
      Ctl(-1, ControlKind::Static, "Please ensure the target drive is large enough for the current installation.", 10,
          50, 240, 18),
      Ctl(ui::IDOK, ControlKind::DefButton, "&Continue", 60, 88, 60, 14),
      Ctl(ui::IDCANCEL, ControlKind::Button, "Cancel Installation", 130, 88, 70, 14),
  };
  d.dependsOnState = true;  // comes only in some states of the workstation
  return d;
}

DialogTemplate InsertDisk() {
  DialogTemplate d{IDD_INSERT_DISK, "Procedure Install - Insert Disk", 180, 76, {}, false};
  d.controls = {
      Ctl(-1, ControlKind::Frame, "", 7, 7, 166, 36),
      Ctl(IDC_INSERT_PROMPT, ControlKind::Static, "Insert Disk <n>", 14, 20, 152, 10, ui::SS_CENTER),
      Ctl(ui::IDOK, ControlKind::DefButton, "OK", 33, 54, 50, 14),
      Ctl(ui::IDCANCEL, ControlKind::Button, "Cancel", 97, 54, 50, 14),
  };
  d.dependsOnState = true;  // comes only in some states of the workstation
  return d;
}

}  // namespace

void AddTransferDialogs(ui::ResourceModule& module) {
  for (DialogTemplate d : {CopyProgress(), DiskSpace(), InsertDisk()}) module.dialogs[d.id] = d;
}

}  // namespace resources
