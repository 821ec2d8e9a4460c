#include "plot/AutoScale.h"

#include <algorithm>
#include <cmath>

#include "plot/CurveRules.h"
#include "plot/EngineeringFormat.h"
#include "plot/PlotAxes.h"
#include "plot/ScaleRules.h"
#include "record/DataTypes.h"

namespace vireon {
namespace {

// Distortion curves hold no measurement where they are below this.
constexpr double kDistortionFloor = 1e-12;
// The fit: the maximum below 15/16 of the height, the middle of the lower half of the data
// (halfway between mean and minimum) inside the graph; the reference then puts the maximum at
// or just below 7/8 of the height.
constexpr double kFitMaximumHeight = 0.9375;
constexpr double kFitMiddleHeight = 0.999;
constexpr double kMaximumHeight = 0.875;
constexpr int kFitSteps = 100;
constexpr int kFitRounds = 11;
constexpr double kSmallestDbPerDivision = 5.0;
constexpr double kLargestDbPerDivision = 100.0;
// Component tracks always show 8 divisions of 20 dB with the maximum on line 7.
constexpr std::int32_t kTrackDivisions = 8;
constexpr double kTrackPerDivision = 20.0;
constexpr std::int32_t kTrackReference = 7;

bool ScalesPerDivision(AutoScaleMode mode) { return (static_cast<int>(mode) & 1) != 0; }
bool PlacesReference(AutoScaleMode mode) { return (static_cast<int>(mode) & 2) != 0; }

double Pow10(int exponent) { return std::pow(10.0, exponent); }

// A per division d·10^k (d = 1..9), stepped exactly along 1, 2, ... 9, 10, 20, ...
class SingleDigit {
 public:
  // The value truncated to its leading digit; the value must be positive and finite.
  static SingleDigit AtOrBelow(double value) {
    const double floored = FloorLeadingDigit(value);
    int exponent = static_cast<int>(std::floor(std::log10(floored)));
    int digit = static_cast<int>(std::lround(floored / Pow10(exponent)));
    if (digit >= 10) {  // log10 landed just below a power of ten
      ++exponent;
      digit = 1;
    }
    return SingleDigit(digit, exponent);
  }

  double Value() const { return exponent_ >= 0 ? digit_ * Unit() : digit_ / Pow10(-exponent_); }
  double Unit() const { return Pow10(exponent_); }
  SingleDigit Up() const {
    return digit_ == 9 ? SingleDigit(1, exponent_ + 1) : SingleDigit(digit_ + 1, exponent_);
  }
  SingleDigit Down() const {
    return digit_ == 1 ? SingleDigit(9, exponent_ - 1) : SingleDigit(digit_ - 1, exponent_);
  }

 private:
  SingleDigit(int digit, int exponent) : digit_(digit), exponent_(exponent) {}
  int digit_;
  int exponent_;
};

// The smallest single-digit value not below x, for either sign (0 for 0).
double SingleDigitNotBelow(double x) {
  if (x > 0.0) return CeilSingleDigit(x);
  if (x < 0.0) return -FloorLeadingDigit(-x);
  return 0.0;
}

double RoundToOneDigit(double value) {
  if (value == 0.0 || !std::isfinite(value)) return value;
  const double power = Pow10(static_cast<int>(std::floor(std::log10(std::abs(value)))));
  return std::nearbyint(value / power) * power;
}

// What the data-dependent rules read of a curve.
struct CurveData {
  double maximum;
  double minimum;
  double mean;  // rounded to one significant digit
  double LargestMagnitude() const { return std::max(std::abs(maximum), std::abs(minimum)); }
};

// The curve's zero at `fraction` of the height, the reference on the middle line.
CurveScale ZeroAt(double fraction, double per_division, std::int32_t divisions) {
  const std::int32_t middle = divisions / 2;
  return {per_division, (fraction * divisions - middle) * per_division, middle};
}

// --- The iterative fit of magnitude and dB curves, reference on the top grid line. ---

struct Fit {
  double maximum;
  double middle;
  std::int32_t divisions;

  // Fraction of the height at which a value sits when the top grid line shows `top_value`.
  double Height(double value, double top_value, double per_division) const {
    return (divisions - 1 + (value - top_value) / per_division) / divisions;
  }

  // The value of the top grid line: the smallest multiple of the per division's leading-digit
  // unit that keeps the maximum at or below 7/8 of the height.
  double TopValue(double per_division, double unit) const {
    const double lowest = maximum + per_division * ((1.0 - kMaximumHeight) * divisions - 1.0);
    double multiple = std::ceil(lowest / unit);
    // The division may round either way; a few corrections at most (none once the multiple is
    // beyond double precision).
    for (int i = 0; i < 2 && Height(maximum, multiple * unit, per_division) > kMaximumHeight; ++i) {
      multiple += 1.0;
    }
    for (int i = 0;
         i < 2 && Height(maximum, (multiple - 1.0) * unit, per_division) <= kMaximumHeight; ++i) {
      multiple -= 1.0;
    }
    return multiple * unit;
  }

