#include "ui/app.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/dos_path.h"
#include "platform/process.h"
#include "ui/frontend.h"

namespace ui {
namespace {

std::atomic<App*> runningApp{nullptr};

int HostMessageBox(const char* text, const char* caption, unsigned style) {
  return ui::MessageBox(text ? text : "", caption ? caption : "", style);
}

int HostReadFile(const char* dosPath, std::string* contents) {
  if (!dosPath || !contents) return 0;
  std::string host = platform::HostPath(dosPath);
  std::error_code error;
  if (host.empty() || !std::filesystem::is_regular_file(host, error)) return 0;
  std::ifstream in(host, std::ios::binary);
  if (!in) return 0;
  std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return 0;
  *contents = std::move(data);
  return 1;
}

}  // namespace

int App::Run(int argc, char** argv, const ResourceModule* resources) {
  runningApp.store(this);
  commandLine_ = platform::CommandLineFromArgs(argc, argv);
  SetResources(resources);
  CurrentFrontend();  // an unknown ORVIK_UI ends the program here (86)
  instance_.messageBox = &HostMessageBox;
  instance_.readFile = &HostReadFile;
  InitInstance();
  return ExitInstance();
}

App* GetApp() { return runningApp.load(); }

}  // namespace ui
