#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "plot/ColumnDecimation.h"
#include "plot/DisplayList.h"
#include "plot/PlotAxes.h"
#include "plot/PlotOptions.h"
#include "record/DataObj.h"

namespace vireon {

// Reads a record's values as the display does (`TDataMeas::ValueAt`: display scale and
// weighting) without changing the record. Columns without a weighting are read straight from
// their values, the way a long record is drawn fast.
class DisplayValueReader {
 public:
  explicit DisplayValueReader(const TDataMeas& record);
  double ValueAt(int column, std::int32_t index, int slice = -1) {
    if (slice < 0 && column == plain_column_ && static_cast<std::size_t>(index) < plain_size_) {
      return plain_values_[index] * plain_factor_;
    }
    return source_->ValueAt(column, index, slice);
  }
  // Reads `column` straight from its values from now on, when it has no weighting.
  void PreferColumn(int column);

 private:
  std::unique_ptr<TDataMeas> weighted_copy_;
  TDataMeas* source_;
  int plain_column_ = -1;
  const double* plain_values_ = nullptr;
  std::size_t plain_size_ = 0;
  double plain_factor_ = 1.0;
};

// A phase column as the plot shows it: a curve that is neither wrapped nor unwrapped is unwrapped
// (on a copy), and the curve's delay less the delay compensation is added (degrees per hertz).
class ShownPhase {
 public:
  ShownPhase(const TDataMeas& record, int column);
  double At(std::int32_t index, bool invert) const;  // invert: turned by 180 degrees

 private:
  const TDataMeas& record_;
  int column_;
  std::optional<TDataMeas> unwrapped_;
  double slope_ = 0.0;
};

// The x range a curve is drawn over: from the record's minimum usable x to the top of its
// band (sample rate · kNyquistFactor, divided by n for harmonic n of a harmonic-distortion
// plot). Unbounded above when the record has no sample rate.
struct CurveLimits {
  double Lower = 0.0;
  double Upper = 0.0;
};
CurveLimits FrequencyLimits(const TDataMeas& record, int column);

// Draws curve `column` of a frequency-like record into `items` as one polyline with `pen`,
// mapped by `axis` and `scale` (which may belong to another record, as for overlays), and
// returns the extremes of what was drawn. A harmonic or intermodulation plot may address its
// distortion curves past the columns. Phase curves get the record's delay slope and are
// wrapped or unwrapped as their flags say. For a Maximum Level Capability curve 1 or 2, the
// two bounding curves go first, 1 pixel dashed, and the curve itself at twice the pen's width.
// Nothing is drawn for fewer than two points.
TraceExtremes AddFrequencyTrace(const TDataMeas& record, int column, const HorizontalAxis& axis,
                                const VerticalScale& scale, const PlotOptions& options,
                                const Pen& pen, std::vector<DisplayItem>& items);

}  // namespace vireon
