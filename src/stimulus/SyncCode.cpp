#include "stimulus/SyncCode.h"

#include <algorithm>
#include <cmath>

#include "stimulus/SamplePacking.h"

namespace vireon {

SyncCode::SyncCode(int bits, double pulse_level_db, std::int32_t bit_length)
    : amplitude_(static_cast<std::int32_t>(
          std::nearbyint(std::pow(10.0, (pulse_level_db - 40.0) / 20.0) * FullScale(bits)))),
      bit_length_(std::max(bit_length, 1)) {
  chips_.SeedMLS();
  bits_.SeedMLS();
}

int SyncCode::NextChip(int& bit) {
  if (samples_in_bit_ == 0) bit_ = bits_.NextMLSBit();
  samples_in_bit_ = (samples_in_bit_ + 1) % bit_length_;
  bit = bit_;
  return chips_.NextMLSBit();
}

std::int32_t SyncCode::NextPreamble() {
  int bit = 0;
  const int chip = NextChip(bit);
  if (chip != bit) return 0;
  return chip == 1 ? amplitude_ : -amplitude_;
}

std::int32_t SyncCode::NextRunning() {
  int bit = 0;
  return NextChip(bit) == 1 ? amplitude_ / 2 : -(amplitude_ / 2);
}

std::int32_t SyncBitLength(double latency_s) {
  const double samples = std::nearbyint(latency_s * 4.5 * 48000.0);
  auto h = std::max<std::int32_t>(3, static_cast<std::int32_t>(std::floor(samples / 255.0)));
  if (h % 2 == 0) ++h;
  return h;
}

}  // namespace vireon
