// A list of strings that keeps insertion order, walked from the head with a
// position. Copies share their entries until one of them is changed (copy on
// write), so the nodes of one record hold one set of lists however many names
// the record has, and copying a list costs nothing. Duplicate tests stay fast
// on long lists: on a long list the first test of a kind builds a set of the
// strings (exact or case-folded) that the list then keeps up to date; the
// sets belong to the shared entries. The sets are a cache that makes the
// const tests unfit for concurrent use; the catalogue is used by one thread.
#pragma once
#include <atomic>
#include <cstddef>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

namespace catalogue {

// A position in a StringList: 1 for the first entry, 0 for none.
using POSITION = std::size_t;

class StringList {
 public:
  using const_iterator = std::vector<std::string>::const_iterator;

  StringList() = default;
  StringList(const StringList& other) noexcept;
  StringList(StringList&& other) noexcept : rep_(other.rep_) { other.rep_ = nullptr; }
  StringList& operator=(const StringList& other) noexcept;
  StringList& operator=(StringList&& other) noexcept;
  ~StringList();

  int GetCount() const { return rep_ ? static_cast<int>(rep_->items.size()) : 0; }
  bool IsEmpty() const { return GetCount() == 0; }
  void AddTail(const std::string& text);
  void RemoveAll();
  // Removes the last entry, if any.
  void RemoveLast();

  // Position of the first entry, 0 when the list is empty.
  POSITION GetHeadPosition() const { return IsEmpty() ? 0 : 1; }
  // Returns the entry at `pos` and moves `pos` to the next entry (0 after the
  // last). A position outside the list gives an empty string and 0.
  const std::string& GetNextName(POSITION& pos) const;
  // Entry `index` (from 0); an empty string outside the list.
  const std::string& GetAt(int index) const;

  // True when an entry equals `text` exactly.
  bool Contains(const std::string& text) const;
  // True when an entry equals `text` ignoring ASCII letter case.
  bool ContainsNoCase(const std::string& text) const;

  const_iterator begin() const { return Items().begin(); }
  const_iterator end() const { return Items().end(); }

  // Lists that share their entries (copies of one another, neither changed
  // since) have the same storage; an empty list has none (nullptr).
  const void* Storage() const { return rep_; }

  bool operator==(const StringList& other) const { return rep_ == other.rep_ || Items() == other.Items(); }

 private:
  // Lists up to this many entries are searched by a scan.
  static constexpr std::size_t kScanLimit = 8;

  struct Sets {
    std::unordered_set<std::string> exact, folded;
    bool haveExact = false, haveFolded = false;
  };
  struct Rep {
    std::atomic<long> refs{1};
    std::vector<std::string> items;
    std::unique_ptr<Sets> sets;  // only for long lists that were searched
  };

  const std::vector<std::string>& Items() const;
  Sets& TheSets() const;
  // The entries, made this list's own (copied when shared) for a change.
  Rep& Own();
  static void Release(Rep* rep) noexcept;

  Rep* rep_ = nullptr;  // nullptr while the list is empty
};

}  // namespace catalogue
