// The record's view range and the statistics the plot's automatic scaling reads.
#include <algorithm>
#include <cmath>

#include "record/DataObj.h"
#include "record/NumericHelpers.h"

namespace vireon {

void TDataMeas::NormalizeView() {
  if (FViewStop * 0.9 == FViewStart) FViewStop = FViewStart / 0.9;
  if (FViewStart > FViewStop) std::swap(FViewStart, FViewStop);
}

void TDataMeas::SetViewRange(bool start_stop, double first, double second) {
  // Time axes may start before zero; frequency axes may not.
  const bool time_axis =
      FDataType == kTimeDomain || FDataType == kStepResponse || FDataType == kEnergyTimeCurve;
  const double limit = time_axis ? -999000.0 : 0.0;
  if (first < limit && second < limit) return;
  double start = FViewStart;
  double stop = FViewStop;
  if (start_stop) {
    if (second > limit) start = second;
    if (first > limit) stop = first;
  } else if (FLogX) {
    double centre = second;
    double octaves = first;
    if (centre < 0) centre = std::sqrt(FViewStart * FViewStop);
    if (octaves < 0) {
      if (FViewStart < 1e-20) return;
      octaves = std::log2(FViewStop / FViewStart);
    }
    const double half_width = std::sqrt(std::exp2(octaves));
    start = centre / half_width;
    stop = centre * half_width;
  } else {
    const double centre = second < limit ? (FViewStart + FViewStop) / 2.0 : second;
    const double span = first < limit ? FViewStop - FViewStart : first;
    start = std::max(centre - span / 2.0, 0.0);
    stop = centre + span / 2.0;
  }
  if (FDataType == kRtaBands) {
    start = std::max(start, FStartTime);
    stop = std::min(stop, FEndX);
  }
  FViewStart = start;
  FViewStop = stop;
  NormalizeView();
  for (TFieldType& field : FFields) field.Unwrapped = 0;
}

std::pair<double, double> TDataMeas::ViewCenterSpan(bool use_stored) const {
  if (use_stored) return {FViewStart, FViewStop};
  if (FLogX) return {std::sqrt(FViewStart * FViewStop), std::log2(FViewStop / FViewStart)};
  return {(FViewStart + FViewStop) / 2.0, std::fabs(FViewStop - FViewStart)};
}

void TDataMeas::ExtendRange(double x) {
  FEndX = std::max(FEndX, x);
  FStartTime = std::min(FStartTime, x);
}

std::pair<double, double> TDataMeas::HalfWidthFactors(double octaves, double centre) {
  const double factor = std::exp2(octaves / 2.0);
  return {centre / factor, centre * factor};
}

double TDataMeas::RangeValue(int column, std::int32_t index) {
  if (IsPhase(column)) {
    const double delay = column > 2 ? FDelayB : FDelayA;
    return PhaseWithDelay(index, column, false, -360.0 * (delay - FDisplayDelay));
  }
  if (!FFields[static_cast<std::size_t>(column)].ShowAsDb || IsSampled()) {
    return ValueAt(column, index, -1);
  }
  const auto level = [&](int slice) { return 20.0 * SafeLog10(ValueAt(column, index, slice)); };
  if (FDataType == kMaximumLevelCapability && (column == 1 || column == 2)) {
    // Between the column's two bounding curves, three quarters of the way to the first.
    const int first_slice = column == 1 ? 0 : 2;
    return (1.5 * level(first_slice) + 0.5 * level(first_slice + 1)) / 2.0;
  }
  return level(-1);
}

RangeStatistics TDataMeas::RangeStats(int column, double lower_x, double upper_x, bool use_range,
                                      bool log_x) {
  if (!use_range) {
    lower_x = FViewStart;
    upper_x = FViewStop;
  }
  RangeStatistics stats;
  const int c = ClampColumn(column);
  if (c < 0) return stats;
  std::int32_t i = std::max(0, IndexOf(lower_x));
  const std::int32_t end = std::min(IndexOf(upper_x), FNumPoints - 1);
  const bool sampled = IsSampled();
  if (!sampled && XAt(i) == 0) ++i;  // a 0 Hz point has no place on a log axis
  const bool log_steps = log_x && !sampled;
  if (IsPhase(c) && !FFields[static_cast<std::size_t>(c)].WrapPhase &&
      !FFields[static_cast<std::size_t>(c)].Unwrapped) {
    UnwrapPhase(c, false, FViewStart);
  }

  double area = 0.0;
  double width = 0.0;
  double previous_x = 0.0;
  double previous_value = 0.0;
  bool first = true;
  for (; i < end; ++i) {
    const double x = !sampled ? XAt(i) : (FSampleRate > 0 ? i / double(FSampleRate) : 0.0);
    const double value = RangeValue(c, i);
    stats.Maximum = std::max(stats.Maximum, value);
    stats.Minimum = std::min(stats.Minimum, value);
    if (!first) {
      const double dx = log_steps ? SafeLn(x / previous_x) : x - previous_x;
      area += dx * (previous_value + value) / 2.0;
      width += dx;
    }
    first = false;
    previous_x = x;
    previous_value = value;
  }
  if (!first) stats.Mean = width > 1e-20 ? area / width : previous_value;
  return stats;
}

}  // namespace vireon
