// Ordered insertion: examples, the linked-node box, and a differential test
// against a plain walk of the list as the ordering rule states it.
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "testing/catalogue_test.h"

namespace {

using catalogue_testing::CatalogueTest;
using catalogue_testing::NodeNames;
using V = std::vector<std::string>;

class AddABC : public CatalogueTest {};

// A node with a given own name and record first name.
catalogue::ProcNode* MakeNode(const std::string& name, const std::string& firstName) {
  auto* node = new catalogue::ProcNode(name);
  node->siblings.AddTail(firstName);
  if (name != firstName) node->siblings.AddTail(name);
  return node;
}

// Inserts a record's first name, then its aliases, as reading a file does.
void AddRecord(catalogue::ProceduresList& list, const V& names) {
  auto* first = new catalogue::ProcNode(names[0]);
  for (const std::string& name : names) first->siblings.AddTail(name);
  list.AddABC(first);
  for (std::size_t i = 1; i < names.size(); ++i) list.AddABC(new catalogue::ProcNode(*first, names[i]));
}

TEST_F(AddABC, FirstNodeBecomesTheHead) {
  catalogue::ProceduresList list;
  list.AddABC(MakeNode("K", "K"));
  EXPECT_EQ(NodeNames(list), (V{"K"}));
}

TEST_F(AddABC, RecordsInAscendingOrderOfTheirFirstNames) {
  catalogue::ProceduresList list;
  AddRecord(list, {"M", "Z"});
  AddRecord(list, {"N"});
  EXPECT_EQ(NodeNames(list), (V{"M", "Z", "N"}));
}

TEST_F(AddABC, AliasSmallerThanTheHeadGoesToTheFront) {
  catalogue::ProceduresList list;
  AddRecord(list, {"M", "A"});
  AddRecord(list, {"B"});
  EXPECT_EQ(NodeNames(list), (V{"A", "B", "M"}));
}

TEST_F(AddABC, EqualKeysKeepTheirOrderOfInsertion) {
  catalogue::ProceduresList list;
  AddRecord(list, {"D", "D2"});
  AddRecord(list, {"D", "D1"});
  AddRecord(list, {"C"});
  EXPECT_EQ(NodeNames(list), (V{"C", "D", "D2", "D", "D1"}));
}

TEST_F(AddABC, ComparesBytesAsUnsignedWithCase) {
  catalogue::ProceduresList list;
  AddRecord(list, {"b"});
  AddRecord(list, {"\xE9t\xE9"});
  AddRecord(list, {"B"});
  AddRecord(list, {"a"});
  EXPECT_EQ(NodeNames(list), (V{"B", "a", "b", "\xE9t\xE9"}));
}

// Step 4 compares the head's own name; the walk compares record keys.
TEST_F(AddABC, HeadTestUsesNamesAndWalkUsesKeys) {
  catalogue::ProceduresList list;
  list.AddABC(MakeNode("A", "Z"));  // head A with key Z
  list.AddABC(MakeNode("B", "B"));  // not before A; walk from A stops at once
  list.AddABC(MakeNode("C", "C"));  // walk: B's key B is not above C
  EXPECT_EQ(NodeNames(list), (V{"A", "B", "C"}));
  list.AddABC(MakeNode("0", "Y"));  // smaller than the head's name
  list.AddABC(MakeNode("Q", "Q"));  // walk from 0: A's key Z is above Q
  EXPECT_EQ(NodeNames(list), (V{"0", "Q", "A", "B", "C"}));
}

TEST_F(AddABC, NodeWithALinkIsReportedAndLinkedAnew) {
  catalogue::ProceduresList list;
  AddRecord(list, {"A"});
  AddRecord(list, {"C"});
  catalogue::ProcNode stray("stray");
  catalogue::ProcNode* node = MakeNode("B", "B");
  node->pNext = &stray;
  list.AddABC(node);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, "FATAL Error 1005: NewNode pNext not NULL");
  EXPECT_EQ(Boxes()[0].caption, "Procedure Install - ProceduresList::AddABC()");
  EXPECT_EQ(Boxes()[0].style, 0x30u);
  EXPECT_EQ(NodeNames(list), (V{"A", "B", "C"}));
}

TEST_F(AddABC, NodeAlreadyInTheListIsNotLinkedTwice) {
  catalogue::ProceduresList list;
  AddRecord(list, {"A"});
  AddRecord(list, {"B"});
  AddRecord(list, {"C"});
  list.AddABC(list.pHead->pNext);  // B again: would tie the list into a loop
  list.AddABC(list.pHead->pNext->pNext);  // the tail C, whose link is empty
  EXPECT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(NodeNames(list), (V{"A", "B", "C"}));
  list.AddABC(nullptr);
  EXPECT_EQ(NodeNames(list), (V{"A", "B", "C"}));
}

