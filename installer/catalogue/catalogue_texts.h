// Texts and captions of the catalogue's message boxes and trace, word for word.
#pragma once

namespace catalogue_text {

constexpr const char* kCaption = "ORVIK - Procedure Installation";

// Keyword lines of kelmar.lst.
constexpr const char* kRecord = "instrument==========";
constexpr const char* kSubRecord = "instrumentSub=======";
constexpr const char* kProcFile = "procfile";
constexpr const char* kSub = "sub";
constexpr const char* kFiles = "files";
constexpr const char* kDataFiles = "datafiles";
constexpr const char* kCalibrator = "calibrator";
constexpr const char* kConfiguration = "configuration";
constexpr const char* kEnd = "end";

// Trace lines.
constexpr const char* kTraceTextInput = "Q TextInput";
constexpr const char* kTraceRecord = "dispTextInput 'instrument=========='";
constexpr const char* kTraceProcFile = "dispTextInput  'procfile'";
constexpr const char* kTraceAddABC = "Q AddABC";

// Insertion of a node that is already linked.
constexpr const char* kAddABCLinked = "FATAL Error 1005: NewNode pNext not NULL";
constexpr const char* kAddABCCaption = "Procedure Install - ProceduresList::AddABC()";

// Offered-procedure table that would not empty.
constexpr const char* kGetProcsNotEmpty =
    "Error 1002\nProceduresList::GetProcs( ):\n        ProcTable did not empty";
constexpr const char* kGetProcsByCalibratorNotEmpty =
    "Error 1003\nProceduresList::GetProcsByCalibrator( ):\n        ProcTable did not empty";

// A selected name the catalogue does not hold.
constexpr const char* kNotInList = "Error: Selected procedure name not in list";
constexpr const char* kNotInListXpfn = "Error: Selected procedure name not in list xpfn";
constexpr const char* kNotInListXspfn = "Error: Selected procedure name not in list xspfn";

// The calibrator request that offers every procedure.
constexpr const char* kAllCalibrators = "All";

}  // namespace catalogue_text
