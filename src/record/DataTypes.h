#pragma once

#include <cstdint>
#include <string_view>

namespace vireon {

// Data type codes of a record (`FDataType`): they say how its columns are read.
enum DataTypeCode : std::uint8_t {
  kTimeDomain = 0,
  kFrequencyResponse = 1,
  kSpectrum = 2,
  kImpedance = 3,
  kRtaBands = 4,
  kGroupDelay = 5,
  kStepResponse = 6,
  kEnergyTimeCurve = 7,
  kComponentTrack = 12,
  kResponseAndImpedance = 13,
  kPowerCepstrum = 14,
  kComplexSpectrum = 15,
  kMaximumLevelCapability = 16,
  kDistortionVsLevel = 17,
  kDistortionVsFrequency = 18,
  kDistortionVsLevelVsFrequency = 19,
};

// Computed frequency axes end at this fraction of the sample rate.
inline constexpr double kNyquistFactor = 0.499;

// Sampled types hold no x column: point i lies at FStartTime + i / FSampleRate.
constexpr bool IsSampledType(std::uint8_t code) {
  return code == kTimeDomain || code == kStepResponse;
}

// Types whose x axis is time (seconds); all others have a frequency-like x.
constexpr bool IsTimeAxisType(std::uint8_t code) {
  return IsSampledType(code) || code == kEnergyTimeCurve || code == kPowerCepstrum;
}

// The name the plot's information readout shows; empty for codes that are not produced.
std::string_view DataTypeName(std::uint8_t code);

}  // namespace vireon
