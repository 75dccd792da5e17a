// kelmar_setup (setup.exe on a medium): stages the installer in the temporary
// folder and starts it with the medium's folder as its source.
#include <cstdio>

#include "bootstrap/setup_dialog.h"
#include "resources/kelmar_ids.h"
#include "resources/setup_resources.h"
#include "ui/app.h"
#include "ui/msgbox.h"

namespace {

class SetupApp : public ui::App {
 public:
  bool InitInstance() override {
    bool debugMode = CommandLine().find("-d") != std::string::npos;
    bootstrap::SetupDialog dialog(debugMode);
    m_pMainWnd = &dialog;
    int result = dialog.DoModal();
    m_pMainWnd = nullptr;
    if (result < 0) {
      char message[64];
      std::snprintf(message, sizeof message, "dlg.DoModal() returned %d", result);
      ui::MessageBox(message, kInstallCaption, ui::MB_OK | ui::MB_ICONERROR);
    }
    return false;
  }
};

}  // namespace

int main(int argc, char** argv) {
  SetupApp app;
  return app.Run(argc, argv, &resources::Setup());
}
