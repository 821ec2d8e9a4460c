#pragma once

#include <cstdint>

namespace vireon {

// What the measurement controller decides at start and the generators read.
struct StimulusSelection {
  int stim_code = 0;  // `StimCode`
  int acq_type = 0;   // `AcqType`
  int play_rate = 48000;
  int record_rate = 48000;
  int play_bits = 24;
  double gain1 = 0.999;  // linear output gains, from OutputGain
  double gain2 = 0.999;
  bool polarity_inverted = false;        // the play device inverts
  std::int32_t period_length = 0;        // record length of the acquisition, samples; 0 = unbounded
  std::int32_t async_chirp_delay = 0;    // DAC latency + ADC latency + half a play block, samples
  double imd_frequency_ratio = 0.925;    // ratio of the two swept tones of "Freq.Resp and IMD"
  double wavelet_frequency_hz = 1000.0;  // set by the wavelet acquisitions
};

// Acquisition types the stimuli depend on.
inline constexpr int kAcqImpulseViaChirp = 3;
inline constexpr int kAcqFreqRespMagPhase = 8;
inline constexpr int kAcqImpedance = 13;
inline constexpr int kAcqHarmonicDistortion = 16;
inline constexpr int kAcqIntermodulation = 17;
inline constexpr int kAcqImpulseAsynch1ch = 25;
inline constexpr int kAcqImpulseAsynch2ch = 26;

}  // namespace vireon
