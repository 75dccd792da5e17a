// Confirm Target Directories (105) and Select Directory (106).
#pragma once
#include <string>

#include "ui/dialog.h"

namespace wizard {

class ConfirmDirectoriesPage : public ui::Dialog {
 public:
  explicit ConfirmDirectoriesPage(ui::Dialog* parent);
  void DoDataExchange(ui::DataExchange& dx) override;
  void OnCommand(int controlId) override;

  std::string userProgramDirectory;
  std::string procedureDirectory;
  std::string pictureDirectory;
  std::string dataDirectory;
};

class SelectDirectoryPage : public ui::Dialog {
 public:
  explicit SelectDirectoryPage(ui::Dialog* parent);
  void DoDataExchange(ui::DataExchange& dx) override;
  void OnCommand(int controlId) override;

  std::string label;
  std::string path;
};

}  // namespace wizard
