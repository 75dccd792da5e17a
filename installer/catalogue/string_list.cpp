#include "installer/catalogue/string_list.h"

#include "installer/catalogue/case_fold.h"

namespace {

const std::string& EmptyString() {
  static const std::string empty;
  return empty;
}

}  // namespace

StringList::~StringList() = default;

StringList& StringList::operator=(const StringList& other) {
  if (this != &other) {
    items_ = other.items_;
    sets_.reset();
  }
  return *this;
}

void StringList::AddTail(const std::string& text) {
  items_.push_back(text);
  if (!sets_) return;
  if (sets_->haveExact) sets_->exact.insert(text);
  if (sets_->haveFolded) sets_->folded.insert(catalogue::FoldCase(text));
}

void StringList::RemoveAll() {
  items_.clear();
  sets_.reset();
}

const std::string& StringList::GetNextName(POSITION& pos) const {
  if (pos == 0 || pos > items_.size()) {
    pos = 0;
    return EmptyString();
  }
  const std::string& text = items_[pos - 1];
  pos = (pos < items_.size()) ? pos + 1 : 0;
  return text;
}

const std::string& StringList::GetAt(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= items_.size()) return EmptyString();
  return items_[static_cast<std::size_t>(index)];
}

bool StringList::Contains(const std::string& text) const {
  if (items_.size() <= kScanLimit) {
    for (const std::string& item : items_) {
      if (item == text) return true;
    }
    return false;
  }
  Sets& sets = TheSets();
  if (!sets.haveExact) {
    sets.exact.reserve(items_.size() * 2);
    sets.exact.insert(items_.begin(), items_.end());
    sets.haveExact = true;
  }
  return sets.exact.count(text) != 0;
}

bool StringList::ContainsNoCase(const std::string& text) const {
  if (items_.size() <= kScanLimit) {
    for (const std::string& item : items_) {
      if (catalogue::EqualNoCase(item, text)) return true;
    }
    return false;
  }
  Sets& sets = TheSets();
  if (!sets.haveFolded) {
    sets.folded.reserve(items_.size() * 2);
    for (const std::string& item : items_) sets.folded.insert(catalogue::FoldCase(item));
    sets.haveFolded = true;
  }
  return sets.folded.count(catalogue::FoldCase(text)) != 0;
}

StringList::Sets& StringList::TheSets() const {
  if (!sets_) sets_ = std::make_unique<Sets>();
  return *sets_;
}
