#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "plot/DisplayList.h"
#include "plot/PlotAxes.h"

namespace vireon {

// The polyline of a curve fed its pixel points in order, reduced per pixel column: points on
// one column keep only their first, highest, lowest and last y, and before the line moves on
// to the next column it strokes from the first y to the highest and the lowest (the one on
// the first y's side of the last y first) and then to the last, each only where it differs
// from where the pen is. Dense data is drawn as a band, at most four points a column, and a
// one-sample spike survives.
class ColumnDecimation {
 public:
  void Add(PixelPoint point);
  // The polyline so far, the open column's strokes included; the decimation starts anew.
  std::vector<PixelPoint> Finish();

 private:
  void CloseColumn();
  void StrokeTo(int y);

  std::vector<PixelPoint> points_;
  bool column_open_ = false;
  int column_x_ = 0;
  int top_y_ = 0;     // the highest value's y
  int bottom_y_ = 0;  // the lowest value's y
  int last_y_ = 0;
};

// The largest and smallest displayed value of a curve and the indices of their points, as
// found while it was drawn (the first of equal values). No index when nothing was drawn.
struct TraceExtremes {
  double Maximum = -1e30;
  std::int32_t MaximumIndex = -1;
  double Minimum = 1e30;
  std::int32_t MinimumIndex = -1;
};

// Values of one curve on their way to a polyline through its vertical scale. A column keeps
// the first, largest, smallest and last value, and only those are mapped to pixels, so a
// long record costs a comparison per point rather than a logarithm. Values are compared as
// the scale orders them: by magnitude when it draws dB.
class CurveSampler {
 public:
  explicit CurveSampler(const VerticalScale& scale);
  void Add(int x, double value, std::int32_t index);
  // Values of consecutive points on one column, the first at `first_index`.
  void AddRun(int x, std::span<const double> values, std::int32_t first_index);
  std::vector<PixelPoint> Finish();  // as ColumnDecimation::Finish
  TraceExtremes Extremes() const;    // in display units (dB for dB curves)

 private:
  struct Sample {
    double key = 0.0;
    double value = 0.0;
    std::int32_t index = 0;
  };
  void CloseColumn();

  VerticalScale scale_;
  bool by_magnitude_;
  ColumnDecimation decimation_;
  bool column_open_ = false;
  int column_x_ = 0;
  Sample first_;
  Sample largest_;
  Sample smallest_;
  Sample last_;
  bool any_ = false;
  Sample overall_largest_;
  Sample overall_smallest_;
};

}  // namespace vireon
