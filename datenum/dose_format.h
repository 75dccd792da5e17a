// The text form of dosdose.dat: 23 lines, MEM, MEM1, MEM2 and M[1] to M[20].
#pragma once
#include <cstdio>
#include <string>

#include "datenum/registers.h"

namespace datenum {

// Lines of the exchange file: 1 MEM, 2 MEM1, 3 MEM2, 4 to 23 M[1] to M[20].
constexpr int kDoseLines = 3 + kMExchanged;
// A number line is read with a limit of 4,095 characters; MEM2 is read whole.
constexpr std::size_t kReadPiece = 4095;
constexpr std::size_t kWholeLine = std::string::npos;

// Reads one line of text: its first `limit` characters go into *line
// without the line end ("\n", or "\r\n" as text mode reads it); the rest of a
// longer line is read and dropped, so that it never counts as further lines,
// and *overlong is set. A last line without a line end still counts.
// Returns false when the stream is at its end (or failed) before any character.
bool ReadDoseLine(std::FILE* file, std::string* line, bool* overlong, std::size_t limit = kReadPiece);

// A number line: leading white space skipped, the longest decimal number
// that starts there; 0 when there is none.
double ReadDoseNumber(const std::string& line);

// Reads the 23 lines into `registers` (lines after them are not read).
// MEM2 is taken whole, whatever its length, so that it is written back as
// read and its conversion fails as any over-long text does. Returns 0 on
// success, else the number (1 to 23) of the first line that is missing. On
// failure `registers` is left as it was.
int ReadRegisters(std::FILE* file, Registers& registers);

// The 23 lines as written back: numbers with "%.12g", MEM2 as it stands.
std::string FormatRegisters(const Registers& registers);

}  // namespace datenum
