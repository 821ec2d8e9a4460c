#pragma once

#include <string>

namespace vireon {

// Texts of the audio interface window's output reference panel and calibration labels.

// Numbers the window shows: four significant digits, locale-independent.
std::string DisplayNumber(double value);

// Peak volts at the outputs for a 0 dB setting: maximum code x scale 1 / full scale, times the
// power amplifier's gain.
double ZeroDbOutputVolts(int maximum_code, double scale1, double power_amp_gain_db);

struct PanelText {
  std::string text;
  bool warning = false;  // shown in red
};

struct ReferencePanelInput {
  int maximum_code;
  double scale1;
  double power_amp_gain_db;
  double power_amp_peak_volts;  // the amplifier's peak voltage capability
  bool digital_output;
  bool play_device_calibrated;
};

// " 0dB out = " + v + "Vpk", " 0dB out -> " + v + "Vpk" in red beyond the amplifier's capability,
// "Digital Out Mode" for digital output; " (non-absolute)" appended for an uncalibrated device.
PanelText ReferencePanelText(const ReferencePanelInput& input);

// "-uncal-" (black) or the calibration value (blue) of one input or output.
struct CalibrationLabel {
  std::string text;
  bool calibrated = false;
};
CalibrationLabel InputCalibrationLabel(bool calibrated, double value);
// A calibrated output also shows the peak volts its level gives: 10^(dB/20) x rms x sqrt 2.
CalibrationLabel OutputCalibrationLabel(bool calibrated, double rms_volts_at_0db, double level_db);

// The unit of the output readouts: "FS.pk" for digital output, else "V.pk" or "U.pk".
std::string OutputUnitLabel(bool digital_output, bool calibrated);

}  // namespace vireon
