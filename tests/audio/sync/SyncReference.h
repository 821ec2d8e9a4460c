#pragma once

#include <cstdint>
#include <vector>

namespace vireon {

// The sync register written out from its definition: 8 stages in bits 1..8, output bit 8,
// feedback bits 8 ^ 4 ^ 3 ^ 2 shifted in at bit 1, seeded with 2. One period of ±1 (bit 1 = +1).
inline std::vector<int> ReferenceSyncSequence() {
  std::uint32_t r = 2;
  std::vector<int> sequence;
  for (int n = 0; n < 255; ++n) {
    const auto bit = [&r](int i) { return (r >> i) & 1u; };
    const std::uint32_t out = bit(8);
    r = (r << 1) | ((bit(8) ^ bit(4) ^ bit(3) ^ bit(2)) << 1);
    sequence.push_back(out == 1 ? 1 : -1);
  }
  return sequence;
}

// Preamble sample n of the code (amplitude 2): chip + bit, so ±2 when they agree, else 0.
inline int ReferencePreamble(const std::vector<int>& sequence, std::int64_t n, int h) {
  return sequence[n % 255] + sequence[(n / h) % 255];
}

}  // namespace vireon
