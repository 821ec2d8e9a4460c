#pragma once

#include <array>
#include <cstdint>

namespace vireon {

// White Gaussian noise of unit variance from our own generator (xoshiro256** seeded through
// splitmix64, Box-Muller), so a bench gives the same noise on every build and machine.
class GaussianNoise {
 public:
  GaussianNoise(std::uint64_t seed, int input);
  double Next();

 private:
  std::uint64_t NextBits();
  double NextUniform();  // in (0, 1]

  std::array<std::uint64_t, 4> state_{};
  double spare_ = 0.0;
  bool has_spare_ = false;
};

}  // namespace vireon
