#include "installer/catalogue/string_list.h"

#include "platform/ascii_case.h"

namespace catalogue {

namespace {

const std::string& EmptyString() {
  static const std::string empty;
  return empty;
}

}  // namespace

StringList::StringList(const StringList& other) noexcept : rep_(other.rep_) {
  if (rep_) rep_->refs.fetch_add(1, std::memory_order_relaxed);
}

StringList& StringList::operator=(const StringList& other) noexcept {
  if (rep_ != other.rep_) {
    if (other.rep_) other.rep_->refs.fetch_add(1, std::memory_order_relaxed);
    Release(rep_);
    rep_ = other.rep_;
  }
  return *this;
}

StringList& StringList::operator=(StringList&& other) noexcept {
  if (this != &other) {
    Release(rep_);
    rep_ = other.rep_;
    other.rep_ = nullptr;
  }
  return *this;
}

StringList::~StringList() { Release(rep_); }

void StringList::Release(Rep* rep) noexcept {
  if (rep && rep->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) delete rep;
}

StringList::Rep& StringList::Own() {
  if (rep_ == nullptr) {
    rep_ = new Rep;
  } else if (rep_->refs.load(std::memory_order_acquire) != 1) {
    // Shared: this list gets a copy of the entries; the sets are rebuilt on
    // demand.
    Rep* copy = new Rep;
    copy->items = rep_->items;
    Release(rep_);
    rep_ = copy;
  }
  return *rep_;
}

const std::vector<std::string>& StringList::Items() const {
  static const std::vector<std::string> none;
  return rep_ ? rep_->items : none;
}

void StringList::AddTail(const std::string& text) {
  Rep& rep = Own();
  rep.items.push_back(text);
  if (!rep.sets) return;
  if (rep.sets->haveExact) rep.sets->exact.insert(text);
  if (rep.sets->haveFolded) rep.sets->folded.insert(platform::AsciiLower(text));
}

void StringList::RemoveAll() {
  Release(rep_);
  rep_ = nullptr;
}

void StringList::RemoveLast() {
  if (IsEmpty()) return;
  Rep& rep = Own();
  rep.items.pop_back();
  rep.sets.reset();  // rebuilt on the next test
}

const std::string& StringList::GetNextName(POSITION& pos) const {
  const std::vector<std::string>& items = Items();
  if (pos == 0 || pos > items.size()) {
    pos = 0;
    return EmptyString();
  }
  const std::string& text = items[pos - 1];
  pos = (pos < items.size()) ? pos + 1 : 0;
  return text;
}

const std::string& StringList::GetAt(int index) const {
  const std::vector<std::string>& items = Items();
  if (index < 0 || static_cast<std::size_t>(index) >= items.size()) return EmptyString();
  return items[static_cast<std::size_t>(index)];
}

bool StringList::Contains(const std::string& text) const {
  const std::vector<std::string>& items = Items();
  if (items.size() <= kScanLimit) {
    for (const std::string& item : items) {
      if (item == text) return true;
    }
    return false;
  }
  Sets& sets = TheSets();
  if (!sets.haveExact) {
    sets.exact.reserve(items.size() * 2);
    sets.exact.insert(items.begin(), items.end());
    sets.haveExact = true;
  }
  return sets.exact.count(text) != 0;
}

bool StringList::ContainsNoCase(const std::string& text) const {
  const std::vector<std::string>& items = Items();
  if (items.size() <= kScanLimit) {
    for (const std::string& item : items) {
      if (platform::EqualNoCase(item, text)) return true;
    }
    return false;
  }
  Sets& sets = TheSets();
  if (!sets.haveFolded) {
    sets.folded.reserve(items.size() * 2);
    for (const std::string& item : items) sets.folded.insert(platform::AsciiLower(item));
    sets.haveFolded = true;
  }
  return sets.folded.count(platform::AsciiLower(text)) != 0;
}

StringList::Sets& StringList::TheSets() const {
  // Only reached for a long list, which has its entries.
  if (!rep_->sets) rep_->sets = std::make_unique<Sets>();
  return *rep_->sets;
}

}  // namespace catalogue
