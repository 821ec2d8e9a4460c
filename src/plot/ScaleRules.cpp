#include "plot/ScaleRules.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "plot/PlotAxes.h"
#include "record/DataTypes.h"

namespace vireon {
namespace {

constexpr std::int32_t kMaxDivisions = 40;

// The curve trace 0 (A) or 1 (B) shows, or none.
TFieldType* TraceCurve(TDataMeas& record, int trace) {
  if (trace != 0 && trace != 1) return nullptr;
  const int column = record.TraceColumn(trace);
  return column < 0 ? nullptr : &record.FFields[static_cast<std::size_t>(column)];
}

void Apply(const CurveScale& scale, TFieldType& curve) {
  curve.PerDiv = scale.PerDiv;
  curve.RefValue = scale.RefValue;
  curve.RefDiv = scale.RefDiv;
}

// Where a reference division lands when the count goes from `old_count` to `count`.
std::int32_t MovedReference(std::int32_t reference, std::int32_t old_count, std::int32_t count) {
  if (reference == old_count) return count;
  if (reference == old_count / 2) return count / 2;
  return std::clamp(count - (old_count - reference), 0, count);
}

// The lowest value the record's view range takes: time axes may start before zero. The same
// limit the record applies when its range is set.
double LowestViewValue(const TDataMeas& record) {
  const bool time_axis = IsSampledType(record.FDataType) || record.FDataType == kEnergyTimeCurve;
  return time_axis ? -999000.0 : 0.0;
}

// A value just inside a range end: scaling by 0.999 toward zero would cross a negative end, so
// negative ends are scaled the other way; a zero end has no such neighbour (NaN).
double JustBelow(double end) {
  if (end > 0.0) return end * 0.999;
  if (end < 0.0) return end / 0.999;
  return std::nan("");
}
double JustAbove(double end) {
  if (end > 0.0) return end / 0.999;
  if (end < 0.0) return end * 0.999;
  return std::nan("");
}

// Sets the range through the record and keeps it only when it is a drawable range; otherwise
// the record is put back as it was.
bool ApplyViewRange(TDataMeas& record, bool start_stop, double first, double second) {
  const double start = record.FViewStart;
  const double stop = record.FViewStop;
  std::array<std::uint8_t, kMaxColumns> unwrapped{};
  for (std::size_t c = 0; c < unwrapped.size(); ++c) unwrapped[c] = record.FFields[c].Unwrapped;
  record.SetViewRange(start_stop, first, second);
  if (std::isfinite(record.FViewStart) && std::isfinite(record.FViewStop) &&
      record.FViewStart < record.FViewStop) {
    return true;
  }
  record.FViewStart = start;
  record.FViewStop = stop;
  for (std::size_t c = 0; c < unwrapped.size(); ++c) record.FFields[c].Unwrapped = unwrapped[c];
  return false;
}

// On a linear axis the range starts at max(centre - span / 2, 0): a centre within half a span
// of zero is moved up so the span is kept.
double CentreForSpan(const TDataMeas& record, double centre, double span) {
  return record.FLogX == 0 && centre <= span / 2.0 ? span / 1.99 : centre;
}

}  // namespace

CurveScale ScaleOf(const TFieldType& curve) { return {curve.PerDiv, curve.RefValue, curve.RefDiv}; }

bool IsDbCurve(const TFieldType& curve) { return curve.ShowAsDb != 0 || curve.Units == "dB"; }

bool IsCoherenceCurve(const TFieldType& curve) { return curve.Name == "Coherence Function"; }

CurveScale FullPhaseScale(std::int32_t divisions) {
  const double per_division = 360.0 / divisions;
  const std::int32_t reference = divisions / 2;
  return {per_division, 180.0 - per_division * reference, reference};
}

CurveScale CoherenceScale(std::int32_t divisions) { return {1.0 / divisions, -1.0, divisions}; }

void ChangeDivisionCount(TDataMeas& record, std::int32_t divisions) {
  const std::int32_t old_count = DivisionCount(record);
  const std::int32_t count = std::clamp(divisions, 1, kMaxDivisions);
  record.FNumDivisions = count;
  // Column 0 of a record that is not sampled holds the x values, not a curve.
  const int first_curve = record.IsSampled() ? 0 : 1;
  const int columns = std::clamp(record.FNumFields, 0, kMaxColumns);
  for (int column = first_curve; column < columns; ++column) {
    TFieldType& curve = record.FFields[static_cast<std::size_t>(column)];
    if (IsCoherenceCurve(curve)) {
      Apply(CoherenceScale(count), curve);
    } else if (record.IsPhase(column)) {
      Apply(FullPhaseScale(count), curve);
    } else if (record.FDataType == kImpedance) {
      curve.RefDiv = 0;
    } else {
      curve.RefDiv = MovedReference(curve.RefDiv, old_count, count);
    }
  }
}

bool SetOneDbPerDivision(TDataMeas& record, int trace) {
  TFieldType* curve = TraceCurve(record, trace);
  if (curve == nullptr || !IsDbCurve(*curve)) return false;
  curve->PerDiv = 1.0;
  return true;
}

bool CentreDbReference(TDataMeas& record, int trace) {
  TFieldType* curve = TraceCurve(record, trace);
  if (curve == nullptr || !IsDbCurve(*curve)) return false;
  curve->RefValue = 0.0;
  curve->RefDiv = DivisionCount(record) / 2;
  return true;
}

bool EnterViewStart(TDataMeas& record, double start) {
  const double limit = LowestViewValue(record);
  if (!(start > limit)) return false;
  const double stop = record.FViewStop;
  if (start >= stop) start = JustBelow(stop);
  if (!(start > limit)) return false;
  return ApplyViewRange(record, true, stop, start);
}

bool EnterViewStop(TDataMeas& record, double stop) {
  const double limit = LowestViewValue(record);
  if (!(stop > limit)) return false;
  const double start = record.FViewStart;
  if (stop <= start) stop = JustAbove(start);
  if (!(stop > limit)) return false;
  return ApplyViewRange(record, true, stop, start);
}

bool EnterViewCentre(TDataMeas& record, double centre) {
  if (!(centre >= LowestViewValue(record))) return false;
  const double span = record.ViewCenterSpan(false).second;
  return ApplyViewRange(record, false, span, CentreForSpan(record, centre, span));
}

bool EnterViewSpan(TDataMeas& record, double span) {
  if (!(span > 0.0)) return false;
  const double centre = record.ViewCenterSpan(false).first;
  return ApplyViewRange(record, false, span, CentreForSpan(record, centre, span));
}

bool ResetViewStart(TDataMeas& record) { return EnterViewStart(record, record.FStartTime); }

bool ResetViewStop(TDataMeas& record) { return EnterViewStop(record, record.FEndX); }

}  // namespace vireon
