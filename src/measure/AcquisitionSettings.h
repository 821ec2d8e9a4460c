#pragma once

#include <array>
#include <cstdint>

#include "record/FftWindows.h"

namespace vireon {

// The acquisition settings of the acquisition configuration window, as plain values.

enum class AutoStopMode { kOff = 0, kAvgs = 1, kTimer = 2 };

inline constexpr std::int32_t kMinFftSize = 256;
inline constexpr std::int32_t kMaxFftSize = 33554432;
inline constexpr int kMinAvgTarget = 1;
inline constexpr int kMaxAvgTarget = 1000000;

struct AcquisitionSettings {
  std::int32_t fft_size = 4096;  // `FftSize`: a power of two, 256 .. 33554432
  std::int32_t acq_size = 4596;  // `AcqSize`: the capture length, 256 .. 33554432
  bool find_edges_each = false;  // "Find Window Edges" "with each Acquisition"
  int rta_resolution = 6;        // bands of 1/N octave, 1 .. 48
  double propagation_time_s = 0.0025;
  std::uint8_t window = kBlackmanHarris4Window;  // window code (list entry and "half")
  bool normalize = false;                        // "Normalize ch1/ch2"
  // "Acq Ch1/Ch2: Hide tones from" "stim Ch1/Ch2": [acquisition channel][output].
  std::array<std::array<bool, 2>, 2> hide_tones{};
  int hide_bandwidth_bins = 5;  // 1 .. 100
  bool max_hold = false;
  bool min_hold = false;
  bool use_ideal_norm = true;  // "Use Ideal Cal Reference"
  double reference_resistor = 10.0;
  int avg_type = 1;    // `AvgType`: 0 "Log", 1 "Mag", 2 "Rms", 3 "Coh", 4 "Decay"
  int avg_target = 1;  // `AvgTarget`: 1 .. 1000000 (for "Decay" the decay time)
  bool avg_on = true;  // "Average/Decay ON"
  AutoStopMode auto_stop = AutoStopMode::kOff;
  double auto_stop_seconds = 1.0;  // 0.0001 .. 1000000
};

// The largest power of two not above the request, within 256 .. 33554432.
std::int32_t LimitFftSize(std::int64_t requested);
std::int32_t LimitAcqSize(std::int64_t requested);
int LimitAvgTarget(std::int64_t requested);
int LimitRtaResolution(int requested);
double LimitAutoStopSeconds(double requested);

}  // namespace vireon
