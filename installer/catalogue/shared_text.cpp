#include "installer/catalogue/shared_text.h"

namespace catalogue {

const std::string& SharedText::Empty() {
  static const std::string empty;
  return empty;
}

SharedText& SharedText::operator=(const SharedText& other) noexcept {
  if (rep_ != other.rep_) {
    Release();
    rep_ = other.rep_;
    Retain();
  }
  return *this;
}

SharedText& SharedText::operator=(SharedText&& other) noexcept {
  if (this != &other) {
    Release();
    rep_ = other.rep_;
    other.rep_ = nullptr;
  }
  return *this;
}

SharedText& SharedText::operator=(const std::string& text) {
  Set(text);
  return *this;
}

SharedText& SharedText::operator=(const char* text) {
  Set(text ? std::string_view(text) : std::string_view());
  return *this;
}

void SharedText::Set(std::string_view text) {
  Rep* fresh = nullptr;
  if (!text.empty()) {
    fresh = new Rep;
    fresh->text.assign(text.data(), text.size());
  }
  Release();
  rep_ = fresh;
}

void SharedText::Release() noexcept {
  if (rep_ && rep_->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) delete rep_;
  rep_ = nullptr;
}

}  // namespace catalogue
