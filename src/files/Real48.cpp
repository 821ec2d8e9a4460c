#include "files/Real48.h"

#include <cmath>

namespace vireon {

double DecodeReal48(const std::array<std::uint8_t, 6>& bytes) {
  if (bytes[0] == 0) return 0.0;
  std::uint64_t fraction = bytes[5] & 0x7Fu;
  for (int i = 4; i >= 1; --i) fraction = (fraction << 8) | bytes[static_cast<std::size_t>(i)];
  const double magnitude =
      std::ldexp(1.0 + std::ldexp(static_cast<double>(fraction), -39), int{bytes[0]} - 129);
  return (bytes[5] & 0x80u) != 0 ? -magnitude : magnitude;
}

}  // namespace vireon
