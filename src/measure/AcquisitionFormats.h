#pragma once

#include <array>
#include <cstdint>

#include "measure/AcquisitionSettings.h"
#include "measure/AcquisitionTypes.h"

namespace vireon {

// The acquisition part of the per-acquisition format records: each type keeps its own averaging,
// auto-stop choice and sizes, so that switching types restores them. The display part of the
// records (and the wavelet types' shared primary-plot record) belongs to the plots.

// Averaging, auto stop and sizes, as one group of a record; every type starts from the
// acquisition window's defaults.
struct AcquisitionGroup {
  int avg_type = AcquisitionSettings{}.avg_type;      // "AverageType": `AvgType`
  int avg_target = AcquisitionSettings{}.avg_target;  // "AvgMax": `AvgTarget`
  bool avg_on = AcquisitionSettings{}.avg_on;         // "UseAvg"n: "Average/Decay ON"
  // "AutoStop" is set for "Avgs", "AutoStopOnTime"n for "Timer".
  AutoStopMode auto_stop = AcquisitionSettings{}.auto_stop;
  std::int32_t fft_size = AcquisitionSettings{}.fft_size;  // "FftSize"
  std::int32_t acq_size = AcquisitionSettings{}.acq_size;  // "AcqSize"

  friend bool operator==(const AcquisitionGroup&, const AcquisitionGroup&) = default;
};

struct AcquisitionFormat {
  AcquisitionGroup primary;
  int rta_resolution = AcquisitionSettings{}.rta_resolution;  // "AverageLimit", RTA types only
  AcquisitionGroup spectrum;  // the "_S" group: kept and saved, not applied to the settings

  friend bool operator==(const AcquisitionFormat&, const AcquisitionFormat&) = default;
};

class AcquisitionFormats {
 public:
  // The record of a type (99 uses the last one); std::out_of_range for a type outside the list.
  AcquisitionFormat& Record(int acq_type);
  const AcquisitionFormat& Record(int acq_type) const;

  // Fills the type's record from the current settings, as opening the acquisition list does.
  void Store(int acq_type, const AcquisitionSettings& settings);
  // Restores the type's values into the settings when it is selected; follow with
  // ForceAcquisitionRules.
  void Apply(int acq_type, AcquisitionSettings& settings) const;

 private:
  std::array<AcquisitionFormat, kAcquisitionItemCount> records_{};
};

bool IsRtaType(int acq_type);  // 6, 7

// The acquisition window's rules on a combination: types 0 and 1 with an asynchronous stimulus
// and type 18 force "Average/Decay ON" with a target of 1 (type 18 also turns auto stop off), and
// "Avgs" auto stop is refused while the averaging type is "Decay".
void ForceAcquisitionRules(int stim_code, int acq_type, AcquisitionSettings& settings);

}  // namespace vireon
