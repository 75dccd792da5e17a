// Keywords of kelmar.lst and lines of the catalogue's trace, word for word.
#pragma once

namespace catalogue::texts {

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

// The calibrator request that offers every procedure.
constexpr const char* kAllCalibrators = "All";

}  // namespace catalogue::texts
