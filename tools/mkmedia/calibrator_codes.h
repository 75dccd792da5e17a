// The calibrator codes the installer's calibrator choice knows.
#pragma once
#include <string>

namespace mkmedia {

// True for a code the installer offers procedures under (letter case counts).
bool IsCalibratorCode(const std::string& code);

// The known codes, separated by blanks.
std::string CalibratorCodeList();

// The known code that `code` most likely means (the same letters and digits
// in another case, or with blanks, "-" or "_" between them), or "".
std::string LikelyCalibratorCode(const std::string& code);

}  // namespace mkmedia
