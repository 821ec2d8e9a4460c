#include "audio/sync/SyncCorrelation.h"

#include <cmath>

#include "stimulus/MlsRecovery.h"

namespace vireon {

SyncValues CorrelateWithSyncSequence(std::span<const double, kSyncSequenceLength> values,
                                     const MlsTables& tables) {
  std::array<double, kSyncSequenceLength + 1> work{};
  for (int k = 0; k < kSyncSequenceLength; ++k) work[tables.input_permutation[k]] = values[k];
  FastHadamardTransform(work);
  SyncValues correlation{};
  for (int k = 0; k < kSyncSequenceLength; ++k) {
    correlation[k] = work[tables.output_permutation[k]];
  }
  return correlation;
}

SyncPeak FindSyncPeak(const SyncValues& correlation, bool negative, double min_contrast) {
  const double sign = negative ? -1.0 : 1.0;
  const auto stronger = [&](int a, int b) { return sign * correlation[a] > sign * correlation[b]; };
  int best = 0;
  for (int k = 1; k < kSyncSequenceLength; ++k) {
    if (stronger(k, best)) best = k;
  }
  int second = best == 0 ? 1 : 0;
  for (int k = 0; k < kSyncSequenceLength; ++k) {
    if (k != best && stronger(k, second)) second = k;
  }
  const int after = (best + 1) % kSyncSequenceLength;
  const int before = (best + kSyncSequenceLength - 1) % kSyncSequenceLength;
  SyncPeak peak{best, false};
  // A bit straddling two accumulator bins splits its peak over two neighbours.
  if ((second == after || second == before) && correlation[second] / correlation[best] > 0.6) {
    peak.index = std::max(best, second);
  }
  double sum = 0.0;
  for (int k = 0; k < kSyncSequenceLength; ++k) {
    if (k != best && k != after && k != before) sum += correlation[k] * correlation[k];
  }
  const double rms = std::sqrt(sum / (kSyncSequenceLength - 3));
  const double height = sign * correlation[best];
  peak.clear = height > 0.0 && height >= min_contrast * rms;
  return peak;
}

int ChipDelay(std::span<const double, kSyncSequenceLength> samples, const MlsTables& tables,
              bool negative) {
  const SyncPeak peak =
      FindSyncPeak(CorrelateWithSyncSequence(samples, tables), negative, kChipPeakContrast);
  return peak.clear ? peak.index : -1;
}

}  // namespace vireon
