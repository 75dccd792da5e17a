#include "datenum/dose_format.h"

#include <cstdlib>

namespace datenum {

bool ReadDoseLine(std::FILE* file, std::string* line, bool* overlong, std::size_t limit) {
  line->clear();
  *overlong = false;
  bool any = false;
  int c;
  while ((c = std::getc(file)) != EOF) {
    any = true;
    if (c == '\n') break;
    if (line->size() < limit) {
      line->push_back(static_cast<char>(c));
    } else {
      *overlong = true;
    }
  }
  if (!any) return false;
  if (!*overlong && !line->empty() && line->back() == '\r') line->pop_back();
  return true;
}

double ReadDoseNumber(const std::string& line) { return std::strtod(line.c_str(), nullptr); }

int ReadRegisters(std::FILE* file, Registers& registers) {
  Registers read = registers;
  std::string line;
  bool overlong = false;
  for (int n = 1; n <= kDoseLines; ++n) {
    if (!ReadDoseLine(file, &line, &overlong, n == 3 ? kWholeLine : kReadPiece)) return n;
    if (n == 1) {
      read.MEM = ReadDoseNumber(line);
    } else if (n == 2) {
      read.MEM1 = ReadDoseNumber(line);
    } else if (n == 3) {
      read.MEM2 = line;
    } else {
      read.M[n - 4] = ReadDoseNumber(line);
    }
  }
  registers = read;
  return 0;
}

std::string FormatRegisters(const Registers& registers) {
  std::string text;
  auto number = [&text](double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.12g\n", value);
    text += buf;
  };
  number(registers.MEM);
  number(registers.MEM1);
  text += registers.MEM2;
  // Reading drops one carriage return before the line feed: a MEM2 that
  // ends in one keeps it only behind a CR LF line end.
  text += !registers.MEM2.empty() && registers.MEM2.back() == '\r' ? "\r\n" : "\n";
  for (int i = 0; i < kMExchanged; ++i) number(registers.M[i]);
  return text;
}

}  // namespace datenum
