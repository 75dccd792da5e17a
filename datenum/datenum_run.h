// One run of datenum: read the registers, convert MEM2, write them back.
#pragma once
#include <ctime>
#include <string>

#include "datenum/registers.h"

namespace datenum {

// Exit statuses of datenum.
constexpr int kExitWritten = 0;
constexpr int kExitNoRegisters = 1;

// The first word of the command line, delimited by blanks or commas.
std::string IniPathFromCommandLine(const std::string& commandLine);

// Converts MEM2 into MEM. On an error writes the registers back as they
// stand, shows the error (or the failed write) under "DATENUM Error" and
// returns false; MEM is then unchanged.
bool ConvertMem2(const std::string& iniPath, Registers& registers, std::time_t now);

// The whole program for `commandLine` (the text after the program name),
// converting at `now`; returns the exit status.
int RunDatenum(const std::string& commandLine, std::time_t now);

}  // namespace datenum
