#pragma once

#include <cstdint>

#include "stimulus/MlsSequence.h"

namespace vireon {

// The synchronous engine's sync code on output 2: a chip sequence of period 255, one chip per
// sample, modulated by a bit sequence of the same register advanced every h samples.
class SyncCode {
 public:
  // Amplitude round(10^((level - 40)/20) × full scale); bit_length is h (odd, at least 3).
  SyncCode(int bits, double pulse_level_db, std::int32_t bit_length);

  // Preamble mode: +A when chip and bit are both 1, -A when both are 0, 0 when they differ.
  std::int32_t NextPreamble();
  // Running mode, once the input has locked: ±A/2 by the chip alone.
  std::int32_t NextRunning();

 private:
  int NextChip(int& bit);

  MlsRegister chips_ = MlsRegister::SyncCode();
  MlsRegister bits_ = MlsRegister::SyncCode();
  std::int32_t amplitude_;
  std::int32_t bit_length_;
  std::int32_t samples_in_bit_ = 0;
  int bit_ = 0;
};

// h from the round-trip latency: max(3, floor(round(latency × 4.5 × 48000) / 255)), made odd.
std::int32_t SyncBitLength(double latency_s);

}  // namespace vireon
