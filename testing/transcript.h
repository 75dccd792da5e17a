// Reading the transcript the frontends write: one line per window, box and
// answer, strings in double quotes with \\ \" \n \r \t.
#pragma once
#include <string>
#include <vector>

namespace orvik_testing {

// A `box "<caption>" "<text>"` line split into its two strings.
struct BoxLine {
  std::string caption;
  std::string text;
};

class Transcript {
 public:
  explicit Transcript(std::string hostPath) : path_(std::move(hostPath)) {}

  std::string Text() const;
  std::vector<std::string> Lines() const;
  bool Has(const std::string& line) const;
  // How many lines begin with `prefix`, and those lines.
  int Count(const std::string& prefix) const;
  std::vector<std::string> StartingWith(const std::string& prefix) const;
  std::vector<BoxLine> Boxes() const;
  // Boxes whose text contains `part`.
  int BoxCount(const std::string& part) const;
  // Starts afresh (the frontend appends).
  void Clear() const;

 private:
  std::string path_;
};

// The lines of `text` that begin with `prefix`.
std::vector<std::string> LinesStartingWith(const std::string& text, const std::string& prefix);
// `text` as the transcript quotes it.
std::string Quoted(const std::string& text);

}  // namespace orvik_testing
