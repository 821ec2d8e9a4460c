#include "plot/FrequencyTrace.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

#include "plot/CurveRules.h"
#include "record/DataTypes.h"

namespace vireon {
namespace {

constexpr double kNoLimit = std::numeric_limits<double>::infinity();

int UsedColumns(const TDataMeas& record) { return std::clamp(record.FNumFields, 0, kMaxColumns); }

std::int32_t ClampedSize(std::size_t size) {
  return static_cast<std::int32_t>(std::min<std::size_t>(size, INT32_MAX));
}

std::size_t SliceCount(const TDataMeas& record) {
  return std::min<std::size_t>(static_cast<std::size_t>(std::max(record.FSliceCount, 0)),
                               record.FSlices.size());
}

// The distortion curve a harmonic or intermodulation plot numbers past its columns, if any.
std::optional<std::size_t> DistortionSlice(const TDataMeas& record, int column) {
  if (!IsDistortionPlot(record) || column < UsedColumns(record)) return std::nullopt;
  const auto slice = static_cast<std::size_t>(column - UsedColumns(record));
  if (slice >= SliceCount(record)) return std::nullopt;
  return slice;
}

// Points of the curve that have both an x and a value; 0 for a curve the record lacks.
std::int32_t CurvePoints(const TDataMeas& record, int column) {
  if (column < 0) return 0;
  std::int32_t points = std::max(record.FNumPoints, 0);
  if (!record.IsSampled()) points = std::min(points, ClampedSize(record.FFields[0].Values.size()));
  if (column < UsedColumns(record)) {
    return std::min(points,
                    ClampedSize(record.FFields[static_cast<std::size_t>(column)].Values.size()));
  }
  const auto slice = DistortionSlice(record, column);
  return slice ? std::min(points, ClampedSize(record.FSlices[*slice].size())) : 0;
}

// First index in [0, n) whose x is at least `x` (x ascends); n when there is none.
std::int32_t FirstIndexFrom(const TDataMeas& record, std::int32_t n, double x) {
  std::int32_t low = 0;
  std::int32_t high = n;
  while (low < high) {
    const std::int32_t mid = low + (high - low) / 2;
    if (record.XAt(mid) < x) {
      low = mid + 1;
    } else {
      high = mid;
    }
  }
  return low;
}

// The point nearest to x; halfway between two points the lower one wins.
std::int32_t NearestIndex(const TDataMeas& record, std::int32_t n, double x) {
  const std::int32_t above = std::min(FirstIndexFrom(record, n, x), n - 1);
  if (above == 0) return 0;
  const std::int32_t below = above - 1;
  return std::fabs(x - record.XAt(below)) <= std::fabs(record.XAt(above) - x) ? below : above;
}

// The pixel column of ascending x values. Points well inside the column found last skip the
// mapping (a logarithm on a log axis); only those near an edge are mapped again, so every
// point lands exactly where HorizontalAxis::PixelOf puts it.
class ColumnFinder {
 public:
  explicit ColumnFinder(const HorizontalAxis& axis) : axis_(axis) {}
  int PixelOf(double x) {
    if (x > inner_low_ && x < inner_high_) return pixel_;
    pixel_ = axis_.PixelOf(x);
    constexpr double kEdgeMargin = 1e-6;  // pixels: far beyond the mappings' rounding errors
    inner_low_ = axis_.ValueAt(pixel_ - 0.5 + kEdgeMargin);
    inner_high_ = axis_.ValueAt(pixel_ + 0.5 - kEdgeMargin);
    return pixel_;
  }

