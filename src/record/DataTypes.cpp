#include "record/DataTypes.h"

namespace vireon {

std::string_view DataTypeName(std::uint8_t code) {
  switch (code) {
    case kTimeDomain:
      return "TimeDomain";
    case kFrequencyResponse:
      return "FrequencyResponse";
    case kSpectrum:
      return "Spectrum";
    case kImpedance:
      return "Impedance";
    case kRtaBands:
      return "RTA band data";
    case kGroupDelay:
      return "Group Delay";
    case kStepResponse:
      return "Step Response";
    case kEnergyTimeCurve:
      return "Energy Time Curve";
    case kComponentTrack:
      return "Component Track";
    case kResponseAndImpedance:
      return "Frequency Response and Impedance";
    case kPowerCepstrum:
      return "Power Cepstrum";
    case kComplexSpectrum:
      return "Complex Spectrum";
    case kMaximumLevelCapability:
      return "Maximum Level Capability";
    case kDistortionVsLevel:
      return "Distortion vs. Level";
    case kDistortionVsFrequency:
      return "Distortion vs. Frequency";
    case kDistortionVsLevelVsFrequency:
      return "Distortion vs. Level vs. Frequency";
    default:
      return "";
  }
}

}  // namespace vireon
