#include "testing/prefix_test.h"

#include <sys/stat.h>
#include <time.h>

#include "platform/change_times.h"
#include "testing/wait_until.h"

namespace orvik_testing {

void WaitUntilSettled(const std::string& path) {
  ASSERT_TRUE(WaitUntil([&] {
    struct stat st;
    timespec now;
    if (::stat(path.c_str(), &st) != 0) return false;
    ::clock_gettime(CLOCK_REALTIME, &now);
    return platform::detail::ChangedLongBefore(st, now);
  })) << path << " never settled";
}

}  // namespace orvik_testing