 private:
  const HorizontalAxis& axis_;
  int pixel_ = 0;
  double inner_low_ = 0.0;
  double inner_high_ = 0.0;
};

struct PointRange {
  std::int32_t first = 0;
  std::int32_t last = -1;  // inclusive
};

// The points the routine visits: from the first at or above the lower limit (keeping those up
// to half a pixel left of the axis, which round onto its first column, and one more so the
// line enters at the edge) to the point nearest the lesser of the axis stop and the upper
// limit less 1.
PointRange DrawnRange(const TDataMeas& record, std::int32_t n, const CurveLimits& limits,
                      const HorizontalAxis& axis) {
  double lower = limits.Lower - 0.001;
  if (axis.kind() == HorizontalAxis::Kind::Log) lower = std::max(lower, 0.0);
  std::int32_t first = FirstIndexFrom(record, n, lower);
  if (axis.kind() == HorizontalAxis::Kind::Log) {
    while (first < n && !(record.XAt(first) > 0.0)) ++first;
  }
  first = std::max(first, FirstIndexFrom(record, n, axis.ValueAt(-0.5)) - 1);
  if (first >= n) return {};
  const double end_x = std::min(axis.stop(), limits.Upper - 1.0);
  return {first, NearestIndex(record, n, end_x)};
}

// Samples `value(i)` over the range into one polyline, a run of points on one column at a
// time; stops after the first point right of the graph.
template <typename ValueOf>
TraceExtremes AddCurve(const TDataMeas& record, PointRange range, const HorizontalAxis& axis,
                       const VerticalScale& scale, const Pen& pen, ValueOf value,
                       std::vector<DisplayItem>& items) {
  CurveSampler sampler(scale);
  ColumnFinder columns(axis);
  const double* const stored_x = record.IsSampled() ? nullptr : record.FFields[0].Values.data();
  const auto column_of = [&](std::int32_t i) {
    return columns.PixelOf(stored_x != nullptr ? stored_x[i] : record.XAt(i));
  };
  std::vector<double> run;
  std::int32_t i = range.first;
  int x = column_of(i);
  while (i <= range.last) {
    const std::int32_t run_start = i;
    run.clear();
    int next_x = x;
    while (next_x == x) {
      run.push_back(value(i));
      if (++i > range.last || x > axis.width()) break;
      next_x = column_of(i);
    }
    sampler.AddRun(x, run, run_start);
    if (x > axis.width()) break;
    x = next_x;
  }
  std::vector<PixelPoint> points = sampler.Finish();
  if (points.size() < 2) return {};
  items.emplace_back(PolylineItem{pen, std::move(points)});
  return sampler.Extremes();
}

}  // namespace

ShownPhase::ShownPhase(const TDataMeas& record, int column) : record_(record), column_(column) {
  const TFieldType& field = record.FFields[static_cast<std::size_t>(column)];
  if (field.WrapPhase == 0 && field.Unwrapped == 0) {
    // Unwrapped on a copy of the x column and that phase; the shown record stays as it is.
    TDataMeas& copy = unwrapped_.emplace();
    copy.FDataType = record.FDataType;
    copy.FNumPoints = record.FNumPoints;
    copy.FNumFields = column + 1;
    copy.FSampleRate = record.FSampleRate;
    copy.FStartTime = record.FStartTime;
    copy.FEndX = record.FEndX;
    copy.FFields[0].Values = record.FFields[0].Values;
    copy.FFields[static_cast<std::size_t>(column)] = field;
    copy.UnwrapPhase(column, false, record.FViewStart);
  }
  // The impedance phase of a combined response and impedance record has no acoustic delay.
  if (record.FDataType != kResponseAndImpedance || column != 4) {
    const double delay = column <= 2 ? record.FDelayA : record.FDelayB;
    slope_ = -360.0 * (delay - record.FDisplayDelay);
  }
}

double ShownPhase::At(std::int32_t index, bool invert) const {
  const TDataMeas& source = unwrapped_ ? *unwrapped_ : record_;
  return source.PhaseWithDelay(index, column_, invert, slope_);
}

DisplayValueReader::DisplayValueReader(const TDataMeas& record) {
  if (record.FWeighting) {
    // Looking up a weighting moves its search cursors: read through a copy.
    weighted_copy_ = std::make_unique<TDataMeas>(record);
    source_ = weighted_copy_.get();
  } else {
    // Without a weighting, ValueAt writes nothing.
    source_ = const_cast<TDataMeas*>(&record);
  }
}

void DisplayValueReader::PreferColumn(int column) {
  if (source_->FWeighting || column < 0 || column >= UsedColumns(*source_)) return;
  const DataArray& values = source_->FFields[static_cast<std::size_t>(column)].Values;
  plain_column_ = column;
  plain_values_ = values.data();
  plain_size_ = values.size();
  plain_factor_ = source_->DisplayFactor(-1);
}

CurveLimits FrequencyLimits(const TDataMeas& record, int column) {
  double upper = record.FSampleRate > 0 ? record.FSampleRate * kNyquistFactor : kNoLimit;
  if (record.FPlotKind == 6) {
    if (const auto slice = DistortionSlice(record, column)) {
      // A harmonic curve's slice value is its order n: n·f must stay below Nyquist.
      const double order = *slice < record.FSliceValues.size() ? record.FSliceValues[*slice] : 1;
      if (order > 1.0) upper /= order;
    }
  }
  return {record.FBinWidth[0], upper};
}

TraceExtremes AddFrequencyTrace(const TDataMeas& record, int column, const HorizontalAxis& axis,
                                const VerticalScale& scale, const PlotOptions& options,
                                const Pen& pen, std::vector<DisplayItem>& items) {
  const std::int32_t n = CurvePoints(record, column);
  if (n < 2) return {};
  const PointRange range = DrawnRange(record, n, FrequencyLimits(record, column), axis);
  if (range.last <= range.first) return {};
  Pen ink = pen;
  ink.color = InkColor(options, pen.color);

  if (column < UsedColumns(record) && record.IsPhase(column)) {
    const ShownPhase phase(record, column);
    return AddCurve(
        record, range, axis, scale, ink,
        [&](std::int32_t i) { return phase.At(i, options.PhaseInvert); }, items);
  }

  DisplayValueReader reader(record);
  reader.PreferColumn(column);
  if (record.FDataType == kMaximumLevelCapability && (column == 1 || column == 2)) {
    const Pen bound{ink.color, 1, PenStyle::Dash};
    for (const int slice : {2 * column - 2, 2 * column - 1}) {
      if (static_cast<std::size_t>(slice) >= SliceCount(record)) continue;
      AddCurve(
          record, range, axis, scale, bound,
          [&](std::int32_t i) { return reader.ValueAt(column, i, slice); }, items);
    }
    ink.width *= 2;
  }
  return AddCurve(
      record, range, axis, scale, ink, [&](std::int32_t i) { return reader.ValueAt(column, i); },
      items);
}

}  // namespace vireon
