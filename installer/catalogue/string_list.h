// A list of strings that keeps insertion order, walked from the head with a
// position. Duplicate tests stay fast on long lists: on a long list the first
// test of a kind builds a set of the strings (exact or case-folded) that the
// list then keeps up to date. The sets are a cache: a copy of the list starts
// without them. They make the const tests unfit for concurrent use; the
// catalogue is used by one thread.
#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

// A position in a StringList: 1 for the first entry, 0 for none.
using POSITION = std::size_t;

class StringList {
 public:
  using const_iterator = std::vector<std::string>::const_iterator;

  StringList() = default;
  StringList(const StringList& other) : items_(other.items_) {}
  StringList(StringList&&) noexcept = default;
  StringList& operator=(const StringList& other);
  StringList& operator=(StringList&&) noexcept = default;
  ~StringList();

  int GetCount() const { return static_cast<int>(items_.size()); }
  bool IsEmpty() const { return items_.empty(); }
  void AddTail(const std::string& text);
  void RemoveAll();

  // Position of the first entry, 0 when the list is empty.
  POSITION GetHeadPosition() const { return items_.empty() ? 0 : 1; }
  // Returns the entry at `pos` and moves `pos` to the next entry (0 after the
  // last). A position outside the list gives an empty string and 0.
  const std::string& GetNextName(POSITION& pos) const;
  // Entry `index` (from 0); an empty string outside the list.
  const std::string& GetAt(int index) const;

  // True when an entry equals `text` exactly.
  bool Contains(const std::string& text) const;
  // True when an entry equals `text` ignoring ASCII letter case.
  bool ContainsNoCase(const std::string& text) const;

  const_iterator begin() const { return items_.begin(); }
  const_iterator end() const { return items_.end(); }

  bool operator==(const StringList& other) const { return items_ == other.items_; }

 private:
  // Lists up to this many entries are searched by a scan.
  static constexpr std::size_t kScanLimit = 8;

  struct Sets {
    std::unordered_set<std::string> exact, folded;
    bool haveExact = false, haveFolded = false;
  };
  Sets& TheSets() const;

  std::vector<std::string> items_;
  mutable std::unique_ptr<Sets> sets_;  // only for long lists that were searched
};
