#include "plot/PlotMouse.h"

#include <algorithm>

#include "plot/PlotAxes.h"
#include "plot/ScaleRules.h"
#include "record/DataTypes.h"

namespace vireon {
namespace {

double TraceValueAt(const TDataMeas& record, std::int32_t column, int height, double y) {
  if (column < 0 || column >= record.FNumFields) return 0.0;
  const TFieldType& curve = record.FFields[static_cast<std::size_t>(column)];
  const bool time_curve = IsSampledType(record.FDataType) && curve.PerDiv < 1e-9;
  const VerticalScale scale(time_curve ? 1.0 : curve.PerDiv, curve.RefValue, curve.RefDiv,
                            DivisionCount(record), height, curve.ShowAsDb != 0);
  return scale.DisplayValueAt(y);
}

// Markers stay on the data: from the minimum usable x (a time record's first sample) to the
// last point.
double MarkerPosition(const TDataMeas& record, double domain) {
  const double lowest = record.IsSampled() ? record.FStartTime : record.FBinWidth[0];
  const double highest = record.XAt(record.FNumPoints - 1);
  return std::clamp(domain, std::min(lowest, highest), highest);
}

}  // namespace

std::optional<PointerReading> ReadPointer(TDataMeas& record, int width, int height, int x, int y) {
  if (record.FNumPoints < 2 || record.FFields[0].Values.size() < 2) return std::nullopt;
  const HorizontalAxis axis = HorizontalAxis::ForRecord(record, width);
  PointerReading reading;
  reading.index = record.IndexOf(axis.ValueAt(x));
  reading.domain = record.XAt(reading.index);
  reading.trace_a = TraceValueAt(record, record.FTraceA, height, y);
  reading.trace_b = TraceValueAt(record, record.FTraceB, height, y);
  return reading;
}

ClickEffect ApplyClick(TDataMeas& record, TDPMouseMode mode, int marker,
                       const PointerReading& reading) {
  ClickEffect effect;
  const bool time_record = IsSampledType(record.FDataType);
  switch (mode) {
    case TDPMouseMode::mmMarker:
      if (marker < 0 || marker >= 5) break;
      record.FMarkerX[static_cast<std::size_t>(marker)] =
          static_cast<float>(MarkerPosition(record, reading.domain));
      effect.marker_moved = marker;
      break;
    case TDPMouseMode::mmSetLWin:
      if (time_record && reading.index < record.FWinEnd) {
        record.FWinStart = reading.index;
        effect.record_changed = true;
      }
      break;
    case TDPMouseMode::mmSetRWin:
      if (time_record && reading.index > record.FWinStart) {
        record.FWinEnd = reading.index;
        effect.record_changed = true;
      }
      break;
    case TDPMouseMode::mmSetLHor:
      effect.record_changed = EnterViewStart(record, reading.domain);
      break;
    case TDPMouseMode::mmSetRHor:
      effect.record_changed = EnterViewStop(record, reading.domain);
      break;
    case TDPMouseMode::mmSetCent:
      effect.record_changed = EnterViewCentre(record, reading.domain);
      break;
    case TDPMouseMode::mmUnused:
    case TDPMouseMode::mmReadout:
    case TDPMouseMode::mmScript:
      break;
  }
  return effect;
}

}  // namespace vireon
