#include "datenum/datenum_run.h"

#include "datenum/date_convert.h"
#include "datenum/dose_file.h"
#include "datenum/messages.h"
#include "datenum/stop_box.h"

namespace datenum {

std::string IniPathFromCommandLine(const std::string& commandLine) {
  constexpr const char* kDelimiters = " ,";
  std::size_t start = commandLine.find_first_not_of(kDelimiters);
  if (start == std::string::npos) return "";
  std::size_t end = commandLine.find_first_of(kDelimiters, start);
  return commandLine.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

bool ConvertMem2(const std::string& iniPath, Registers& registers, std::time_t now) {
  double seconds = 0;
  std::string error;
  if (ConvertDateTime(registers.MEM2, now, &seconds, &error)) {
    registers.MEM = seconds;
    return true;
  }
  if (!put_dose(iniPath, registers)) {
    StopBox(msg::kPutDoseFailed, msg::kConvertCaption);
  } else {
    StopBox(error, msg::kConvertCaption);
  }
  return false;
}

int RunDatenum(const std::string& commandLine, std::time_t now) {
  std::string iniPath = IniPathFromCommandLine(commandLine);
  if (iniPath.empty()) {
    StopBox(msg::kIniRequired, msg::kStartCaption);
    return kExitNoRegisters;
  }
  Registers registers;
  if (!get_dose(iniPath, registers)) {
    StopBox(msg::kGetDoseFailed, msg::kStartCaption);
    return kExitNoRegisters;
  }
  registers.MEM1 = ConvertMem2(iniPath, registers, now) ? 1 : -1;
  if (!put_dose(iniPath, registers)) {
    StopBox(msg::kPutDoseFailed, msg::kStartCaption);
    return kExitNoRegisters;
  }
  return kExitWritten;
}

}  // namespace datenum
