// Shared by datenum's tests: a throw-away prefix and a frontend that records
// the boxes it is shown.
#pragma once
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/dos_path.h"
#include "ui/frontend.h"
#include "ui/msgbox.h"

namespace datenum::testing {

// A prefix in a fresh temporary folder, made the platform's for the test.
class TempPrefix {
 public:
  TempPrefix() {
    std::string pattern = (std::filesystem::temp_directory_path() / "datenum_XXXXXX").string();
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    const char* made = mkdtemp(buf.data());
    if (made == nullptr) throw std::runtime_error("cannot make a temporary folder");
    root_ = made;
    prefix_ = root_ + "/prefix";
    setenv("ORVIK_PREFIX", prefix_.c_str(), 1);
    platform::ResetPlatformForTesting();
    platform::PrefixDir();
  }
  ~TempPrefix() {
    platform::ResetPlatformForTesting();
    std::error_code ec;
    std::filesystem::permissions(root_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(root_, ec);
  }
  TempPrefix(const TempPrefix&) = delete;
  TempPrefix& operator=(const TempPrefix&) = delete;

  const std::string& Prefix() const { return prefix_; }
  const std::string& Root() const { return root_; }
  // Host path of a file of drive C: ("data/dosdose.dat").
  std::string OnC(const std::string& relative) const { return prefix_ + "/drive_c/" + relative; }

  // Writes `text` to the host file `host`, making its folders.
  static void Write(const std::string& host, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(host).parent_path());
    std::ofstream out(host, std::ios::binary | std::ios::trunc);
    out << text;
  }
  static std::string Read(const std::string& host) {
    std::ifstream in(host, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

 private:
  std::string root_;
  std::string prefix_;
};

struct ShownBox {
  std::string caption;
  std::string text;
  unsigned style;
  std::string snapshot;  // what the watched file held while the box was up
};

// Records every box and answers OK. `Watch` names a host file whose contents
// are captured as each box appears.
class BoxRecorder : public ui::Frontend {
 public:
  static std::vector<ShownBox>& Boxes() {
    static std::vector<ShownBox> boxes;
    return boxes;
  }
  static std::string& Watched() {
    static std::string host;
    return host;
  }
  // Installs a fresh recorder.
  static void Install() {
    Boxes().clear();
    Watched().clear();
    ui::SetFrontend(std::make_unique<BoxRecorder>());
  }

  void RunModal(ui::Dialog&) override {}
  int ShowMessageBox(const std::string& text, const std::string& caption, unsigned style) override {
    std::string snapshot = Watched().empty() ? "" : TempPrefix::Read(Watched());
    Boxes().push_back({caption, text, style, snapshot});
    return ui::IDOK;
  }
  void ModelessShown(ui::Dialog&) override {}
  void ModelessUpdated(ui::Dialog&) override {}
  void ModelessDestroyed(ui::Dialog&) override {}
};

constexpr unsigned kStopStyle = ui::MB_ICONSTOP | ui::MB_TASKMODAL | ui::MB_OK;

// Lines joined with "\n" after each.
inline std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\n";
  return text;
}

}  // namespace datenum::testing
