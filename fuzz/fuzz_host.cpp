#include "fuzz/fuzz_host.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "platform/dos_path.h"
#include "text/text.h"
#include "ui/actions.h"
#include "ui/app.h"
#include "ui/frontend.h"
#include "ui/msgbox.h"

namespace fuzz {
namespace {

struct Answers {
  std::string bytes;
  size_t next = 0;
  int shown = 0;
};

Answers& TheAnswers() {
  static Answers answers;
  return answers;
}

int GiveUp(const std::vector<ui::detail::BoxChoice>& offered) {
  for (int id : {ui::IDCANCEL, ui::IDNO, ui::IDABORT}) {
    for (const ui::detail::BoxChoice& c : offered) {
      if (c.id == id) return id;
    }
  }
  return offered.front().id;
}

class AnsweringFrontend : public ui::Frontend {
 public:
  void RunModal(ui::Dialog& dialog) override { dialog.EndDialog(ui::IDCANCEL); }
  int ShowMessageBox(const std::string&, const std::string&, unsigned style) override {
    Answers& a = TheAnswers();
    ++a.shown;
    std::vector<ui::detail::BoxChoice> offered = ui::detail::OfferedAnswers(style);
    if (a.next >= a.bytes.size()) return GiveUp(offered);
    unsigned char pick = static_cast<unsigned char>(a.bytes[a.next++]);
    return offered[pick % offered.size()].id;
  }
  void ModelessShown(ui::Dialog&) override {}
  void ModelessUpdated(ui::Dialog&) override {}
  void ModelessDestroyed(ui::Dialog&) override {}
};

int ShowBox(const char* text, const char* caption, unsigned style) { return ui::MessageBox(text, caption, style); }
int NoDatabase(const char*, std::string*) { return 0; }
ui::InstanceHandle g_instance{&ShowBox, &NoDatabase};

std::string g_prefix;

void RemovePrefix() {
  std::error_code ignored;
  std::filesystem::remove_all(g_prefix, ignored);
}

}  // namespace

void PrepareHost() {
  if (!g_prefix.empty()) return;
  const char* base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  std::string tmpl = std::string(base) + "/orvik_fuzz_XXXXXX";
  if (::mkdtemp(tmpl.data()) == nullptr) Broken("cannot make the fuzz prefix in " + std::string(base));
  g_prefix = tmpl;
  std::atexit(RemovePrefix);
  ::setenv("ORVIK_PREFIX", g_prefix.c_str(), 1);
  ::unsetenv("ORVIK_TRANSCRIPT");
  platform::ResetPlatformForTesting();
  std::filesystem::create_directories(platform::PrefixDir() + "/drive_c/windows");
  ui::SetFrontend(std::make_unique<AnsweringFrontend>());
  // Without a database the messages name their number; the boxes still come.
  text_open(&g_instance, "text.h", nullptr);
}

const std::string& PrefixHost() { return g_prefix; }

void SetBoxAnswers(std::string answers) {
  Answers& a = TheAnswers();
  a.bytes = std::move(answers);
  a.next = 0;
  a.shown = 0;
}

int BoxesShown() { return TheAnswers().shown; }

void WriteScratch(const std::string& path, const std::uint8_t* data, std::size_t size) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) Broken("cannot write " + path);
  size_t done = 0;
  while (done < size) {
    ssize_t n = ::write(fd, data + done, size - done);
    if (n <= 0) Broken("cannot write " + path);
    done += static_cast<size_t>(n);
  }
  ::close(fd);
}

std::string ReadScratch(const std::string& path) {
  std::string bytes;
  int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) return bytes;
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n <= 0) break;
    bytes.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return bytes;
}

void Broken(const std::string& what) {
  std::fprintf(stderr, "invariant broken: %s\n", what.c_str());
  std::abort();
}

}  // namespace fuzz
