#pragma once

#include <cstdint>

#include "record/DataObj.h"
#include "record/InputCorrection.h"

namespace vireon {

// Cross spectra averaged over successive frames by the transfer-function conversions.
struct CrossSpectrumAccumulator {
  DataArray GbbMean;  // running mean of the reference power
  DataArray GabRe;
  DataArray GabIm;
  DataArray Gbb;
  DataArray Gaa;
};

// Weights of the "Decay" average: stored·Old + new·New, set by the controller per update.
struct DecayWeights {
  double Old = 0.0;
  double New = 1.0;
};

// The program-wide measurement state the conversions read and update. The controller owns one
// and passes it in; tests make their own.
struct AnalysisContext {
  std::int32_t FftLength = 4096;    // the FFT length setting (points)
  std::int32_t ConverterDelay = 0;  // samples of negative time kept by ToTimeDomain
  bool FrequencyDependentWindow = false;
  bool RemoveOffsetOnce = false;  // one-shot: subtract the gate's first sample
  std::int32_t AcquisitionType = 0;
  std::uint8_t AcquisitionWindow = 2;  // window code chosen for the acquisition
  std::uint8_t TimeLogMagDef = 0;      // configuration key "TimeLogMagDef"
  bool MeasurementRunning = false;
  double LevelCalibration = 50000.0;  // counts per pascal scale for "dBS" columns (1/20 µPa)
  double PascalLevelFactor = 2e-5;    // applied to "Pa" channels of the two-channel spectrum
  CrossSpectrumAccumulator CrossSpectra;
  DecayWeights Decay;
  InputCorrection Correction;  // none: every channel uncorrected
};

}  // namespace vireon
