// The text shown when a procedure file cannot be copied into the procedure
// directory: a message of the text service filled with the file and the
// system error code.
#pragma once
#include <string>

namespace registration {

// Message numbers of the copy failure.
constexpr int MSG_PROC_COPY_FAILED = 9255;
constexpr int MSG_SUBPROC_COPY_FAILED = 9259;

// Fills `format` (printf style: one string conversion, then one integer
// conversion) with `file` and `error`. A format that does not carry exactly
// those conversions is returned as it is, so that no text of the database
// can make the fill read arguments that are not there.
std::string FillCopyFailure(const std::string& format, const std::string& file, unsigned long error);

// Fetches message `number` with text() into a 260-byte buffer and fills it.
std::string CopyFailureText(int number, const std::string& file, unsigned long error);

}  // namespace registration
