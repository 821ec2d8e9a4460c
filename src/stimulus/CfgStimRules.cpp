#include "stimulus/CfgStimRules.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "common/NumberText.h"
#include "files/WavFile.h"
#include "record/DataTypes.h"
#include "stimulus/ChirpGenerator.h"

namespace vireon {

namespace {

constexpr int kMinMlsOrder = 12;
constexpr int kMaxMlsOrder = 18;
constexpr double kMaxChirpFrequency = 384000.0;

constexpr std::array<std::string_view, 4> kEnvelopeNames = {"None", "Raised Cosine",
                                                            "Cosine Squared", "Custom"};
constexpr std::array<std::string_view, 9> kWaveletWindowNames = {
    "none (CW)", "raised cosine", "cos squared", "Blackman-Harris", "Hodie5",
    "Hodie7",    "FlatTop",       "Blackman",    "Hamming"};

// Durations are shown to the millisecond.
std::string DurationText(double seconds) {
  return FormatDouble(std::nearbyint(seconds * 1000.0) / 1000.0);
}

}  // namespace

int RoundMlsLength(double requested) {
  if (!(requested > kMinMlsLength)) return kMinMlsLength;  // also for an entry that is not a number
  const double order = std::nearbyint(std::log2(requested));
  return 1 << static_cast<int>(std::clamp<double>(order, kMinMlsOrder, kMaxMlsOrder));
}

double ChirpStopLimit(int play_rate, int record_rate) {
  return std::min(kMaxChirpFrequency, std::min(play_rate, record_rate) / 2.0);
}

WavFileLines DescribeWavStimulus(const std::filesystem::path& file) {
  const WavInfo info = file.empty() ? WavInfo{} : WavFileInfo(file);
  if (info.Channels < 1) return {"<valid file not specified>", "-----------"};
  const std::string channels = FormatInt(info.Channels);
  return {file.filename().string(), FormatInt(info.BitsPerSample) + " bits " +
                                        (info.Channels == 2 ? "stereo" : "mono") + " at " +
                                        FormatInt(info.SampleRate) + "Hz " + channels + "ch (" +
                                        DurationText(info.Duration) + " sec)"};
}

std::span<const std::string_view> EnvelopeNames() { return kEnvelopeNames; }

std::span<const std::string_view> WaveletWindowNames() { return kWaveletWindowNames; }

TDataMeas ChirpRecord(const ChirpSettings& chirp, int acq_type, int play_rate, int record_rate,
                      std::int32_t length) {
  TDataMeas record;
  record.FDataType = kTimeDomain;
  record.FSampleRate = play_rate;
  record.FNumFields = 1;
  record.FNumPoints = std::max(length, 0);
  record.FFields[0].Values =
      BuildChirpArray(ChirpSweepFor(chirp, acq_type, play_rate, record_rate), record.FNumPoints);
  return record;
}

}  // namespace vireon
