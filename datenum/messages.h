// Every text datenum shows, with its box captions.
#pragma once

namespace datenum::msg {

// Boxes of the register exchange file.
inline constexpr const char* kFileCaption = "Error";
inline constexpr const char* kInvalidIni = "\"%s\" is not a valid ORVIK initialization file.";
inline constexpr const char* kCannotRead = "Cannot open \"%s\" for reading.";
inline constexpr const char* kCannotGetMem = "Cannot get MEM from \"%s\".";
inline constexpr const char* kCannotGetMem1 = "Cannot get MEM1 from \"%s\".";
inline constexpr const char* kCannotGetMem2 = "Cannot get MEM2 from \"%s\".";
inline constexpr const char* kCannotGetM = "Cannot get M[%d] from \"%s\".";
inline constexpr const char* kCannotWrite = "Cannot open \"%s\" for writing.";
// A write, flush or replace that failed after the file had been opened.
inline constexpr const char* kWriteFailed = "Cannot write \"%s\".";

// Boxes of the program start.
inline constexpr const char* kStartCaption = "DATENUM:  Error";
inline constexpr const char* kIniRequired = "ORVIK initialization file name required!";
inline constexpr const char* kGetDoseFailed = "Function <get_dose> failed!";
inline constexpr const char* kPutDoseFailed = "Function <put_dose> failed!";

// Boxes of the conversion.
inline constexpr const char* kConvertCaption = "DATENUM Error";
inline constexpr const char* kBufferExceeded = "Buffer size exceeded!  Maximum is %d characters.";
inline constexpr const char* kDateTimeForm = "Date-time string must be \"dd-mon-yy hh:mm[:ss]\"";
inline constexpr const char* kDateForm = "Date must be \"dd-mon-yy\"";
inline constexpr const char* kTimeForm = "Time must be \"hh:mm[:ss]\" in 24hr format.";
inline constexpr const char* kHoursRange = "Hours must be 0 to 23.";
inline constexpr const char* kMinutesRange = "Minutes must be 0 to 59.";
inline constexpr const char* kSecondsRange = "Seconds must be 0 to 61";
inline constexpr const char* kMktimeFailed = "\"mktime\" failed!";

}  // namespace datenum::msg
