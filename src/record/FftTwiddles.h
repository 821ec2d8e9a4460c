#pragma once

#include <cstddef>
#include <vector>

namespace vireon {

// Twiddle factors of one radix-4 decimation-in-frequency stage of span L: for j < L/4 the
// factors w^j, w^2j, w^3j with w = e^(-i2π/L). They are packed in groups of four j: the real
// parts of w^j, then the imaginary parts, then those of w^2j and w^3j (24 values a group), so
// a stage reads one stream instead of six and each group fills whole vector registers.
inline constexpr std::size_t kTwiddleGroup = 4;
inline constexpr std::size_t kTwiddleGroupSize = 6 * kTwiddleGroup;

struct Radix4Twiddles {
  std::vector<double> Packed;
};

// The shared, immutable table of the stage of span 2^log2_span (2 ≤ log2_span ≤ 30). Built on
// first use, safely when threads ask at once, and kept for the life of the program.
const Radix4Twiddles& StageTwiddles(int log2_span);

}  // namespace vireon
