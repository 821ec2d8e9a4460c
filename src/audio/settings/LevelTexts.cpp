#include "audio/settings/LevelTexts.h"

#include <cmath>

#include "audio/settings/TDeviceCal.h"
#include "files/TextNumbers.h"

namespace vireon {

std::string DisplayNumber(double value) {
  return std::isfinite(value) ? FormatGeneral(value, 4) : "0";
}

double ZeroDbOutputVolts(int maximum_code, double scale1, double power_amp_gain_db) {
  return maximum_code * scale1 / kFullScaleCode * std::pow(10.0, power_amp_gain_db / 20.0);
}

PanelText ReferencePanelText(const ReferencePanelInput& input) {
  PanelText panel;
  if (input.digital_output) {
    panel.text = "Digital Out Mode";
  } else {
    const double volts =
        ZeroDbOutputVolts(input.maximum_code, input.scale1, input.power_amp_gain_db);
    panel.warning = volts > input.power_amp_peak_volts;
    panel.text = (panel.warning ? " 0dB out -> " : " 0dB out = ") + DisplayNumber(volts) + "Vpk";
  }
  if (!input.play_device_calibrated) panel.text += " (non-absolute)";
  return panel;
}

CalibrationLabel InputCalibrationLabel(bool calibrated, double value) {
  if (!calibrated) return {"-uncal-", false};
  return {DisplayNumber(value), true};
}

CalibrationLabel OutputCalibrationLabel(bool calibrated, double rms_volts_at_0db, double level_db) {
  if (!calibrated) return {"-uncal-", false};
  const double peak = std::pow(10.0, level_db / 20.0) * rms_volts_at_0db * 1.4142135624;
  return {DisplayNumber(peak) + "Vpk max", true};
}

std::string OutputUnitLabel(bool digital_output, bool calibrated) {
  if (digital_output) return "FS.pk";
  return calibrated ? "V.pk" : "U.pk";
}

}  // namespace vireon
