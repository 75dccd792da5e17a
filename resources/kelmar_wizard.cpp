// Welcome, About, calibrator, directory, finish and quit pages of the installer.
#include "resources/kelmar_ids.h"
#include "resources/kelmar_resources.h"
#include "ui/msgbox.h"

namespace resources {

namespace {

using ui::ControlKind;
using ui::ControlTemplate;
using ui::DialogTemplate;

ControlTemplate Label(const char* text, int x, int y, int cx, int cy, int id = -1, unsigned style = 0) {
  return {id, ControlKind::Static, text, x, y, cx, cy, style};
}
ControlTemplate Button(int id, const char* text, int x, int y, int cx = 50, int cy = 14) {
  return {id, ControlKind::Button, text, x, y, cx, cy, 0};
}
ControlTemplate DefaultButton(int id, const char* text, int x, int y, int cx = 50, int cy = 14) {
  return {id, ControlKind::DefButton, text, x, y, cx, cy, 0};
}
ControlTemplate Edit(int id, int x, int y, int cx, int cy, unsigned style = 0) {
  return {id, ControlKind::Edit, "", x, y, cx, cy, style};
}
ControlTemplate Radio(int id, const char* text, int x, int y, unsigned style = 0) {
  return {id, ControlKind::Radio, text, x, y, 70, 10, style};
}

DialogTemplate Welcome() {
  DialogTemplate d{IDD_WELCOME, "ORVIK Procedure Installation - Welcome!", 300, 180, {}, false};
  d.controls = {
      Label("Welcome to ORVIK Procedure Installation.", 10, 10, 280, 12, IDC_WELCOME_TITLE),
      Label("This program will help you install the pre-compiled procedures to your shared procedures "
            "directory.  Required graphics files or procedural executables for each procedure will also be "
            "recognized and copied.",
            10, 30, 280, 40, IDC_WELCOME_TEXT),
      Label("Copyright ORVIK.  All rights reserved.", 10, 110, 280, 10, IDC_COPYRIGHT),
      Label("These procedures are licensed for use with ORVIK calibration systems only.", 10, 122, 280, 10,
            IDC_LICENCE),
      Button(IDC_ABOUT, "&About Procedure Install", 10, 155, 90),
      DefaultButton(ui::IDOK, "&Next >", 175, 155),
      Button(ui::IDCANCEL, "Cancel", 235, 155),
  };
  return d;
}

DialogTemplate About() {
  DialogTemplate d{IDD_ABOUT, "About kelmar", 220, 60, {}, false};
  d.controls = {
      {IDI_KELMAR, ControlKind::Icon, "", 10, 10, 20, 20, 0},
      Label("kelmar Version 2.011", 40, 12, 120, 10),
      DefaultButton(ui::IDOK, "OK", 165, 8),
  };
  return d;
}

DialogTemplate Calibrator() {
  DialogTemplate d{IDD_CALIBRATOR, "Select Calibrator", 330, 200, {}, false};
  d.controls = {
      {-1, ControlKind::GroupBox, "Calibrators", 7, 7, 200, 120, 0},
      Radio(IDC_CAL_ALL, "All", 15, 20, ui::WS_GROUP),
      Radio(IDC_CAL_R220B, "R220B", 15, 35),
      Radio(IDC_CAL_R210, "R210 Calibrator", 15, 50),
      Radio(IDC_CAL_R320, "R320", 80, 20),
      Radio(IDC_CAL_R420A, "R420A", 80, 35),
      Radio(IDC_CAL_R520, "R520", 80, 50),
      Radio(IDC_CAL_R310A, "R310A", 145, 20),
      Radio(IDC_CAL_R410A, "R410A", 145, 35),
      Radio(IDC_CAL_R510, "R510", 145, 50),
      Radio(IDC_CAL_OTHER, "Other", 145, 65),
      Radio(IDC_CAL_R310A_X3, "R310A with OPT-X3 ", 15, 80),
      Radio(IDC_CAL_R310A_X6, "R310A with OPT-X6 ", 15, 92),
      Radio(IDC_CAL_R320A_X3, "R320A with OPT-X3 ", 15, 104),
      Radio(IDC_CAL_R320A_X6, "R320A with OPT-X6 ", 15, 116),
      Label("Select the calibrator for which to install procedures.", 215, 10, 105, 30),
      Label("Note: For a given procedure, special equipment configuration may be required in addition to the "
            "base calibrator.  These may be items such as boost amplifiers or oscilloscopes. ",
            215, 45, 105, 60),
      Label("Procedure Installation will allow you to install procedures regardless of what calibrator is "
            "configured on the installation workstation.   This allows for network maintenance from a single "
            "workstation.",
            215, 110, 105, 60),
      Button(IDC_BACK, "< &Back", 150, 178),
      DefaultButton(ui::IDOK, "&Next >", 205, 178),
      Button(ui::IDCANCEL, "Cancel", 270, 178),
  };
  return d;
}

DialogTemplate ConfirmDirectories() {
  DialogTemplate d{
      IDD_CONFIRM_DIRECTORIES, "ORVIK Procedure Installation - Confirm Target Directories", 300, 230, {}, false};
  d.controls = {
      Label("Please confirm or modify the following target directories.  The defaults first shown were taken "
            "from the existing orvik.ini file or they are ORVIK application defaults.",
            10, 8, 280, 24),
      Label("You may elect to install the procedures in small groups.  ", 10, 34, 280, 10),
      Label("The installation program will return to this dialog box at the conclusion of each installation.  "
            "This will simplifiy the installation and will allow you to place groups of procedures in "
            "different directories if desired.",
            10, 46, 280, 30),
      Label("User program directory", 10, 82, 200, 9),
      Edit(IDC_USER_PROG_DIR, 10, 92, 280, 12),
      Label("Procedure files directory", 10, 110, 200, 9),
      Edit(IDC_PROC_DIR, 10, 120, 280, 12),
      Label("Picture files directory", 10, 138, 200, 9),
      Edit(IDC_PIC_DIR, 10, 148, 280, 12),
      Label("Data file directory", 10, 166, 200, 9),
      Edit(IDC_DATA_DIR, 10, 176, 280, 12),
      Button(IDC_BACK, "< &Back", 120, 206),
      DefaultButton(ui::IDOK, "&Next >", 175, 206),
      Button(ui::IDCANCEL, "Quit", 240, 206),
  };
  return d;
}

DialogTemplate SelectDirectory() {
  DialogTemplate d{IDD_SELECT_DIRECTORY, "ORVIK Procedure Installation - Select Directory", 300, 110, {}, false};
  d.controls = {
      Label("The directory specified does not exist or cannot be accessed.", 10, 10, 280, 10),
      Label("Please specify the path to the ORVIK", 10, 30, 130, 10),
      Edit(IDC_DIR_LABEL, 142, 28, 148, 12, ui::ES_READONLY),
      Edit(IDC_DIR_PATH, 10, 48, 280, 12, ui::ES_UPPERCASE),
      Button(IDC_BACK, "< &Back", 120, 86),
      DefaultButton(ui::IDOK, "&Next >", 175, 86),
      Button(ui::IDCANCEL, "Cancel", 240, 86),
  };
  return d;
}

DialogTemplate Finish() {
  DialogTemplate d{IDD_FINISH, "ORVIK Procedure Installation - Finish", 300, 100, {}, false};
  d.controls = {
      Label("Completed Procedure Installation.  Do you wish to install additional procedures?", 10, 10, 280, 24),
      DefaultButton(ui::IDOK, "&Install More Procedures", 10, 76, 90),
      Button(IDC_VIEW_README, "&View ReadMe.txt and Quit", 105, 76, 100),
      Button(ui::IDCANCEL, "&Quit", 240, 76),
  };
  return d;
}

DialogTemplate ConfirmQuit() {
  DialogTemplate d{IDD_CONFIRM_QUIT, "ORVIK Procedure Installation - Confirm Quit", 220, 70, {}, false};
  d.controls = {
      Label("Do you wish to exit Procedure Install?", 10, 10, 200, 10),
      DefaultButton(ui::IDOK, "&Exit", 40, 46),
      Button(ui::IDCANCEL, "&Return to Program", 100, 46, 80),
  };
  return d;
}

}  // namespace

void AddWizardDialogs(ui::ResourceModule& module) {
  for (DialogTemplate d :
       {Welcome(), About(), Calibrator(), ConfirmDirectories(), SelectDirectory(), Finish(), ConfirmQuit()})
    module.dialogs[d.id] = std::move(d);
  module.strings[IDS_ABOUTBOX] = "&About kelmar...";
}

}  // namespace resources
