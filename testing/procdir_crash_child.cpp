// Test helper: an installer that dies in the middle of an index operation.
//   procdir_crash_child <index> <n> add|replace|free <old names> <new names>
// (names joined by commas) opens the index for writing and runs the
// operation. Just before its n-th write it reports "write <n>" and waits to
// be killed (at the end of its input it ends at once, writing nothing more).
// Ends with 0 when the operation ran to its end before an n-th write, 2 when
// the index could not be opened.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "installer/procdir/procdir_open.h"
#include "platform/fault_injector.h"
#include "testing/fake_instance.h"
#include "testing/procdir_operation.h"

int main(int argc, char** argv) {
  procdir_test::Operation operation;
  if (argc != 6 || !procdir_test::OperationFromWord(argv[3], &operation)) {
    std::fprintf(stderr, "usage: procdir_crash_child <index> <n> add|replace|free <old names> <new names>\n");
    return 2;
  }
  orvik_testing::OpenMessages();  // numbered messages from the built ovtext.mdb
  const int killedAt = std::atoi(argv[2]);
  int call = 0;
  platform::FaultInjector faults;
  faults.FilterWrites([&](platform::HFILE, platform::UINT count) {
    if (++call == killedAt) {
      std::printf("write %d\n", call);
      std::fflush(stdout);
      while (std::getchar() != EOF) {
      }
      std::_Exit(9);
    }
    return count;
  });
  platform::HFILE file = procdir::ProcDirOpen(argv[1], "w");
  if (file == -1) return 2;
  procdir_test::RunOperation(operation, procdir_test::SplitNames(argv[4]), procdir_test::SplitNames(argv[5]), file);
  return 0;
}
