// A small program on the dialog framework, run by the framework's tests as a
// child process: it shows the sample dialogs through the frontend that
// ORVIK_UI chooses and prints what the operator chose.
//   (no argument)  the settings page
//   ask            the settings page, asking its question as it opens
//   big <n>        the settings page with n list items
//   ticks          a dialog that counts its timer ticks while it waits
//   chain          the nested dialog, then starts "ui_sample child" (WinExec)
//   child          the nested dialog
//   bar            a window without buttons whose bar runs to its end at once
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/dos_path.h"
#include "platform/files.h"
#include "platform/process.h"
#include "ui/app.h"
#include "ui/sample/sample_dialogs.h"

namespace {

class SampleApp : public ui::App {
 public:
  bool InitInstance() override {
    std::string mode = CommandLine();
    std::string rest;
    size_t blank = mode.find(' ');
    if (blank != std::string::npos) {
      rest = mode.substr(blank + 1);
      mode = mode.substr(0, blank);
    }
    if (mode.empty() || mode == "big" || mode == "ask") {
      std::vector<std::string> items = sample::DefaultItems();
      if (mode == "big") {
        items.clear();
        int n = std::atoi(rest.c_str());
        for (int i = 1; i <= n; ++i) items.push_back("PROC" + std::to_string(i));
      }
      sample::SettingsDlg dlg(std::move(items));
      dlg.askOnInit = mode == "ask";
      int code = dlg.DoModal();
      std::printf("result %d folder=%s count=%lu answer=%d nested=%d work=%d\n", code, dlg.folder.c_str(),
                  dlg.count, dlg.lastAnswer, dlg.nestedResult, dlg.workResult);
    } else if (mode == "ticks") {
      sample::TicksDlg dlg;
      int code = dlg.DoModal();
      std::printf("result %d ticks=%d\n", code, dlg.ticks.load());
    } else if (mode == "chain" || mode == "child") {
      sample::NestedDlg dlg;
      int code = dlg.DoModal();
      std::printf("%s %d note=%s\n", mode.c_str(), code, dlg.note.c_str());
      if (mode == "chain") {
        char self[platform::MAX_PATH];
        platform::GetModuleFileNameA(nullptr, self, sizeof self);
        std::string command = "\"" + std::string(self) + "\" child";
        std::printf("exec %u\n", platform::WinExec(command.c_str(), platform::SW_SHOW));
      }
    } else if (mode == "bar") {
      ui::Dialog bar(sample::IDD_WORKING);
      bar.Create(nullptr);
      bar.ShowWindow(true);
      bar.Progress(sample::IDC_BAR).SetRange(0, 100);
      for (int pos = 10; pos <= 100; pos += 10) {
        bar.Progress(sample::IDC_BAR).SetPos(pos);
        bar.UpdateWindow();
      }
      bar.DestroyWindow();
      std::printf("bar done\n");
    } else {
      std::fprintf(stderr, "ui_sample: unknown mode %s\n", mode.c_str());
      exitCode_ = 2;
    }
    std::fflush(stdout);
    return true;
  }
  int ExitInstance() override { return exitCode_; }

 private:
  int exitCode_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  SampleApp app;
  return app.Run(argc, argv, &sample::Resources());
}
