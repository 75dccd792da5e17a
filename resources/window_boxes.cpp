#include "resources/window_boxes.h"

namespace resources {

namespace {

constexpr const char* kInstall = "ORVIK - Procedure Installation";

BoxNote Error(int window, const char* when, int number) { return {window, when, BoxKind::Error, number, "", "", "OK Cancel"}; }
BoxNote Notice(int window, const char* when, int number) { return {window, when, BoxKind::Notice, number, "", "", "OK"}; }
BoxNote Numbered(int window, const char* when, int number, const char* answers = "OK") {
  return {window, when, BoxKind::Text, number, kInstall, "", answers};
}
BoxNote Plain(int window, const char* when, const char* text, const char* caption = kInstall,
              const char* answers = "OK") {
  return {window, when, BoxKind::Plain, 0, caption, text, answers};
}

}  // namespace

const std::vector<BoxNote>& KelmarBoxes() {
  static const std::vector<BoxNote> boxes = {
      Plain(1050, "before the page, when the installer was not started by setup.exe",
            "This application may only be executed by the setup program."),
      Plain(1050, "before the page, when ovtext.mdb cannot be opened", "Failure opening text database."),
      Plain(1050, "before the page, when kelmar.lst cannot be read",
            "Error! Loading information from KELMAR.LST file."),
      Plain(1050, "before the page, when records of kelmar.lst are incomplete",
            "Warning: <n> incomplete procedure record(s) in kelmar.lst were skipped\n(the first one begins at line "
            "<line>).\nThese procedures are not offered for installation."),
      Plain(1050, "before the page, with -d", "orvik.lst is: <path>   ||command line is: <text>    ||srcdir is: <folder>"),
      Plain(1050, "after the installer ends, when the clean-up program cannot start",
            "Unable to invoke ov_clean.exe to remove temporary files."),
      Plain(105, "Next, when readme.txt in the procedure directory cannot be made writable",
            "Unable to change permission of this <path> file."),
      Numbered(105, "Next, when readme.txt cannot be copied into the procedure directory", 9237),
      Notice(105, "Next, when the catalogue offers no procedure (the installer then ends)", 9240),
      Plain(105, "Next, while another installer holds proc.dir (after about ten seconds of retries)",
            "Sharing violation accessing file \"<path>\".\nClose the file in use by another application and "
            "retry, or cancel the operation.",
            "Sharing Violation", "Retry Cancel"),
      Error(105, "Next, when proc.dir cannot be opened: access denied (2531 not found, 2532 no such folder, 2534 "
                 "write-protected medium, 2506 other system errors)",
            2533),
      Error(105, "Next, after that box or after Cancel in the Sharing Violation box", 911),
      Error(105, "Next, then: the installer stops", 9242),
      Error(105, "Next, when the size of proc.dir is not a whole number of records (Cancel leaves it unopened)", 909),
      Error(108, "a click on an item, when a name cannot be looked up in proc.dir", 9222),
      Numbered(108, "Select All (1004)", 9226, "OK Cancel"),
      Error(108, "Next with nothing selected (back to page 105)", 9220),
      Plain(108, "Next, when a procedure names a file that is not a plain file name",
            "Error: Procedure <name> names the file \"<file>\",\nwhich is not a plain file name. It is not "
            "installed."),
      Plain(108, "Next, when a sub-procedure that a selected procedure calls has no record",
            "Error: Selected procedure name not in list xspfn"),
      Plain(108, "Next, when the transfer lists cannot be built", "IN if( NULL == PL->LoadAllXferFiles() )"),
      Error(108, "Next, after the box above (back to page 105)", 9221),
      Error(108, "Next, when the scratch folder cannot be made", 9245),
      Plain(108, "Next, for a name the media lists cannot carry",
            "<file> : not a plain file name; the file is not transferred."),
      Error(108, "Next, when a selected file is on no disk of the media; the installer stops", 9249),
      Numbered(1046, "Cancel (Yes goes on, No stops the transfer)", 9258, "Yes No"),
      Numbered(1046, "while copying, when a source file cannot be opened", 8587),
      Numbered(1046, "while copying, when a target file cannot be written", 8588),
      Numbered(1046, "while copying, on a damaged source file", 8582),
      Numbered(1046, "while copying, on a write error (disk full)", 8583),
      Numbered(1046, "after the copy, when it was stopped or failed", 9247),
      Numbered(1048, "Cancel: the transfer stops, then", 9247),
      Error(1049, "a transferred procedure file without a catalogue entry", 9253),
      Error(1049, "a transferred sub-procedure file without a catalogue entry", 9251),
      Error(1049, "a procedure with more than six names", 916),
      Numbered(1049, "a procedure file that cannot be copied into the procedure directory", 9255),
      Numbered(1049, "a sub-procedure file that cannot be copied into the procedure directory", 9259),
      Error(1049, "proc.dir cannot be opened for the update; the installer stops", 9250),
      Error(1049, "a name already belongs to another procedure file", 903),
  };
  return boxes;
}

const std::map<int, const char*>& KelmarNotes() {
  static const std::map<int, const char*> notes = {
      {1050, "The installer's main window: it stays open under every other window until the installer ends. Next "
             "starts the wizard."},
      {105, "Shown after Next on page 1050, and again after 1 on page 107 or 2 on page 109."},
      {108, "Shown after Next on page 105 (page 101 is skipped). Next with nothing selected goes back to page 105."},
      {1046, "Shown while the files are copied, after Next on page 108."},
      {1049, "Shown while proc.dir is updated, after the copy."},
      {1043, "Opened by 57664 on the Welcome page."},
      {101, "Not shown by the wizard: it offers every procedure (\"All\")."},
      {106, "Shown after Next on page 105 for each target directory that does not exist, up to ten times each."},
      {102, "Opened by a click on an item of page 108 whose procedure is installed with the same names."},
      {110, "Opened by a click on an item of page 108 whose names differ from the installed ones."},
      {111, "Opened by a click on an item of page 108 whose names belong to several installed procedures."},
      {1047, "Shown after Next on page 108 when the free space of the target drive cannot be told. 2 goes back "
             "to page 105."},
      {1048, "Shown for each numbered disk that is not in the drive; never for a CD."},
      {107, "1 goes back to page 105; 1055 starts write.exe with readme.txt and quits; 2 quits."},
      {109, "Shown after Cancel or Quit on a page: 1 ends the installer, 2 goes back to page 105."},
  };
  return notes;
}

const std::vector<int>& KelmarWindowOrder() {
  static const std::vector<int> order = {1050, 1043, 105, 106, 101, 108, 102, 110,
                                         111,  1047, 1046, 1048, 1049, 107, 109};
  return order;
}

const std::vector<BoxNote>& SetupBoxes() {
  static const std::vector<BoxNote> boxes = {
      Plain(102, "when a file to stage is not beside setup.exe", "Unable to find the <file> file."),
      Plain(102, "when a file cannot be copied into the staging folder", "Failure copying required file <file> to <target>."),
      Plain(102, "when the staging folder cannot be made", "Failure creating folder in the temporary folder."),
      Plain(102, "with -d", "Temporary Directory: <folder>"),
      Plain(102, "when the installer cannot be started", "Failure executing: <command line>"),
  };
  return boxes;
}

}  // namespace resources
