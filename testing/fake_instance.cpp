#include "testing/fake_instance.h"

#include <string>

#include "platform/dos_path.h"
#include "testing/host_files.h"
#include "testing/sandbox.h"
#include "text/text.h"
#include "ui/msgbox.h"

namespace orvik_testing {

namespace {

int ShowBox(const char* text, const char* caption, unsigned style) { return ui::MessageBox(text, caption, style); }

int ReadAnyFile(const char* path, std::string* contents) {
  std::string name = path;
  bool dos = name.size() >= 2 && (name[1] == ':' || name.rfind("\\\\", 0) == 0);
  std::string host = dos ? platform::HostPath(name) : name;
  if (host.empty() || !Exists(host)) return 0;
  *contents = ReadFile(host);
  return 1;
}

ui::InstanceHandle g_instance{&ShowBox, &ReadAnyFile};

}  // namespace

ui::InstanceHandle* FakeInstance() { return &g_instance; }

bool OpenMessages() { return text_open(&g_instance, "text.h", (BinDir() + "/ovtext.mdb").c_str()) != 0; }

}  // namespace orvik_testing
