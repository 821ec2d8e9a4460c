#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "audio/settings/RateTable.h"

namespace vireon {

inline constexpr int kFullScaleCode = 8388608;  // the 24-bit scale's full level
inline constexpr int kDeviceCalVersion = 4;     // the version every file is written in
inline constexpr int kVolumeStepCount = 16;
inline constexpr int kFurtherValueCount = 6;
inline constexpr double kDefaultReferenceLevel = 40000.0;

// One volume-control step of the interface calibration guide, kept for it unchanged.
struct VolumeStep {
  double factor = 1.0;
  double second = 0.0;
  bool operator==(const VolumeStep&) const = default;
};

// What calibration found out about one play or record device, kept in its per-device file.
struct TDeviceCal {
  int version = kDeviceCalVersion;
  int mixer_number = -1;  // -1: no mixer belongs to the device
  double scale1 = 1.0;    // calibration scales of channels 1 and 2
  double scale2 = 1.0;
  double stabilizing_ms = 500.0;
  int latency = 100;     // samples
  bool inverts = false;  // play device: the DAC inverts; record device: the ADC inverts
  bool second_polarity = false;
  int bits = 16;                      // highest usable resolution
  int maximum_code = kFullScaleCode;  // output code of the calibrated full level, 24-bit scale
  std::array<bool, kFileRateCount> rate_flags{true, true, true, true, true, true, true, true};
  std::array<bool, kFileRateCount> sync_rate_flags{true, true, true, true, true, true, true, true};
  int further_integer = 0;
  std::array<double, kFurtherValueCount> further_values{};
  double reference_level = kDefaultReferenceLevel;  // one value common to all devices
  double older_reference = 0.0;                     // what files before version 3 hold in its place
  double probe_balance_ratio = 1.0;
  std::array<VolumeStep, kVolumeStepCount> volume_steps{};

  bool operator==(const TDeviceCal&) const = default;
};

// The file's text (version 4, CR LF, an empty mixer section at the end).
std::string DeviceCalText(const TDeviceCal& cal);
// Reads versions 1 to 4, with CR LF or LF; nullopt when the text is not a whole per-device file.
std::optional<TDeviceCal> ParseDeviceCal(std::string_view text);

// A file that does not exist, cannot be read or is malformed reads as nullopt (treated as absent).
std::optional<TDeviceCal> ReadDeviceCalFile(const std::filesystem::path& file);
// Written whole or not at all; throws VireonError when it cannot be written.
void WriteDeviceCalFile(const std::filesystem::path& file, const TDeviceCal& cal);

}  // namespace vireon
