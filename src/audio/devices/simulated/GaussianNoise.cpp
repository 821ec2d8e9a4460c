#include "audio/devices/simulated/GaussianNoise.h"

#include <bit>
#include <cmath>
#include <numbers>

namespace vireon {
namespace {

std::uint64_t SplitMix64(std::uint64_t& x) {
  x += 0x9E3779B97F4A7C15ull;
  std::uint64_t z = x;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

}  // namespace

GaussianNoise::GaussianNoise(std::uint64_t seed, int input) {
  // Each input gets its own stream of the one seed: the input number picks the splitmix start.
  std::uint64_t x = seed ^ (static_cast<std::uint64_t>(input) * 0xD1B54A32D192ED03ull);
  for (auto& word : state_) word = SplitMix64(x);
}

std::uint64_t GaussianNoise::NextBits() {
  const std::uint64_t result = std::rotl(state_[1] * 5, 7) * 9;
  const std::uint64_t t = state_[1] << 17;
  state_[2] ^= state_[0];
  state_[3] ^= state_[1];
  state_[1] ^= state_[2];
  state_[0] ^= state_[3];
  state_[2] ^= t;
  state_[3] = std::rotl(state_[3], 45);
  return result;
}

double GaussianNoise::NextUniform() {
  // 53 random bits, shifted by one step so that 0 never reaches the logarithm.
  return static_cast<double>((NextBits() >> 11) + 1) * 0x1.0p-53;
}

double GaussianNoise::Next() {
  if (has_spare_) {
    has_spare_ = false;
    return spare_;
  }
  const double radius = std::sqrt(-2.0 * std::log(NextUniform()));
  const double angle = 2.0 * std::numbers::pi * NextUniform();
  spare_ = radius * std::sin(angle);
  has_spare_ = true;
  return radius * std::cos(angle);
}

}  // namespace vireon
