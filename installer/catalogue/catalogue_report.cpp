#include "installer/catalogue/catalogue_report.h"

#include "resources/kelmar_ids.h"
#include "ui/msgbox.h"

namespace catalogue {

void Warn(const std::string& text) {
  ui::MessageBox(text, kInstallCaption, ui::MB_ICONWARNING | ui::MB_OK);
}

std::string UnsafeFileNameText(const std::string& procedure, const std::string& file) {
  return "Error: Procedure " + procedure + " names the file \"" + file +
         "\",\nwhich is not a plain file name. It is not installed.";
}

std::string DroppedRecordsText(const std::string& path, int count, int firstLine) {
  return "Warning: " + std::to_string(count) + " incomplete procedure record(s) in " + path +
         " were skipped\n(the first one begins at line " + std::to_string(firstLine) +
         ").\nThese procedures are not offered for installation.";
}

}  // namespace catalogue
