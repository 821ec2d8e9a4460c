#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vireon {

// One point of a weighting table: a frequency (Hz) and its linear factor. The third value is
// carried through files but not used by the record.
struct WeightingPoint {
  double Freq = 0.0;
  double Factor = 0.0;
  double Spare = 0.0;
};

// A weighting or correction curve attached to a record and applied when values are read.
struct TWeighting {
  std::string Name = "?";
  std::string Info;
  // Search cursors: where the last lookup was found. Stored in files as they stand.
  std::int32_t HiIndex = 0;
  std::int32_t LoIndex = 0;
  std::vector<WeightingPoint> Points;

  // The factor at frequency x: the cursors walk from their last positions to the points
  // bracketing x and the factor is interpolated in ln f between them. 1.0 for an empty table.
  double FactorAt(double x);
};

}  // namespace vireon
