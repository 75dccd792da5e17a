// Stand-in payload files for a catalogue without real ones (the sample
// medium): contents made from the file's name alone, so that every run and
// every machine makes the same bytes.
#pragma once
#include <string>
#include <vector>

namespace mkmedia {

// The contents for `name`, by its extension (any letter case): ".bmp" a
// 24-bit bitmap of a front panel, ".pro" a procedure listing, ".exe" a
// program image, anything else a table of calibration points. Never empty.
std::string GeneratePayload(const std::string& name);

// Writes the generated contents of every file that the catalogue in
// `folder`/kelmar.lst names and `folder` does not hold yet; files already
// there are kept. Counts go to `written` and `kept`; false with the reasons
// in `problems` when the catalogue is missing or names a file that cannot be.
bool GenerateMissingPayloads(const std::string& folder, int* written, int* kept, std::vector<std::string>* problems);

}  // namespace mkmedia
