// The memory registers a calibration procedure hands to datenum.
#pragma once
#include <array>
#include <string>

namespace datenum {

// Numbered registers M[1] ... M[255]; the exchange file carries the first 20.
constexpr int kMCount = 255;
constexpr int kMExchanged = 20;

struct Registers {
  double MEM = 0;
  double MEM1 = 0;
  std::string MEM2;
  // M[0] holds register M[1], M[19] register M[20].
  std::array<double, kMCount> M{};
};

}  // namespace datenum
