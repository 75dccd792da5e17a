// The transcript: one line per event, appended to $ORVIK_TRANSCRIPT.
#pragma once
#include <string>

namespace platform {

// True when $ORVIK_TRANSCRIPT names a file.
bool TranscriptEnabled();
// Appends one line (a line feed is added) with one write, so that lines of
// several threads and processes never interleave.
void TranscriptLine(const std::string& line);
// A string in transcript form: in double quotes, with \\ \" \n \r \t escapes.
std::string TranscriptQuote(const std::string& text);

}  // namespace platform
