#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "record/DataObj.h"
#include "stimulus/CfgStim.h"

namespace vireon {

// What the stimulus window computes and shows, free of any widget.

// "MLS Sequence Length": the power of two nearest the entry on a log scale, within the lengths
// whose permutation tables exist.
inline constexpr int kMinMlsLength = 4096;
inline constexpr int kMaxMlsLength = 262144;
int RoundMlsLength(double requested);

// "ChirpStopFreq" reaches at most half the lower of the two sample rates.
double ChirpStopLimit(int play_rate, int record_rate);

// The two lines under "Load Wave File": the file's name, then its format and duration;
// "<valid file not specified>" and "-----------" without a usable file.
struct WavFileLines {
  std::string name;
  std::string format;
};
WavFileLines DescribeWavStimulus(const std::filesystem::path& file);

std::span<const std::string_view> EnvelopeNames();       // "Apply Envelope", by EnvelopeKind
std::span<const std::string_view> WaveletWindowNames();  // the burst windows, by index

// "Save as WAV file": the chirp the settings give for the acquisition, as a one-column time
// record of `length` samples at the play rate, unit amplitude.
TDataMeas ChirpRecord(const ChirpSettings& chirp, int acq_type, int play_rate, int record_rate,
                      std::int32_t length);

}  // namespace vireon
