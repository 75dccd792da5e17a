// A program on a pseudo-terminal whose screen is read through a terminal
// emulator: cells, colours and attributes, for tests of the full-screen
// frontend. Waits are on screen conditions; the limit is only a failsafe.
#pragma once
#include <sys/types.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

struct VTerm;

namespace orvik_testing {

struct Cell {
  std::string text;  // the character, " " when blank
  bool bold = false, underline = false, reverse = false;
  bool defaultFg = true, defaultBg = true;
};

class PtyScreen {
 public:
  // Starts `program` with `args` on a terminal of rows x cols, with `env`
  // added to this process's environment (TERM is xterm-256color unless set).
  PtyScreen(const std::string& program, const std::vector<std::string>& args,
            const std::map<std::string, std::string>& env, const std::string& cwd, int rows = 24, int cols = 80);
  ~PtyScreen();
  PtyScreen(const PtyScreen&) = delete;
  PtyScreen& operator=(const PtyScreen&) = delete;

  // Waits until `condition` holds for the screen; false when the failsafe
  // limit passed or the program ended first.
  bool WaitFor(const std::function<bool()>& condition);
  // Waits until the screen shows `text` somewhere.
  bool WaitForText(const std::string& text) { return WaitFor([&] { return Find(text).first >= 0; }); }
  // Types keys (bytes as a terminal sends them).
  void Type(const std::string& keys);
  // Changes the terminal's size, as a window manager would.
  void Resize(int rows, int cols);
  // Reads until every process that holds the terminal has closed it, then
  // returns the exit status of the program (-1 when it did not end).
  int WaitForEnd();

  int Rows() const { return rows_; }
  int Cols() const { return cols_; }
  Cell At(int row, int col) const;
  std::string Line(int row) const;
  std::string Text() const;  // every line, for failure messages
  // Row and column of the first place that shows `text`, or {-1, -1}.
  std::pair<int, int> Find(const std::string& text) const;
  // Whether the terminal is in its line mode again (canonical input, echo).
  bool LineModeRestored() const;
  bool AltScreen() const { return altScreen_; }

  // Keys as xterm sends them in keypad (application) mode.
  static constexpr const char* kUp = "\x1bOA";
  static constexpr const char* kDown = "\x1bOB";
  static constexpr const char* kEnd = "\x1bOF";
  static constexpr const char* kPgDn = "\x1b[6~";
  static constexpr const char* kShiftTab = "\x1b[Z";

 private:
  bool Pump(int timeoutMs);  // false when the terminal was closed
  int master_ = -1;
  pid_t pid_ = -1;
  int rows_, cols_;
  VTerm* vt_ = nullptr;
  bool closed_ = false;
  bool altScreen_ = false;
  int status_ = -1;

 public:
  void SetAltScreen(bool on) { altScreen_ = on; }
};

}  // namespace orvik_testing
