// Resource ids of the installer (kelmar): dialogs, controls, strings, icon and
// commands, shared by the templates in resources/ and the pages that refer to
// them; and the installer's own box texts that have no string id.
#pragma once

// Dialogs.
constexpr int IDD_CALIBRATOR = 101;           // "Select Calibrator"
constexpr int IDD_CONFIRM_OVERWRITE = 102;    // "... - Confirm Overwrite"
constexpr int IDD_CONFIRM_DIRECTORIES = 105;  // "... - Confirm Target Directories"
constexpr int IDD_SELECT_DIRECTORY = 106;     // "... - Select Directory"
constexpr int IDD_FINISH = 107;               // "... - Finish"
constexpr int IDD_PROC_SELECT = 108;          // "... - Procedure Selection"
constexpr int IDD_CONFIRM_QUIT = 109;         // "... - Confirm Quit"
constexpr int IDD_NAME_CONFLICT_1 = 110;      // "... - Procedure Name Conflict [1]"
constexpr int IDD_NAME_CONFLICT_2 = 111;      // "... - Procedure Name Conflict [2]"
constexpr int IDD_ABOUT = 1043;               // "About kelmar"
constexpr int IDD_COPY_PROGRESS = 1046;       // "Copying Files..."
constexpr int IDD_DISK_SPACE = 1047;          // "ORVIK Procedure Install - Disk Space"
constexpr int IDD_INSERT_DISK = 1048;         // "Procedure Install - Insert Disk"
constexpr int IDD_INDEX_PROGRESS = 1049;      // "Updating Procedure Directory..."
constexpr int IDD_WELCOME = 1050;             // "ORVIK Procedure Installation - Welcome!"

// Icon, strings and commands.
constexpr int IDI_KELMAR = 1052;    // the application icon, also the About box's icon control
constexpr int IDS_ABOUTBOX = 1053;  // "&About kelmar..."
constexpr int IDM_ABOUTBOX = 16;    // the system menu's About command
constexpr int IDC_ABOUT = 57664;    // Welcome: "&About Procedure Install"

// The pages' "< &Back" button; a page ends with it as its end code.
constexpr int IDC_BACK = 1001;

// Welcome.
constexpr int IDC_WELCOME_TITLE = 1036;
constexpr int IDC_WELCOME_TEXT = 1031;
constexpr int IDC_COPYRIGHT = 1034;
constexpr int IDC_LICENCE = 1035;

// Select Calibrator: one radio button per calibrator.
constexpr int IDC_CAL_ALL = 1026;
constexpr int IDC_CAL_R220B = 1017;
constexpr int IDC_CAL_R210 = 1016;
constexpr int IDC_CAL_R320 = 1021;
constexpr int IDC_CAL_R420A = 1023;
constexpr int IDC_CAL_R520 = 1025;
constexpr int IDC_CAL_R310A = 1020;
constexpr int IDC_CAL_R410A = 1022;
constexpr int IDC_CAL_R510 = 1024;
constexpr int IDC_CAL_OTHER = 1027;
constexpr int IDC_CAL_R310A_X3 = 1029;
constexpr int IDC_CAL_R310A_X6 = 1028;
constexpr int IDC_CAL_R320A_X3 = 1019;
constexpr int IDC_CAL_R320A_X6 = 1018;

// Confirm Target Directories.
constexpr int IDC_USER_PROG_DIR = 1008;
constexpr int IDC_PROC_DIR = 1009;
constexpr int IDC_PIC_DIR = 1010;
constexpr int IDC_DATA_DIR = 1011;

// Select Directory: the directory's name and the path typed for it.
constexpr int IDC_DIR_LABEL = 1008;
constexpr int IDC_DIR_PATH = 1009;

// Finish.
constexpr int IDC_VIEW_README = 1055;  // "&View ReadMe.txt and Quit"

// Procedure Selection.
constexpr int IDC_PROC_LIST = 1014;
constexpr int IDC_PROC_NAME = 1030;
constexpr int IDC_PROC_CONFIG = 1007;
constexpr int IDC_SELECT_ALL = 1004;
constexpr int IDC_DESELECT_ALL = 1003;

// Confirm Overwrite and the two Procedure Name Conflict dialogs.
constexpr int IDC_OVERWRITE_FILES = 1;      // 102 "&Overwrite Files"
constexpr int IDC_ALWAYS_OVERWRITE = 1044;  // 102 "&Always Overwrite"
constexpr int IDC_KEEP_EXISTING = 7;        // 102 "&Keep Existing Files"
constexpr int IDC_CONFLICT_OVERWRITE = 6;   // 110 "&Overwrite"
constexpr int IDC_CONFLICT_NO = 7;          // 110 "&No"
constexpr int IDC_INSTALLED_NAMES = 1008;   // 110 upper box, 111 its only box
constexpr int IDC_NEW_NAMES = 1009;         // 110 lower box

// The copy and index progress windows.
constexpr int IDC_PROGRESS_HEADING = 1037;
constexpr int IDC_PROGRESS_LABEL = 1038;  // "File:"
constexpr int IDC_PROGRESS_FILE = 1039;   // the file being worked on
constexpr int IDC_PROGRESS_BAR = 1015;    // 0 to 100

// Disk Space and Insert Disk.
constexpr int IDC_REQUIRED_SPACE = 1012;
constexpr int IDC_INSERT_PROMPT = 1040;

// Caption of the installer's and the bootstrap's own plain-text boxes.
inline constexpr const char* kInstallCaption = "ORVIK - Procedure Installation";

// Texts of the installer's own boxes at start-up and at the end.
inline constexpr const char* kNotStartedBySetup = "This application may only be executed by the setup program.";
inline constexpr const char* kNoTextDatabase = "Failure opening text database.";
inline constexpr const char* kCatalogueUnreadable = "Error! Loading information from KELMAR.LST file.";
inline constexpr const char* kCleanupNotStarted = "Unable to invoke ov_clean.exe to remove temporary files.";

// Texts of boxes that only a fault of the catalogue or of the page shows.
inline constexpr const char* kNoTransferLists = "IN if( NULL == PL->LoadAllXferFiles() )";
inline constexpr const char* kNotInList = "Error: Selected procedure name not in list";
inline constexpr const char* kNotInListXpfn = "Error: Selected procedure name not in list xpfn";
inline constexpr const char* kNotInListXspfn = "Error: Selected procedure name not in list xspfn";
inline constexpr const char* kGetProcsNotEmpty =
    "Error 1002\nProceduresList::GetProcs( ):\n        ProcTable did not empty";
inline constexpr const char* kGetProcsByCalibratorNotEmpty =
    "Error 1003\nProceduresList::GetProcsByCalibrator( ):\n        ProcTable did not empty";
inline constexpr const char* kAddABCLinked = "FATAL Error 1005: NewNode pNext not NULL";
inline constexpr const char* kAddABCCaption = "Procedure Install - ProceduresList::AddABC()";
