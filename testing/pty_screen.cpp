#include "testing/pty_screen.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vterm.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

namespace orvik_testing {
namespace {

// Only a failsafe for a program that hangs: waits end on screen conditions.
constexpr int kFailsafeSeconds = 180;

int OnTermProp(VTermProp prop, VTermValue* value, void* user) {
  if (prop == VTERM_PROP_ALTSCREEN) static_cast<PtyScreen*>(user)->SetAltScreen(value->boolean);
  return 1;
}

std::string Utf8(uint32_t c) {
  std::string out;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

}  // namespace

PtyScreen::PtyScreen(const std::string& program, const std::vector<std::string>& args,
                     const std::map<std::string, std::string>& env, const std::string& cwd, int rows, int cols)
    : rows_(rows), cols_(cols) {
  winsize ws{};
  ws.ws_row = static_cast<unsigned short>(rows);
  ws.ws_col = static_cast<unsigned short>(cols);
  pid_ = forkpty(&master_, nullptr, nullptr, &ws);
  if (pid_ == 0) {
    if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(127);
    setenv("TERM", "xterm-256color", 1);
    unsetenv("NO_COLOR");
    for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  vt_ = vterm_new(rows, cols);
  vterm_set_utf8(vt_, 1);
  VTermScreen* screen = vterm_obtain_screen(vt_);
  static VTermScreenCallbacks callbacks{};
  callbacks.settermprop = &OnTermProp;
  vterm_screen_set_callbacks(screen, &callbacks, this);
  vterm_screen_reset(screen, 1);
}

PtyScreen::~PtyScreen() {
  if (status_ < 0 && pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (master_ >= 0) close(master_);
  if (vt_) vterm_free(vt_);
}

bool PtyScreen::Pump(int timeoutMs) {
  if (closed_) return false;
  pollfd fd{master_, POLLIN, 0};
  if (poll(&fd, 1, timeoutMs) <= 0) return true;
  char buf[8192];
  ssize_t n = read(master_, buf, sizeof buf);
  if (n <= 0) {
    closed_ = true;  // EIO: no process holds the terminal any more
    return false;
  }
  vterm_input_write(vt_, buf, static_cast<size_t>(n));
  // Answers of the emulator (cursor position reports) go back to the program.
  char out[256];
  size_t len;
  while ((len = vterm_output_read(vt_, out, sizeof out)) > 0) {
    if (write(master_, out, len) < 0) break;
  }
  return true;
}

bool PtyScreen::WaitFor(const std::function<bool()>& condition) {
  auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(kFailsafeSeconds);
  while (!condition()) {
    if (!Pump(50)) return condition();
    if (std::chrono::steady_clock::now() > limit) return false;
  }
  return true;
}

void PtyScreen::Type(const std::string& keys) {
  size_t done = 0;
  while (done < keys.size()) {
    ssize_t n = write(master_, keys.data() + done, keys.size() - done);
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

void PtyScreen::Resize(int rows, int cols) {
  rows_ = rows;
  cols_ = cols;
  vterm_set_size(vt_, rows, cols);
  winsize ws{};
  ws.ws_row = static_cast<unsigned short>(rows);
  ws.ws_col = static_cast<unsigned short>(cols);
  ioctl(master_, TIOCSWINSZ, &ws);
}

int PtyScreen::WaitForEnd() {
  auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(kFailsafeSeconds);
  while (Pump(50)) {
    if (std::chrono::steady_clock::now() > limit) return -1;
  }
  int status = 0;
  if (waitpid(pid_, &status, 0) != pid_) return -1;
  status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return status_;
}

Cell PtyScreen::At(int row, int col) const {
  Cell cell;
  VTermScreenCell c;
  VTermPos pos{row, col};
  if (!vterm_screen_get_cell(vterm_obtain_screen(vt_), pos, &c)) return cell;
  cell.text = c.chars[0] ? Utf8(c.chars[0]) : " ";
  cell.bold = c.attrs.bold;
  cell.underline = c.attrs.underline != 0;
  cell.reverse = c.attrs.reverse;
  cell.defaultFg = VTERM_COLOR_IS_DEFAULT_FG(&c.fg);
  cell.defaultBg = VTERM_COLOR_IS_DEFAULT_BG(&c.bg);
  return cell;
}

std::string PtyScreen::Line(int row) const {
  std::string line;
  for (int col = 0; col < cols_; ++col) line += At(row, col).text;
  return line;
}

std::string PtyScreen::Text() const {
  std::string text;
  for (int row = 0; row < rows_; ++row) text += Line(row) + "\n";
  return text;
}

std::pair<int, int> PtyScreen::Find(const std::string& text) const {
  for (int row = 0; row < rows_; ++row) {
    std::string line;
    for (int col = 0; col < cols_; ++col) {
      std::string t = At(row, col).text;
      line += t.size() == 1 ? t : "?";  // one byte per cell keeps columns
    }
    size_t at = line.find(text);
    if (at != std::string::npos) return {row, static_cast<int>(at)};
  }
  return {-1, -1};
}

bool PtyScreen::LineModeRestored() const {
  termios t{};
  if (tcgetattr(master_, &t) != 0) return false;
  return (t.c_lflag & ICANON) && (t.c_lflag & ECHO);
}

}  // namespace orvik_testing
