// datenum: converts the date-time text in register MEM2 of a running
// calibration procedure into calendar seconds (MEM), with status MEM1.
#include <ctime>

#include "datenum/datenum_run.h"
#include "ui/app.h"

namespace {

// No window of its own: the run happens in InitInstance, its exit status
// comes back from ExitInstance.
class DatenumApp : public ui::App {
 public:
  bool InitInstance() override {
    // CommandLine() is the arguments joined by blanks (CommandLineFromArgs).
    status_ = datenum::RunDatenum(CommandLine(), std::time(nullptr));
    return false;
  }
  int ExitInstance() override { return status_; }

 private:
  int status_ = datenum::kExitNoRegisters;
};

}  // namespace

int main(int argc, char** argv) {
  static const ui::ResourceModule kNoResources;
  DatenumApp app;
  return app.Run(argc, argv, &kNoResources);
}
