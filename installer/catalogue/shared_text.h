// An immutable string that copies share: the procedure file and calibrator
// of a record are held once for all of the record's nodes. Reads like a
// const std::string; assigning a new text replaces it for this holder only.
#pragma once
#include <atomic>
#include <compare>
#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

namespace catalogue {

class SharedText {
 public:
  SharedText() = default;
  explicit SharedText(const std::string& text) { Set(text); }
  SharedText(const SharedText& other) noexcept : rep_(other.rep_) { Retain(); }
  SharedText(SharedText&& other) noexcept : rep_(other.rep_) { other.rep_ = nullptr; }
  SharedText& operator=(const SharedText& other) noexcept;
  SharedText& operator=(SharedText&& other) noexcept;
  SharedText& operator=(const std::string& text);
  SharedText& operator=(const char* text);
  ~SharedText() { Release(); }

  const std::string& str() const { return rep_ ? rep_->text : Empty(); }
  // Implicit, so that it passes wherever a string is read.
  operator const std::string&() const { return str(); }
  const char* c_str() const { return str().c_str(); }
  std::size_t size() const { return str().size(); }
  bool empty() const { return str().empty(); }

  friend bool operator==(const SharedText& a, const SharedText& b) { return a.rep_ == b.rep_ || a.str() == b.str(); }
  friend bool operator==(const SharedText& a, std::string_view b) { return std::string_view(a.str()) == b; }
  friend std::strong_ordering operator<=>(const SharedText& a, const SharedText& b) {
    return std::string_view(a.str()) <=> std::string_view(b.str());
  }
  friend std::strong_ordering operator<=>(const SharedText& a, std::string_view b) {
    return std::string_view(a.str()) <=> b;
  }
  friend std::ostream& operator<<(std::ostream& out, const SharedText& text) { return out << text.str(); }

 private:
  struct Rep {
    std::atomic<long> refs{1};
    std::string text;
  };
  static const std::string& Empty();
  void Set(std::string_view text);
  void Retain() noexcept {
    if (rep_) rep_->refs.fetch_add(1, std::memory_order_relaxed);
  }
  void Release() noexcept;

  Rep* rep_ = nullptr;  // nullptr for the empty text
};

}  // namespace catalogue
