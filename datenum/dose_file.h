// Reading and writing the register exchange file dosdose.dat.
#pragma once
#include <string>

#include "datenum/registers.h"

namespace datenum {

// Reads the registers from dosdose.dat (located through `iniPath`). Returns 1,
// or 0 after its own box; on failure `registers` is left as it was.
int get_dose(const std::string& iniPath, Registers& registers);

// Writes the registers into dosdose.dat, replacing its contents. The new
// text goes to a file beside it that is then renamed over it, so the file is
// never left half-written; a read-only dosdose.dat is not replaced. Returns
// 1, or 0 after its own box.
int put_dose(const std::string& iniPath, const Registers& registers);

}  // namespace datenum