  // Judged with the reference that TopValue will give, so that the result does not depend on
  // where the reference happened to be: pressing auto-scale twice changes nothing.
  bool Fits(const SingleDigit& step) const {
    const double per_division = step.Value();
    const double top = TopValue(per_division, step.Unit());
    const double max_height = Height(maximum, top, per_division);
    const double middle_height = Height(middle, top, per_division);
    return max_height >= 0.0 && max_height <= kFitMaximumHeight && middle_height >= 0.0 &&
           middle_height <= kFitMiddleHeight;
  }

  // Up from `start` until the data fits, then down while it still fits.
  double PerDivisionFrom(double start) const {
    SingleDigit step = SingleDigit::AtOrBelow(start);
    for (int i = 0; i < kFitSteps && !Fits(step); ++i) step = step.Up();
    for (int i = 0; i < kFitSteps && Fits(step.Down()); ++i) step = step.Down();
    return step.Value();
  }
};

// Curves drawn in dB keep 5..100 dB per division (no lower limit for the distortion-vs-level
// types in the main form's display modes 0 and 4); linear curves keep what the data needs.
double LimitPerDivision(const TDataMeas& record, const TFieldType& curve,
                        const PlotOptions& options, double per_division) {
  if (!IsDbCurve(curve)) return per_division;
  const bool distortion_vs_level =
      record.FDataType == kDistortionVsLevel || record.FDataType == kDistortionVsLevelVsFrequency;
  const bool unlimited_below = distortion_vs_level && (options.DistortionDisplayMode == 0 ||
                                                       options.DistortionDisplayMode == 4);
  if (!unlimited_below) per_division = std::max(per_division, kSmallestDbPerDivision);
  return std::min(per_division, kLargestDbPerDivision);
}

CurveScale FittedScale(const TDataMeas& record, const TFieldType& curve, const CurveData& data,
                       std::int32_t divisions, AutoScaleMode mode, const PlotOptions& options) {
  const Fit fit{data.maximum, (data.mean + data.minimum) / 2.0, divisions};
  double per_division = curve.PerDiv > 0.0 && std::isfinite(curve.PerDiv) ? curve.PerDiv : 1.0;
  if (ScalesPerDivision(mode)) {
    // Fit and limits alternate until they agree, so the result is where a second press
    // starts and stays. A flat curve fits any scale: it keeps its own.
    for (int round = 0; round < kFitRounds && fit.middle != fit.maximum; ++round) {
      const double next =
          LimitPerDivision(record, curve, options, fit.PerDivisionFrom(per_division));
      if (next == per_division) break;
      per_division = next;
    }
    per_division = LimitPerDivision(record, curve, options, per_division);
  }
  const double unit = SingleDigit::AtOrBelow(per_division).Unit();
  return {per_division, -fit.TopValue(per_division, unit), divisions - 1};
}

// --- One trace. ---

// The x range the fit reads: the visible part of the record, the usable frequencies of
// computed spectra, and for distortion curves the part that holds a measurement.
std::pair<double, double> FitRange(TDataMeas& record, int column) {
  double lower = std::max(record.FViewStart, record.FStartTime);
  double upper = std::min(record.FViewStop, record.FEndX);
  const std::uint8_t type = record.FDataType;
  if (type == kFrequencyResponse || type == kSpectrum || type == kGroupDelay ||
      type == kComplexSpectrum) {
    lower = std::max(lower, record.FBinWidth[0]);
    upper = std::min(upper, record.XAt(record.FNumPoints - 1));
  }
  if (IsDistortionPlot(record) && !record.IsPhase(column)) {
    std::int32_t first = record.IndexOf(lower);
    std::int32_t last = record.IndexOf(upper);
    while (first <= last && record.ValueAt(column, first, -1) < kDistortionFloor) ++first;
    while (last >= first && record.ValueAt(column, last, -1) < kDistortionFloor) --last;
    if (first > last) return {upper, upper};
    // The statistics stop before the point at the upper end.
    return {record.XAt(first), record.XAt(std::min(last + 1, record.FNumPoints - 1))};
  }
  return {lower, upper};
}

int ShownTraces(const TDataMeas& record) {
  return (record.TraceColumn(0) >= 0 ? 1 : 0) + (record.TraceColumn(1) >= 0 ? 1 : 0);
}

// The scale the data type's rule gives for the trace in `column`.
CurveScale RuleScale(const TDataMeas& record, int trace, int column, const CurveData& data,
                     AutoScaleMode mode, const PlotOptions& options) {
  const TFieldType& curve = record.FFields[static_cast<std::size_t>(column)];
  const std::int32_t divisions = record.FNumDivisions;
  const std::uint8_t type = record.FDataType;
  const bool phase = record.IsPhase(column);
  if (record.IsSampled()) {
    // With both traces and their references placed, each trace gets half the height.
    const bool halves = PlacesReference(mode) && ShownTraces(record) == 2;
    const double fitted =
        CeilSingleDigit(2.0 * data.LargestMagnitude() / divisions) * (halves ? 2 : 1);
    const double per_division = ScalesPerDivision(mode) ? fitted : curve.PerDiv;
    const double zero_height = !halves ? 0.5 : trace == 0 ? 0.75 : 0.25;
    return ZeroAt(zero_height, per_division, divisions);
  }
  if (type == kImpedance || type == kPowerCepstrum) {
    if (phase) return FullPhaseScale(divisions);
    return {CeilSingleDigit(data.maximum / divisions), 0.0, 0};
  }
  if (type == kComponentTrack) {
    return {kTrackPerDivision, -SingleDigitNotBelow(data.maximum), kTrackReference};
  }
  if (phase) {
    if (curve.WrapPhase != 0) return FullPhaseScale(divisions);
    const double fitted = CeilSingleDigit(2.0 * data.LargestMagnitude() / divisions);
    return ZeroAt(0.5, ScalesPerDivision(mode) ? fitted : curve.PerDiv, divisions);
  }
  return FittedScale(record, curve, data, divisions, mode, options);
}

void ApplyByMode(const CurveScale& scale, AutoScaleMode mode, TFieldType& curve) {
  if (ScalesPerDivision(mode)) curve.PerDiv = scale.PerDiv;
  if (PlacesReference(mode)) {
    curve.RefValue = scale.RefValue;
    curve.RefDiv = scale.RefDiv;
  }
}

// Harmonic and intermodulation curves (beyond the response's magnitude and phase) of a
// distortion plot.
bool IsDistortionCurve(const TDataMeas& record, int trace) {
  return IsDistortionPlot(record) && (trace == 0 ? record.FTraceA : record.FTraceB) >= 3;
}

void ScaleTrace(TDataMeas& record, int trace, int column, AutoScaleMode mode,
                const PlotOptions& options) {
  TFieldType& curve = record.FFields[static_cast<std::size_t>(column)];
  // Coherence always spans 0..1, whatever part of the scale was asked for.
  if (IsCoherenceCurve(curve)) {
    const CurveScale scale = CoherenceScale(DivisionCount(record));
    ApplyByMode(scale, AutoScaleMode::ScaleAndReference, curve);
    return;
  }
  if (IsDistortionCurve(record, trace)) {
    const TFieldType& response = record.FFields[1];
    if (curve.Units == response.Units) {
      ApplyByMode(ScaleOf(response), mode, curve);
      return;
    }
    if (curve.Units == "dB") {  // relative to the response: 0 dB on the top grid line
      const std::int32_t divisions = DivisionCount(record);
      ApplyByMode({curve.PerDiv, 0.0, divisions - 1}, mode, curve);
      return;
    }
  }
  const auto [lower, upper] = FitRange(record, column);
  const RangeStatistics stats = record.RangeStats(column, lower, upper, true, record.FLogX != 0);
  if (stats.Maximum < stats.Minimum) return;
  const CurveData data{stats.Maximum, stats.Minimum, RoundToOneDigit(stats.Mean)};

  const std::int32_t least_divisions = record.IsSampled() ? 2 : 4;
  record.FNumDivisions = record.FDataType == kComponentTrack
                             ? kTrackDivisions
                             : std::max(DivisionCount(record), least_divisions);
  if (curve.RefDiv < 0 || curve.RefDiv > record.FNumDivisions) {
    curve.RefDiv = record.FNumDivisions / 2;
  }
  ApplyByMode(RuleScale(record, trace, column, data, mode, options), mode, curve);
}

}  // namespace

bool AutoScale(TDataMeas& record, int trace, AutoScaleMode mode, const PlotOptions& options) {
  if (trace != 0 && trace != 1) return false;
  const int column = record.TraceColumn(trace);
  if (column < 0) return false;
  const CurveScale before = ScaleOf(record.FFields[static_cast<std::size_t>(column)]);
  const std::int32_t divisions_before = record.FNumDivisions;
  ScaleTrace(record, trace, column, mode, options);
  return ScaleOf(record.FFields[static_cast<std::size_t>(column)]) != before ||
         record.FNumDivisions != divisions_before;
}

bool AutoScaleTraces(TDataMeas& record, const PlotOptions& options) {
  const bool a = AutoScale(record, 0, AutoScaleMode::ScaleAndReference, options);
  const bool b = AutoScale(record, 1, AutoScaleMode::ScaleAndReference, options);
  return a || b;
}

bool AutoScaleShared(TDataMeas& record, const PlotOptions& options) {
  const bool a = AutoScale(record, 0, AutoScaleMode::ScaleAndReference, options);
  const int column_a = record.TraceColumn(0);
  const int column_b = record.TraceColumn(1);
  if (column_b < 0) return a;
  TFieldType& curve_b = record.FFields[static_cast<std::size_t>(column_b)];
  if (column_a < 0 || record.FFields[static_cast<std::size_t>(column_a)].Units != curve_b.Units) {
    return AutoScale(record, 1, AutoScaleMode::ScaleAndReference, options) || a;
  }
  CurveScale shared = ScaleOf(record.FFields[static_cast<std::size_t>(column_a)]);
  if (record.IsSampled()) shared.RefValue = -shared.RefValue;
  const bool b = ScaleOf(curve_b) != shared;
  ApplyByMode(shared, AutoScaleMode::ScaleAndReference, curve_b);
  return a || b;
}

}  // namespace vireon
