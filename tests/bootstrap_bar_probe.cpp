// The bootstrap with a frontend that notes where the progress bar stands:
// it answers every box with OK and, before the box's answer, writes the
// transcript line `bar <position> "<box text>"`. Copied onto a medium as
// setup.exe, it stages exactly as kelmar_setup does (same dialog class).
#include <memory>
#include <string>

#include "bootstrap/setup_dialog.h"
#include "platform/process.h"
#include "platform/transcript.h"
#include "resources/setup_resources.h"
#include "ui/app.h"
#include "ui/frontend.h"

namespace {

constexpr int kBar = 1000;

class BarFrontend : public ui::Frontend {
 public:
  void RunModal(ui::Dialog& dialog) override {
    ui::Dialog* outer = current_;
    current_ = &dialog;
    while (true) {
      dialog.FireDueTimers();
      if (dialog.IsEnded()) break;
      platform::Sleep(1);
    }
    current_ = outer;
  }
  int ShowMessageBox(const std::string& text, const std::string&, unsigned) override {
    int position = current_ != nullptr ? current_->Progress(kBar).GetPos() : -1;
    platform::TranscriptLine("bar " + std::to_string(position) + " " + platform::TranscriptQuote(text));
    return ui::IDOK;
  }
  void ModelessShown(ui::Dialog&) override {}
  void ModelessUpdated(ui::Dialog&) override {}
  void ModelessDestroyed(ui::Dialog&) override {}

 private:
  ui::Dialog* current_ = nullptr;
};

class ProbeApp : public ui::App {
 public:
  bool InitInstance() override {
    ui::SetFrontend(std::make_unique<BarFrontend>());
    bootstrap::SetupDialog dialog(CommandLine().find("-d") != std::string::npos);
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    return false;
  }
};

}  // namespace

int main(int argc, char** argv) {
  ProbeApp app;
  return app.Run(argc, argv, &resources::Setup());
}
