#pragma once

#include <string>

namespace vireon {

// The device choices the hardware configuration keeps (section "Soundcards").
struct SoundcardSettings {
  std::string play_device_name;             // "PlayDevName"
  std::string record_device_name;           // "RecDevName"
  std::string playback_device_name;         // "DPLayDevName": the time-domain player's device
  bool wave_extensible = false;             // "WAVE_EXT": open devices with the extensible format
  bool allow_separate_ad = false;           // "AllowSepAD": "Allow &Separate A&&D"
  bool allow_different_resolution = false;  // "AllowDiffRes": "Allow Nonequal &Resolution"
  bool allow_different_rates = false;       // "AllowDiffRates": "Allow Nonequal Ra&tes"
  int play_rate = 96000;                    // "PlayRate", Hz
  int record_rate = 96000;                  // "RecRate", Hz
  int play_bits = 16;                       // "PlayResolution"
  int record_bits = 16;                     // "RecResolution"
  bool skip_calibration = false;            // "SkipCalibration"

  // The record rate and resolution differ from the play ones only where an option allows it.
  bool RecordRateFollowsPlay() const { return !allow_different_rates; }
  bool RecordBitsFollowPlay() const { return !allow_separate_ad && !allow_different_resolution; }
};

}  // namespace vireon
