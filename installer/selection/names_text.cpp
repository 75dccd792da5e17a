#include "installer/selection/names_text.h"

#include <cstring>

namespace selection {

std::string LinesOf(const catalogue::StringList& list) {
  std::string text;
  for (const std::string& name : list) {
    text += name;
    text += "\r\n";
  }
  return text;
}

std::string LinesOf(const char (*names)[56], int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    text.append(names[i], strnlen(names[i], sizeof names[i]));
    text += "\r\n";
  }
  return text;
}

}  // namespace selection
