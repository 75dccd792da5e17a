#include "resources/window_boxes.h"

#include "resources/kelmar_ids.h"
#include "resources/setup_ids.h"

namespace resources {

namespace {

BoxNote Error(int window, const char* when, int number) { return {window, when, BoxKind::Error, number, "", "", "OK Cancel"}; }
BoxNote Notice(int window, const char* when, int number) { return {window, when, BoxKind::Notice, number, "", "", "OK"}; }
BoxNote Numbered(int window, const char* when, int number, const char* answers = "OK") {
  return {window, when, BoxKind::Text, number, kInstallCaption, "", answers};
}
BoxNote Plain(int window, const char* when, const char* text, const char* caption = kInstallCaption,
              const char* answers = "OK") {
  return {window, when, BoxKind::Plain, 0, caption, text, answers};
}

}  // namespace

const std::vector<BoxNote>& KelmarBoxes() {
  static const std::vector<BoxNote> boxes = {
      Plain(IDD_WELCOME, "before the page, when the installer was not started by setup.exe", kNotStartedBySetup),
      Plain(IDD_WELCOME, "before the page, when ovtext.mdb cannot be opened", kNoTextDatabase),
      Plain(IDD_WELCOME, "before the page, when kelmar.lst cannot be read", kCatalogueUnreadable),
      Plain(IDD_WELCOME, "before the page, when records of kelmar.lst are incomplete",
            "Warning: <n> incomplete procedure record(s) in kelmar.lst were skipped\n(the first one begins at line "
            "<line>).\nThese procedures are not offered for installation."),
      Plain(IDD_WELCOME, "before the page, with -d",
            "orvik.lst is: <path>   ||command line is: <text>    ||srcdir is: <folder>"),
      Plain(IDD_WELCOME, "after the installer ends, when the clean-up program cannot start", kCleanupNotStarted),
      Plain(IDD_CONFIRM_DIRECTORIES, "Next, when readme.txt in the procedure directory cannot be made writable",
            "Unable to change permission of this <path> file."),
      Numbered(IDD_CONFIRM_DIRECTORIES, "Next, when readme.txt cannot be copied into the procedure directory", 9237),
      Notice(IDD_CONFIRM_DIRECTORIES, "Next, when the catalogue offers no procedure (the installer then ends)", 9240),
      Plain(IDD_CONFIRM_DIRECTORIES,
            "Next, while another installer holds proc.dir (after about ten seconds of retries)",
            "Sharing violation accessing file \"<path>\".\nClose the file in use by another application and "
            "retry, or cancel the operation.",
            "Sharing Violation", "Retry Cancel"),
      Error(IDD_CONFIRM_DIRECTORIES,
            "Next, when proc.dir cannot be opened: access denied (2531 not found, 2532 no such folder, 2534 "
            "write-protected medium, 2506 other system errors)",
            2533),
      Error(IDD_CONFIRM_DIRECTORIES, "Next, after that box or after Cancel in the Sharing Violation box", 911),
      Error(IDD_CONFIRM_DIRECTORIES, "Next, then: the installer stops", 9242),
      Error(IDD_CONFIRM_DIRECTORIES,
            "Next, when the size of proc.dir is not a whole number of records (Cancel leaves it unopened)", 909),
      Error(IDD_PROC_SELECT, "a click on an item, when a name cannot be looked up in proc.dir", 9222),
      Numbered(IDD_PROC_SELECT, "Select All (1004)", 9226, "OK Cancel"),
      Error(IDD_PROC_SELECT, "Next with nothing selected (back to page 105)", 9220),
      Plain(IDD_PROC_SELECT, "Next, when a procedure names a file that is not a plain file name",
            "Error: Procedure <name> names the file \"<file>\",\nwhich is not a plain file name. It is not "
            "installed."),
      Plain(IDD_PROC_SELECT, "Next, when a sub-procedure that a selected procedure calls has no record",
            kNotInListXspfn),
      Plain(IDD_PROC_SELECT, "Next, when the transfer lists cannot be built", kNoTransferLists),
      Error(IDD_PROC_SELECT, "Next, after the box above (back to page 105)", 9221),
      Error(IDD_PROC_SELECT, "Next, when the scratch folder cannot be made", 9245),
      Plain(IDD_PROC_SELECT, "Next, for a name the media lists cannot carry",
            "<file> : not a plain file name; the file is not transferred."),
      Error(IDD_PROC_SELECT, "Next, when a selected file is on no disk of the media; the installer stops", 9249),
      Numbered(IDD_COPY_PROGRESS, "Cancel (Yes goes on, No stops the transfer)", 9258, "Yes No"),
      Numbered(IDD_COPY_PROGRESS, "while copying, when a source file cannot be opened", 8587),
      Numbered(IDD_COPY_PROGRESS, "while copying, when a target file cannot be written", 8588),
      Numbered(IDD_COPY_PROGRESS, "while copying, on a damaged source file", 8582),
      Numbered(IDD_COPY_PROGRESS, "while copying, on a write error (disk full)", 8583),
      Numbered(IDD_COPY_PROGRESS, "after the copy, when it was stopped or failed", 9247),
      Numbered(IDD_INSERT_DISK, "Cancel: the transfer stops, then", 9247),
      Error(IDD_INDEX_PROGRESS, "a transferred procedure file without a catalogue entry", 9253),
      Error(IDD_INDEX_PROGRESS, "a transferred sub-procedure file without a catalogue entry", 9251),
      Error(IDD_INDEX_PROGRESS, "a procedure with more than six names", 916),
      Numbered(IDD_INDEX_PROGRESS, "a procedure file that cannot be copied into the procedure directory", 9255),
      Numbered(IDD_INDEX_PROGRESS, "a sub-procedure file that cannot be copied into the procedure directory", 9259),
      Error(IDD_INDEX_PROGRESS, "proc.dir cannot be opened for the update; the installer stops", 9250),
      Error(IDD_INDEX_PROGRESS, "a name already belongs to another procedure file", 903),
  };
  return boxes;
}

const std::map<int, const char*>& KelmarNotes() {
  static const std::map<int, const char*> notes = {
      {IDD_WELCOME,
       "The installer's main window: it stays open under every other window until the installer ends. Next "
       "starts the wizard."},
      {IDD_CONFIRM_DIRECTORIES, "Shown after Next on page 1050, and again after 1 on page 107 or 2 on page 109."},
      {IDD_PROC_SELECT,
       "Shown after Next on page 105 (page 101 is skipped). Next with nothing selected goes back to page 105."},
      {IDD_COPY_PROGRESS, "Shown while the files are copied, after Next on page 108."},
      {IDD_INDEX_PROGRESS, "Shown while proc.dir is updated, after the copy."},
      {IDD_ABOUT, "Opened by 57664 on the Welcome page."},
      {IDD_CALIBRATOR, "Not shown by the wizard: it offers every procedure (\"All\")."},
      {IDD_SELECT_DIRECTORY,
       "Shown after Next on page 105 for each target directory that does not exist, up to ten times each."},
      {IDD_CONFIRM_OVERWRITE,
       "Opened by a click on an item of page 108 whose procedure is installed with the same names."},
      {IDD_NAME_CONFLICT_1, "Opened by a click on an item of page 108 whose names differ from the installed ones."},
      {IDD_NAME_CONFLICT_2,
       "Opened by a click on an item of page 108 whose names belong to several installed procedures."},
      {IDD_DISK_SPACE,
       "Shown after Next on page 108 when the free space of the target drive cannot be told. 2 goes back "
       "to page 105."},
      {IDD_INSERT_DISK, "Shown for each numbered disk that is not in the drive; never for a CD."},
      {IDD_FINISH, "1 goes back to page 105; 1055 starts write.exe with readme.txt and quits; 2 quits."},
      {IDD_CONFIRM_QUIT, "Shown after Cancel or Quit on a page: 1 ends the installer, 2 goes back to page 105."},
  };
  return notes;
}

const std::vector<int>& KelmarWindowOrder() {
  static const std::vector<int> order = {
      IDD_WELCOME,         IDD_ABOUT,       IDD_CONFIRM_DIRECTORIES, IDD_SELECT_DIRECTORY,
      IDD_CALIBRATOR,      IDD_PROC_SELECT, IDD_CONFIRM_OVERWRITE,   IDD_NAME_CONFLICT_1,
      IDD_NAME_CONFLICT_2, IDD_DISK_SPACE,  IDD_COPY_PROGRESS,       IDD_INSERT_DISK,
      IDD_INDEX_PROGRESS,  IDD_FINISH,      IDD_CONFIRM_QUIT,
  };
  return order;
}

const std::vector<BoxNote>& SetupBoxes() {
  static const std::vector<BoxNote> boxes = {
      Plain(IDD_STAGING, "when a file to stage is not beside setup.exe", "Unable to find the <file> file."),
      Plain(IDD_STAGING, "when a file cannot be copied into the staging folder",
            "Failure copying required file <file> to <target>."),
      Plain(IDD_STAGING, "when the staging folder cannot be made", kNoStagingFolder),
      Plain(IDD_STAGING, "with -d", "Temporary Directory: <folder>"),
      Plain(IDD_STAGING, "when the installer cannot be started", "Failure executing: <command line>"),
  };
  return boxes;
}

}  // namespace resources