TEST_F(AddABC, TracesEveryInsertion) {
  catalogue::OpenCatalogueTrace();
  catalogue::ProceduresList list;
  AddRecord(list, {"A", "B"});
  catalogue::CloseCatalogueTrace();
  EXPECT_EQ(ReadC("listrdbg.txt"), "Q AddABC\nQ Constructor2\nQ AddABC\n");
}

// --- Differential test ----------------------------------------------------

// The ordering rule as stated, walked literally on a plain list, comparing
// with strcmp (bytes as unsigned characters).
class LiteralCatalogue {
 public:
  void Add(const std::string& name, const std::string& key, int id) {
    nodes_.push_back(std::make_unique<Node>(Node{name, key, id, nullptr}));
    Node* node = nodes_.back().get();
    if (head_ == nullptr) {
      head_ = node;
    } else if (std::strcmp(head_->name.c_str(), node->name.c_str()) > 0) {
      node->next = head_;
      head_ = node;
    } else {
      Node* walk = head_;
      while (walk->next != nullptr && std::strcmp(walk->next->key.c_str(), node->key.c_str()) <= 0) {
        walk = walk->next;
      }
      node->next = walk->next;
      walk->next = node;
    }
  }
  std::vector<int> Order() const {
    std::vector<int> ids;
    for (const Node* node = head_; node != nullptr; node = node->next) ids.push_back(node->id);
    return ids;
  }

 private:
  struct Node {
    std::string name, key;
    int id;
    Node* next;
  };
  std::vector<std::unique_ptr<Node>> nodes_;
  Node* head_ = nullptr;
};

std::string RandomName(std::mt19937& rng) {
  static const char kLetters[] = {'A', 'B', 'C', 'a', 'b', '0', '\xC0'};
  std::uniform_int_distribution<int> length(1, 3), letter(0, sizeof kLetters - 1);
  std::string name;
  for (int i = length(rng); i > 0; --i) name += kLetters[letter(rng)];
  return name;
}

std::vector<int> RealOrder(const catalogue::ProceduresList& list, const std::unordered_map<const catalogue::ProcNode*, int>& ids) {
  std::vector<int> order;
  for (const catalogue::ProcNode* node = list.pHead; node != nullptr; node = node->pNext) {
    order.push_back(ids.at(node));
    if (order.size() > ids.size()) break;  // a loop
  }
  return order;
}

// Records as a file gives them: a first name followed by its aliases, which
// are often smaller than the head.
TEST_F(AddABC, MatchesTheLiteralWalkOnRandomCatalogues) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 3000; ++round) {
    catalogue::ProceduresList list;
    LiteralCatalogue literal;
    std::unordered_map<const catalogue::ProcNode*, int> ids;
    int next = 0;
    const int records = std::uniform_int_distribution<int>(1, 30)(rng);
    for (int r = 0; r < records; ++r) {
      V names;
      for (int n = std::uniform_int_distribution<int>(1, 4)(rng); n > 0; --n) names.push_back(RandomName(rng));
      auto* first = new catalogue::ProcNode(names[0]);
      for (const std::string& name : names) first->siblings.AddTail(name);
      ids[first] = next;
      literal.Add(names[0], names[0], next++);
      list.AddABC(first);
      for (std::size_t i = 1; i < names.size(); ++i) {
        auto* alias = new catalogue::ProcNode(*first, names[i]);
        ids[alias] = next;
        literal.Add(names[i], names[0], next++);
        list.AddABC(alias);
      }
    }
    ASSERT_EQ(RealOrder(list, ids), literal.Order()) << "round " << round;
  }
}

// Any mix of names and keys, in any order, with long runs of front
// insertions that break the order of the keys behind the head.
TEST_F(AddABC, MatchesTheLiteralWalkForAnyNamesAndKeys) {
  std::mt19937 rng(7);
  for (int round = 0; round < 3000; ++round) {
    catalogue::ProceduresList list;
    LiteralCatalogue literal;
    std::unordered_map<const catalogue::ProcNode*, int> ids;
    const int nodes = std::uniform_int_distribution<int>(1, 60)(rng);
    for (int id = 0; id < nodes; ++id) {
      const std::string key = RandomName(rng);
      const std::string name = (rng() % 2 == 0) ? key : RandomName(rng);
      catalogue::ProcNode* node = MakeNode(name, key);
      ids[node] = id;
      literal.Add(name, key, id);
      list.AddABC(node);
    }
    ASSERT_EQ(RealOrder(list, ids), literal.Order()) << "round " << round;
  }
}

}  // namespace
