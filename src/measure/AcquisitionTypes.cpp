#include "measure/AcquisitionTypes.h"

#include <array>

#include "measure/CodeSets.h"

namespace vireon {
namespace {

constexpr std::array<std::string_view, kAcquisitionItemCount> kNames = {
    "Time Domain 1ch",
    "Time Domain 2ch",
    "Impulse Response via MLS",
    "Impulse Resp norm via Chirp",
    "Spectrum FFT 1ch",
    "Spectrum FFT 2ch ",
    "Spectrum RTA 1ch",
    "Spectrum RTA 2ch",
    "Freq.Resp. MAG, PHASE",
    "Freq. Resp. MAG 1ch",
    "Freq. Resp. MAG 2ch",
    "Freq. Resp. Live Monitor",
    "Impulse Resp. Live Monitor",
    "Impedance (Z)",
    "Component Track 1ch",
    "Component Track 2ch",
    "Freq.Resp and Harmonic Dist.",
    "Freq.Resp and IMD",
    "Displacement Time",
    "Displacement FFT",
    "Spectrum 2ch FFT cpx",
    "Wavelet Max Level Cap.",
    "Wavelet Single Freq",
    "Wavelet Distortion vs Freq",
    "Wavelet Dist/Freq/Level",
    "Impulse Resp Asynch 1ch",
    "Impulse Resp Asynch 2ch",
    "Custom Acquisition",
};

}  // namespace

std::string_view AcquisitionName(int acq_type) {
  const int item = ItemOfAcqType(acq_type);
  return item >= 0 && item < kAcquisitionItemCount ? kNames[item] : std::string_view();
}

int AcqTypeOfItem(int item) { return item == kAcquisitionItemCount - 1 ? kAcqCustom : item; }

int ItemOfAcqType(int acq_type) {
  return acq_type == kAcqCustom ? kAcquisitionItemCount - 1 : acq_type;
}

bool IsNeverSelectable(int acq_type) {
  return OneOf(acq_type, {10, 18, 19, 20, 23, 24, 27, kAcqCustom});
}

// Two-channel analysis: the frequency responses and impedance with the chirp ReSync or the
// two-channel stepped tones, every ReSync type but the time and asynchronous impulse ones, the
// live monitors, and every type whose own analysis divides by or shows input 2.
bool NeedsSecondInput(int stim_code, int acq_type) {
  if (OneOf(acq_type, {8, 9, 10, 13, 16, 17, 20}) && OneOf(stim_code, {0, 10, 11})) return true;
  if (OneOf(stim_code, {0, 1, 2}) && !OneOf(acq_type, {0, 1, 25, 26})) return true;
  return OneOf(acq_type, {1, 5, 7, 11, 12, 15, 20, 26});
}

bool IsSinglePassType(int acq_type) { return OneOf(acq_type, {16, 17, 25, 26}); }

bool ShowsTimeData(int acq_type) { return OneOf(acq_type, {0, 1, 2, 3, 12, 25, 26}); }

std::optional<std::string> UnavailableAnalysisMessage(int acq_type) {
  if (OneOf(acq_type, {13, 16, 17, 21, 22})) {
    return "The analysis of \"" + std::string(AcquisitionName(acq_type)) +
           "\" is not available in this version";
  }
  return std::nullopt;
}

}  // namespace vireon
