#pragma once

#include <array>
#include <cstdint>

#include "audio/engine/ChannelSkewFile.h"
#include "audio/engine/EngineBlocks.h"
#include "record/DataObj.h"

namespace vireon {

// What one input is used as, for its scale in volts (or pascals) per count.
enum class InputRole { kProbe, kMicrophoneOrLine, kDigital };

// The scale of an uncalibrated input of each role; a calibrated role uses its calibration value.
double UncalibratedScale(InputRole role);

struct ChannelScales {
  double a = 1.5e-06;  // input 1
  double b = 1.5e-06;  // input 2
};

// How a pass is cut from the captures.
struct PassLayout {
  std::int32_t offset = 0;  // the pre-roll skipped at the start of the capture
  std::int32_t length = 0;  // samples of the pass record (zero-padded beyond the capture)
  bool two_channels = false;
  int record_rate = 48000;
  int record_bits = 24;
  ChannelSkew skew;  // a late channel starts one sample later
  // What each input is used as, the columns' InputKind: 0 Mic1, 1 Mic2, 2 Probe1, 3 Probe2.
  std::array<std::uint8_t, 2> input_kinds{0, 0};
};

// Peak, RMS and peak relative to full scale (8388608 counts) of one channel's captured samples.
struct PassChannelLevel {
  double peak = 0.0;
  double rms = 0.0;
  double peak_of_full_scale = 0.0;
};
struct PassLevels {
  std::array<PassChannelLevel, 2> channels;
};

// An input peaking within 1 dB of full scale: its level bar stands above 98 of 100 (two units
// per dB), and the user is told to reduce the input.
bool InputOverloaded(const PassLevels& levels);

// The pass as a sampled time record: column 0 = capture A × scale a, column 1 = capture B ×
// scale b for two channels, from the offset on, `captured` samples at most; in pascals for a
// microphone input, else in volts.
TDataMeas BuildPass(const Captures& captures, std::int32_t captured, const PassLayout& layout,
                    const ChannelScales& scales, PassLevels& levels);

}  // namespace vireon
