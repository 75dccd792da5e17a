// Waiting on a condition instead of on the clock: tests stay correct on a
// loaded machine and under the sanitizers.
#pragma once
#include <chrono>
#include <functional>
#include <thread>

namespace orvik_testing {

// Polls `condition` until it holds; false only when it still does not hold
// after `cap`, a failsafe far beyond any expected wait.
inline bool WaitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds cap = std::chrono::minutes(2)) {
  auto giveUp = std::chrono::steady_clock::now() + cap;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > giveUp) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

}  // namespace orvik_testing
