#include "audio/sync/SyncSearch.h"

#include <algorithm>

namespace vireon {
namespace {

std::int64_t Modulo(std::int64_t value, std::int64_t modulus) {
  return ((value % modulus) + modulus) % modulus;
}

// How clearly the bins fall into two levels: the mean of those above 0 minus the mean of the
// others. The accumulator whose bins straddle fewer bit edges has the larger contrast.
double Contrast(const std::array<std::int64_t, kSyncSequenceLength>& bins) {
  double high = 0.0, low = 0.0;
  int highs = 0;
  for (const std::int64_t bin : bins) {
    if (bin > 0) {
      high += static_cast<double>(bin);
      ++highs;
    } else {
      low += static_cast<double>(bin);
    }
  }
  const int lows = kSyncSequenceLength - highs;
  return (highs > 0 ? high / highs : 0.0) - (lows > 0 ? low / lows : 0.0);
}

}  // namespace

SyncSearch::SyncSearch(std::int32_t bit_length)
    : bit_length_(std::max(bit_length, 1)),
      period_(std::int64_t{kSyncSequenceLength} * bit_length_) {}

void SyncSearch::Reset() {
  count_ = 0;
  on_bit_.fill(0);
  half_bit_.fill(0);
  raw_.fill(0.0);
}

bool SyncSearch::Add(std::int32_t sample) {
  if (count_ >= period_) return true;
  on_bit_[count_ / bit_length_] += sample;
  // The code repeats every 255·h samples, so the half-bit bins may wrap round the window.
  half_bit_[Modulo(count_ - bit_length_ / 2, period_) / bit_length_] += sample;
  const std::int64_t raw_index = count_ - (period_ - kSyncSequenceLength);
  if (raw_index >= 0) raw_[raw_index] = sample;
  return ++count_ == period_;
}

std::optional<std::int64_t> SyncSearch::Lock(const MlsTables& tables, bool negative) const {
  const bool half = Contrast(half_bit_) > Contrast(on_bit_);
  const Bins& bins = half ? half_bit_ : on_bit_;
  SyncValues values{};
  std::copy(bins.begin(), bins.end(), values.begin());
  const SyncPeak bit =
      FindSyncPeak(CorrelateWithSyncSequence(values, tables), negative, kBitPeakContrast);
  const int chip = ChipDelay(raw_, tables, negative);
  if (!bit.clear || chip < 0) return std::nullopt;
  // The bit phase places the code start within half a bit; the chip phase of the raw samples
  // (taken from index q) fixes it to the sample, modulo 255.
  const std::int64_t coarse = bit.index * std::int64_t{bit_length_} + (half ? bit_length_ / 2 : 0);
  const std::int64_t q = period_ - kSyncSequenceLength;
  std::int64_t fine = Modulo(chip + q - coarse, kSyncSequenceLength);
  if (fine > kSyncSequenceLength / 2) fine -= kSyncSequenceLength;
  return Modulo(coarse + fine, period_);
}

}  // namespace vireon
