#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "audio/sync/SyncCorrelation.h"
#include "stimulus/MlsTables.h"

namespace vireon {

// Finds the phase of the returned sync code in one code period (255 bits of h samples): input 2
// summed into two 255-bin accumulators, the second half a bit later, for the bit phase; the last
// 255 raw samples for the chip phase.
class SyncSearch {
 public:
  explicit SyncSearch(std::int32_t bit_length);

  void Reset();
  std::int64_t Length() const { return period_; }  // 255·h samples
  // Adds the next input 2 sample; true once the whole code period is in.
  bool Add(std::int32_t sample);
  // The sample index, counted from the first added sample and taken modulo 255·h, at which the
  // code's bit sequence begins; nullopt unless both the bit and the chip phase stand out clearly.
  std::optional<std::int64_t> Lock(const MlsTables& tables, bool negative) const;

 private:
  using Bins = std::array<std::int64_t, kSyncSequenceLength>;

  std::int32_t bit_length_;
  std::int64_t period_;
  std::int64_t count_ = 0;
  Bins on_bit_{};    // bins from sample 0
  Bins half_bit_{};  // bins from sample floor(h/2), the first wrapping round
  SyncValues raw_{};
};

}  // namespace vireon
