// Welcome, About, calibrator, directory, finish and quit pages of the installer.
#include "resources/kelmar_resources.h"

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
  DialogTemplate d{1050, "ORVIK Procedure Installation - Welcome!", 300, 180, {}, false};
  d.controls = {
      Label("Welcome to ORVIK Procedure Installation.", 10, 10, 280, 12, 1036),
      Label("This program will help you install the pre-compiled procedures to your shared procedures "
            "directory.  Required graphics files or procedural executables for each procedure will also be "
            "recognized and copied.",
            10, 30, 280, 40, 1031),
      Label("Copyright ORVIK.  All rights reserved.", 10, 110, 280, 10, 1034),
      Label("These procedures are licensed for use with ORVIK calibration systems only.", 10, 122, 280, 10, 1035),
      Button(57664, "&About Procedure Install", 10, 155, 90),
      DefaultButton(1, "&Next >", 175, 155),
      Button(2, "Cancel", 235, 155),
  };
  return d;
}

DialogTemplate About() {
  DialogTemplate d{1043, "About kelmar", 220, 60, {}, false};
  d.controls = {
      {1052, ControlKind::Icon, "", 10, 10, 20, 20, 0},
      Label("kelmar Version 2.011", 40, 12, 120, 10),
      DefaultButton(1, "OK", 165, 8),
  };
  return d;
}

DialogTemplate Calibrator() {
  DialogTemplate d{101, "Select Calibrator", 330, 200, {}, false};
  d.controls = {
      {-1, ControlKind::GroupBox, "Calibrators", 7, 7, 200, 120, 0},
      Radio(1026, "All", 15, 20, ui::WS_GROUP),
      Radio(1017, "R220B", 15, 35),
      Radio(1016, "R210 Calibrator", 15, 50),
      Radio(1021, "R320", 80, 20),
      Radio(1023, "R420A", 80, 35),
      Radio(1025, "R520", 80, 50),
      Radio(1020, "R310A", 145, 20),
      Radio(1022, "R410A", 145, 35),
      Radio(1024, "R510", 145, 50),
      Radio(1027, "Other", 145, 65),
      Radio(1029, "R310A with OPT-X3 ", 15, 80),
      Radio(1028, "R310A with OPT-X6 ", 15, 92),
      Radio(1019, "R320A with OPT-X3 ", 15, 104),
      Radio(1018, "R320A with OPT-X6 ", 15, 116),
      Label("Select the calibrator for which to install procedures.", 215, 10, 105, 30),
      Label("Note: For a given procedure, special equipment configuration may be required in addition to the "
            "base calibrator.  These may be items such as boost amplifiers or oscilloscopes. ",
            215, 45, 105, 60),
      Label("Procedure Installation will allow you to install procedures regardless of what calibrator is "
            "configured on the installation workstation.   This allows for network maintenance from a single "
            "workstation.",
            215, 110, 105, 60),
      Button(1001, "< &Back", 150, 178),
      DefaultButton(1, "&Next >", 205, 178),
      Button(2, "Cancel", 270, 178),
  };
  return d;
}

DialogTemplate ConfirmDirectories() {
  DialogTemplate d{105, "ORVIK Procedure Installation - Confirm Target Directories", 300, 230, {}, false};
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
      Edit(1008, 10, 92, 280, 12),
      Label("Procedure files directory", 10, 110, 200, 9),
      Edit(1009, 10, 120, 280, 12),
      Label("Picture files directory", 10, 138, 200, 9),
      Edit(1010, 10, 148, 280, 12),
      Label("Data file directory", 10, 166, 200, 9),
      Edit(1011, 10, 176, 280, 12),
      Button(1001, "< &Back", 120, 206),
      DefaultButton(1, "&Next >", 175, 206),
      Button(2, "Quit", 240, 206),
  };
  return d;
}

DialogTemplate SelectDirectory() {
  DialogTemplate d{106, "ORVIK Procedure Installation - Select Directory", 300, 110, {}, false};
  d.controls = {
      Label("The directory specified does not exist or cannot be accessed.", 10, 10, 280, 10),
      Label("Please specify the path to the ORVIK", 10, 30, 130, 10),
      Edit(1008, 142, 28, 148, 12, ui::ES_READONLY),
      Edit(1009, 10, 48, 280, 12, ui::ES_UPPERCASE),
      Button(1001, "< &Back", 120, 86),
      DefaultButton(1, "&Next >", 175, 86),
      Button(2, "Cancel", 240, 86),
  };
  return d;
}

DialogTemplate Finish() {
  DialogTemplate d{107, "ORVIK Procedure Installation - Finish", 300, 100, {}, false};
  d.controls = {
      Label("Completed Procedure Installation.  Do you wish to install additional procedures?", 10, 10, 280, 24),
      DefaultButton(1, "&Install More Procedures", 10, 76, 90),
      Button(1055, "&View ReadMe.txt and Quit", 105, 76, 100),
      Button(2, "&Quit", 240, 76),
  };
  return d;
}

DialogTemplate ConfirmQuit() {
  DialogTemplate d{109, "ORVIK Procedure Installation - Confirm Quit", 220, 70, {}, false};
  d.controls = {
      Label("Do you wish to exit Procedure Install?", 10, 10, 200, 10),
      DefaultButton(1, "&Exit", 40, 46),
      Button(2, "&Return to Program", 100, 46, 80),
  };
  return d;
}

}  // namespace

void AddWizardDialogs(ui::ResourceModule& module) {
  for (DialogTemplate d :
       {Welcome(), About(), Calibrator(), ConfirmDirectories(), SelectDirectory(), Finish(), ConfirmQuit()})
    module.dialogs[d.id] = std::move(d);
  module.strings[1053] = "&About kelmar...";
}

}  // namespace resources
