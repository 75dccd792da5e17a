// The application object: InitInstance/ExitInstance around a program's run.
#pragma once
#include <string>

#include "ui/dialog.h"

namespace ui {

// What a library loaded by the program (the message text service) receives
// as the program's instance handle: the program's host services.
struct InstanceHandle {
  int (*messageBox)(const char* text, const char* caption, unsigned style);
  // Reads a whole file named by a DOS path; returns 0 when it cannot.
  int (*readFile)(const char* dosPath, std::string* contents);
};

class App {
 public:
  virtual ~App() = default;
  // Start-up; returning false ends the program (ExitInstance still runs).
  virtual bool InitInstance() { return true; }
  // The program's end; returns the exit code.
  virtual int ExitInstance() { return 0; }

  // Runs the program: takes the command line from argv, picks the
  // frontend from ORVIK_UI, installs `resources`, then InitInstance and
  // ExitInstance. Returns the exit code for main.
  int Run(int argc, char** argv, const ResourceModule* resources);

  const std::string& CommandLine() const { return commandLine_; }
  InstanceHandle* Instance() { return &instance_; }
  Dialog* m_pMainWnd = nullptr;

 protected:
  std::string commandLine_;
  InstanceHandle instance_{};
};

// The running application, or nullptr.
App* GetApp();

}  // namespace ui
