#pragma once

#include <cstdint>

#include "record/DataObj.h"

namespace vireon {

// The fixed scale rules of the plot's format panel: whole-height phase and coherence scales,
// the division count change, the label clicks of a dB trace and the horizontal range entry.

// Per division, reference offset and reference division of one curve.
struct CurveScale {
  double PerDiv = 1.0;
  double RefValue = 0.0;
  std::int32_t RefDiv = 0;
  bool operator==(const CurveScale&) const = default;
};
CurveScale ScaleOf(const TFieldType& curve);

// Curves drawn in dB: shown as 20·log10 of the magnitude, or holding dB values.
bool IsDbCurve(const TFieldType& curve);
bool IsCoherenceCurve(const TFieldType& curve);

// -180° at the bottom, +180° at the top, whatever the division count.
CurveScale FullPhaseScale(std::int32_t divisions);
// 0 at the bottom, 1 at the top.
CurveScale CoherenceScale(std::int32_t divisions);

// Sets the division count (limited to 1..40) and keeps every curve's reference where the user
// expects it: phase and coherence curves fill the height, an Impedance curve stays on the
// bottom line, the top and the middle line stay the top and the middle, any other reference
// keeps its distance from the top.
void ChangeDivisionCount(TDataMeas& record, std::int32_t divisions);

// Clicks on the "perDiv" and "RefVal" labels of trace 0 (A) or 1 (B): 1 dB per division, and
// 0 dB on the middle line. False, changing nothing, unless the trace is a dB curve.
bool SetOneDbPerDivision(TDataMeas& record, int trace);
bool CentreDbReference(TDataMeas& record, int trace);

// The horizontal range typed into the "Start", "Stop", "Center" and "Span" entries (the span in
// octaves on a log axis) and the double-clicks on the "Start" and "Stop" labels, which go back
// to the first and the last x. A start at or above the stop, or a stop at or below the start,
// is moved just inside the other end; on a linear axis a centre within half a span of zero is
// moved up so the range starts above zero. Each returns false, leaving the range unchanged, for
// a start or stop not above the axis's lowest value (0; -999000 on time axes), a centre below
// it, a span not above 0, or a value that leaves no drawable range.
bool EnterViewStart(TDataMeas& record, double start);
bool EnterViewStop(TDataMeas& record, double stop);
bool EnterViewCentre(TDataMeas& record, double centre);
bool EnterViewSpan(TDataMeas& record, double span);
bool ResetViewStart(TDataMeas& record);
bool ResetViewStop(TDataMeas& record);

}  // namespace vireon
