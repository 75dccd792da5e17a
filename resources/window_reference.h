// The reference of every window for people who write answer files: each
// dialog template with its controls, what `set`, `toggle` and `click` can
// name, and the message boxes the window can lead to.
#pragma once
#include <map>
#include <string>
#include <vector>

namespace resources {

// Message texts by number, from the source of ovtext.mdb ("<number> <text>"
// lines, "#" comments, escapes \n \t \\). Numbers that appear twice, and lines
// that are not a message, are listed in `problems`.
std::map<int, std::string> ParseMessageTexts(const std::string& source, std::vector<std::string>* problems);

// The whole reference as Markdown. A box that names a window its program
// lacks, or a message number without a text, goes to `problems`.
std::string WindowReference(const std::map<int, std::string>& texts, std::vector<std::string>* problems);

}  // namespace resources
