#include "plot/PlotAxes.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "record/DataTypes.h"
#include "record/NumericHelpers.h"

namespace vireon {
namespace {

constexpr double kPixelLimit = 2147483647.0;

// A linear range that ends at or before its start has no scale: open it up by a tenth of its
// magnitude, or by one unit where a tenth is lost (zero, a subnormal start), so that nothing
// divides by zero.
void WidenLinear(double& start, double& stop) {
  if (stop > start) return;
  const double magnitude = std::max(std::abs(start), std::abs(stop));
  stop = start + magnitude * 0.1;
  if (!(stop > start)) stop = start + 1.0;
}

// A graph has at least one division, whatever the caller passes.
double DivisionsOf(std::int32_t divisions) { return std::max<std::int32_t>(divisions, 1); }

}  // namespace

int RoundToPixel(double position) {
  if (!(position == position)) return 0;
  return static_cast<int>(std::nearbyint(std::clamp(position, -kPixelLimit, kPixelLimit)));
}

HorizontalAxis::HorizontalAxis(Kind kind, double start, double stop, int width, double first_time,
                               std::int32_t sample_rate)
    : kind_(kind),
      start_(start),
      stop_(stop),
      width_(std::max(width, 1)),
      first_time_(first_time),
      sample_rate_(sample_rate) {}

HorizontalAxis HorizontalAxis::Log(double start, double stop, int width) {
  if (stop <= start) stop = start * 1.1;  // the stored stop moves to start, then 1.1 · start
  start = std::max(0.1, start);
  stop = std::max(start * 1.00001, stop);
  return HorizontalAxis(Kind::Log, start, stop, width, 0.0, 0);
}

HorizontalAxis HorizontalAxis::Linear(double start, double stop, int width) {
  WidenLinear(start, stop);
  return HorizontalAxis(Kind::Linear, start, stop, width, 0.0, 0);
}

HorizontalAxis HorizontalAxis::Time(double start, double stop, int width, double first_time,
                                    std::int32_t sample_rate) {
  WidenLinear(start, stop);
  return HorizontalAxis(Kind::Time, start, stop, width, first_time, sample_rate);
}

HorizontalAxis HorizontalAxis::ForRecord(const TDataMeas& record, int width) {
  if (IsSampledType(record.FDataType)) {
    return Time(record.FViewStart, record.FViewStop, width, record.FStartTime, record.FSampleRate);
  }
  if (record.FLogX != 0) return Log(record.FViewStart, record.FViewStop, width);
  return Linear(record.FViewStart, record.FViewStop, width);
}

double HorizontalAxis::PixelsPerDecade() const { return width_ / std::log10(stop_ / start_); }

double HorizontalAxis::Position(double x) const {
  if (kind_ == Kind::Log) {
    return x > 0.0 ? std::log10(x / start_) * PixelsPerDecade() : -kPixelLimit;
  }
  return (x - start_) * width_ / (stop_ - start_);
}

int HorizontalAxis::PixelOf(double x) const { return RoundToPixel(Position(x)); }

int HorizontalAxis::PixelOfSample(std::int32_t index) const {
  const double rate = sample_rate_ > 0 ? sample_rate_ : 1.0;
  return std::max(-1, RoundToPixel(Position(first_time_ + index / rate)));
}

double HorizontalAxis::ValueAt(double pixel) const {
  if (kind_ == Kind::Log)
    return start_ * std::pow(10.0, pixel * std::log10(stop_ / start_) / width_);
  return start_ + pixel * (stop_ - start_) / width_;
}

std::int32_t DivisionCount(const TDataMeas& record) {
  return std::clamp<std::int32_t>(record.FNumDivisions, 1, 40);
}

int GridLineY(std::int32_t line, std::int32_t divisions, int height) {
  return RoundToPixel(static_cast<double>(line) * (height - 1) / DivisionsOf(divisions));
}

VerticalScale VerticalScale::ForCurve(const TFieldType& curve, std::int32_t divisions, int height) {
  return VerticalScale(curve.PerDiv, curve.RefValue, curve.RefDiv, divisions, height,
                       curve.ShowAsDb != 0);
}

VerticalScale::VerticalScale(double per_division, double offset, std::int32_t reference_division,
                             std::int32_t divisions, int height, bool show_as_db)
    : offset_(offset),
      reference_y_(static_cast<double>(height - 1) / DivisionsOf(divisions) *
                   (DivisionsOf(divisions) - reference_division)),
      pixels_per_unit_(SafeDiv(DivisionsOf(divisions) * per_division, height - 1)),
      show_as_db_(show_as_db) {}

double VerticalScale::DisplayValue(double value) const {
  return show_as_db_ ? ToDb(std::abs(value)) : value;
}

double VerticalScale::PositionOfDisplay(double display_value) const {
  return reference_y_ - pixels_per_unit_ * (display_value + offset_);
}

int VerticalScale::PixelOf(double value) const {
  return RoundToPixel(PositionOfDisplay(DisplayValue(value)));
}

double VerticalScale::DisplayValueAt(double pixel) const {
  return SafeDiv(pixels_per_unit_, reference_y_ - pixel) - offset_;
}

}  // namespace vireon
