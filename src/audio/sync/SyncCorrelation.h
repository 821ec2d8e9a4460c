#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "stimulus/MlsTables.h"

namespace vireon {

// Length of the sync code's chip and bit sequences (an 8-stage register).
inline constexpr int kSyncSequenceLength = 255;
using SyncValues = std::array<double, kSyncSequenceLength>;

// How far a correlation peak must stand above the RMS of the other values (the peak and its
// neighbours left out). The bit correlation decides whether the code is there at all: Gaussian
// noise alone reaches 8 with a probability of about 3e-13, while a clean return stands 28 (h = 3)
// to over 100 (h >= 43) times above its sidelobes. The chip correlation then only places the code
// to the sample; in the preamble the bit modulation alone keeps it below about 14 (below 6 behind
// a steep low-pass), hence the lower bar.
inline constexpr double kBitPeakContrast = 8.0;
inline constexpr double kChipPeakContrast = 4.0;

// The circular correlation of 255 values with the sync sequence as ±1 (bit 1 = +1), by the fast
// Hadamard transform: values equal to the sequence delayed by d give -255 at index d and +1
// elsewhere. `tables` are those of the sync-code register (order 8).
SyncValues CorrelateWithSyncSequence(std::span<const double, kSyncSequenceLength> values,
                                     const MlsTables& tables);

struct SyncPeak {
  int index = 0;
  bool clear = false;  // stands `min_contrast` times above the other values
};

// The extreme value: the most negative one when the return is not inverted (`negative`), the most
// positive one otherwise. When the runner-up is a neighbour within 0.6 of it, the larger index.
SyncPeak FindSyncPeak(const SyncValues& correlation, bool negative, double min_contrast);

// The delay of the chip sequence in 255 raw samples; -1 without a clear chip peak.
int ChipDelay(std::span<const double, kSyncSequenceLength> samples, const MlsTables& tables,
              bool negative);

}  // namespace vireon
