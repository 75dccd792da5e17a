// The memory a load of a 1 MiB list file of an awkward shape takes at its
// peak, counted by this binary's own operator new, with the trace and the
// dump written as in the installer.
#include <atomic>
#include <cstdlib>
#include <new>

#include "testing/catalogue_test.h"
#include "testing/host_platform.h"

namespace {

std::atomic<std::size_t> g_live{0};
std::atomic<std::size_t> g_peak{0};

void* Take(std::size_t size) {
  void* p = std::malloc(size ? size : 1);
  if (p == nullptr) throw std::bad_alloc();
  const std::size_t taken = orvik_testing::HeapBlockSize(p);
  const std::size_t live = g_live.fetch_add(taken) + taken;
  std::size_t peak = g_peak.load();
  while (live > peak && !g_peak.compare_exchange_weak(peak, live)) {
  }
  return p;
}

void Give(void* p) noexcept {
  if (p == nullptr) return;
  g_live.fetch_sub(orvik_testing::HeapBlockSize(p));
  std::free(p);
}

}  // namespace

void* operator new(std::size_t size) { return Take(size); }
void* operator new[](std::size_t size) { return Take(size); }
void operator delete(void* p) noexcept { Give(p); }
void operator delete[](void* p) noexcept { Give(p); }
void operator delete(void* p, std::size_t) noexcept { Give(p); }
void operator delete[](void* p, std::size_t) noexcept { Give(p); }

namespace {

using namespace catalogue_testing;

constexpr std::size_t kFileSize = 1 << 20;
constexpr std::size_t kPeakLimit = 64u << 20;

// Repeats `line(i)` after `head` until the text reaches 1 MiB.
template <typename Line>
std::string Fill(std::string head, Line line) {
  for (int i = 0; head.size() < kFileSize; ++i) head += line(i);
  return head;
}

class LoadMemory : public CatalogueTest {
 protected:
  // Loads `text` with the trace on; the count of nodes. Checks the peak of
  // memory taken during the load and the size of the dump.
  int LoadWithin(const std::string& text) {
    const std::string path = WriteC("kelmar.lst", text);
    catalogue::OpenCatalogueTrace();
    int nodes = 0;
    const std::size_t before = g_live.load();
    g_peak.store(before);
    {
      catalogue::ProceduresList list;
      EXPECT_EQ(list.TextInput(path.c_str()), 1);
      for (const catalogue::ProcNode* node = list.pHead; node != nullptr; node = node->pNext) ++nodes;
    }
    EXPECT_LT(g_peak.load() - before, kPeakLimit);
    catalogue::CloseCatalogueTrace();
    EXPECT_LT(ReadC("listread.txt").size(), 16u << 20);
    return nodes;
  }
};

const std::string kHead = "instrument==========\n";
const std::string kTail = "procfile\nP.PRO\nend\n";

TEST_F(LoadMemory, OneRecordOfVeryManyNames) {
  // The densest distinct names: three characters each.
  const std::string distinct = Fill(kHead, [](int i) {
    return std::string{char('!' + i % 90), char('!' + i / 90 % 90), char('!' + i / 8100 % 90), '\n'};
  });
  EXPECT_EQ(LoadWithin(distinct + kTail), int((distinct.size() - kHead.size()) / 4));
  // A repeated name: its first six lines are kept as written, the rest are one.
  EXPECT_EQ(LoadWithin(Fill(kHead, [](int) { return std::string("a\n"); }) + kTail), 6);
  EXPECT_EQ(LoadWithin(Fill(kHead, [](int) { return std::string("\n"); }) + kTail), 6);
}

TEST_F(LoadMemory, VeryManyTinyRecords) {
  // Each name smaller than the last, so that every record goes in front.
  const std::string text = Fill("", [](int i) { return kHead + std::to_string(9999999 - i) + "\n" + kTail; });
  EXPECT_GT(LoadWithin(text), 20000);
}

TEST_F(LoadMemory, ListsOfEmptyEntries) {
  EXPECT_EQ(LoadWithin(Fill(kHead + "A\nB\nC\nD\nE\nF\nprocfile\nP.PRO\nfiles\n", [](int) { return std::string("\n"); }) +
                       "datafiles\ncalibrator\nR\nend\n"),
            6);
}

}  // namespace
