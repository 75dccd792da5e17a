// The error boxes of datenum: no owner, stop icon, task-modal, OK only.
#pragma once
#include <string>

namespace datenum {

// `format` with its one "%s" replaced by `text`.
std::string FillText(const char* format, const std::string& text);
// `format` with its one "%d" replaced by `number`.
std::string FillNumber(const char* format, int number);

// Shows `text` under `caption` and waits for OK.
void StopBox(const std::string& text, const char* caption);

}  // namespace datenum
