#pragma once

#include <string>

namespace vireon {

// The device choices the hardware configuration keeps (section "Soundcards"), and the inputs'
// designations.
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
  // What each input is used as, an index into the input list; kept in the software file
  // ("Ch1_Input_Select", "Ch2_Input_Select").
  int input1_designation = 2;  // "Mic 1"
  int input2_designation = 0;  // "Probe 1"

  // The record rate and resolution differ from the play ones only where an option allows it.
  bool RecordRateFollowsPlay() const { return !allow_different_rates; }
  bool RecordBitsFollowPlay() const { return !allow_separate_ad && !allow_different_resolution; }
};

}  // namespace vireon
