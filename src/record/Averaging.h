#pragma once

#include <cstdint>
#include <string_view>

#include "record/AnalysisContext.h"
#include "record/DataObj.h"

namespace vireon {

// Averaging types (FAvgType), in the order the acquisition settings list them.
enum AveragingType : std::uint8_t {
  kAverageLog = 0,    // "Log": geometric mean of magnitudes
  kAverageMag = 1,    // "Mag": arithmetic mean of magnitudes
  kAverageRms = 2,    // "Rms": root-mean-square of magnitudes
  kAverageCoh = 3,    // "Coh": vector mean of real and imaginary parts
  kAverageDecay = 4,  // "Decay": exponential RMS average
};
std::string_view AveragingName(std::uint8_t type);

// True when a new result is averaged in rather than replacing the stored one.
bool IsAveraging(const TDataMeas& target);

// Which columns AverageArrays reads and writes. With a phase column the source columns hold
// real and imaginary parts; -1 for none.
struct AverageColumns {
  int SourceMagnitude = 1;
  int SourcePhase = -1;
  int TargetMagnitude = 1;
  int TargetPhase = -1;
};

// Averages the whole source into the target columns under the target's averaging type and
// advances FAvgCount when `count` is set. `main_result` marks the controller's result record,
// whose "dBS" columns take the level calibration while a measurement runs.
void AverageArrays(TDataMeas& target, const TDataMeas& source, const AverageColumns& columns,
                   bool count, bool main_result, const AnalysisContext& context);

// Averages one point (magnitude, phase in degrees) into the record at index, extending the
// columns to reach it; phase_column -1 for none.
void AveragePoint(TDataMeas& record, std::int32_t index, int magnitude_column, int phase_column,
                  double new_phase, double new_magnitude, const AnalysisContext& context);

}  // namespace vireon
