// kelmar: the procedure installation wizard, started by the bootstrap from
// its staging folder with the source folder as its command line.
#include "installer/catalogue/catalogue_trace.h"
#include "installer/wizard/installer_app.h"
#include "resources/kelmar_resources.h"

int main(int argc, char** argv) {
  catalogue::OpenCatalogueTrace();
  wizard::InstallerApp app;
  int code = app.Run(argc, argv, &resources::Kelmar());
  catalogue::CloseCatalogueTrace();
  return code;
}
