#include "plot/PlotFormat.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "record/DataTypes.h"

namespace vireon {
namespace {

// Per-division values this small (or not a number) would flatten the curve to a line.
constexpr double kSmallestPerDiv = 1e-9;
constexpr std::int32_t kSpectrumLikeType = 8;

// The group of types that exchange formats; 0 for a type in none.
int FormatGroup(std::int32_t type) {
  switch (type) {
    case kTimeDomain:
    case kStepResponse:
      return 1;
    case kFrequencyResponse:
    case kSpectrum:
    case kSpectrumLikeType:
    case kComplexSpectrum:
      return 2;
    case kImpedance:
      return 3;
    case kRtaBands:
      return 4;
    default:
      return 0;
  }
}

// A curve the target has, or none.
bool TargetHasCurve(const TDataMeas& target, std::int32_t curve) {
  return curve == -1 || (curve >= 0 && curve < std::min(target.FNumFields, kMaxColumns));
}

}  // namespace

FormatFit PlotFormatFit(std::int32_t source_type, std::uint8_t target_type,
                        bool target_is_primary) {
  if (source_type == target_type) return FormatFit::Full;
  if (target_is_primary) return FormatFit::Refused;
  const int source_group = FormatGroup(source_type);
  if (source_group == 0) return FormatFit::KeepHorizontalRange;
  return source_group == FormatGroup(target_type) ? FormatFit::Full : FormatFit::Refused;
}

PlotFormat CapturePlotFormat(const TDataMeas& record) {
  PlotFormat format;
  format.DataType = record.FDataType;
  format.Curve0 = record.FTraceA;
  format.Curve1 = record.FTraceB;
  format.WeightFile = record.FWeighting ? record.FWeighting->Name : std::string();
  format.DelayShift = record.FDisplayDelay;
  format.Mkr = record.FMarkerX;
  for (std::size_t m = 0; m < format.MkrVisible.size(); ++m) {
    format.MkrVisible[m] = record.FMarkerOn[m] != 0;
  }
  format.HStart = record.FViewStart;
  format.HStop = record.FViewStop;
  format.HFormatLog = record.FLogX != 0;
  format.HGridLabelDown = record.FGridFlag != 0;
  format.VNumDiv = record.FNumDivisions;
  format.MagOffset = record.FDisplayScale;
  for (std::size_t c = 0; c < format.Curves.size(); ++c) {
    const TFieldType& field = record.FFields[c];
    format.Curves[c] = {field.ShowAsDb != 0, field.PerDiv, field.RefValue, field.RefDiv,
                        field.WrapPhase != 0};
  }
  format.ScaledForA = record.FTraceA;
  format.ScaledForB = record.FTraceB;
  if (record.FOverlayNames) {
    const StringList& names = *record.FOverlayNames;
    const std::size_t kept = std::min(names.size(), kFormatOverlays);
    format.Overlays.assign(names.begin(), names.begin() + static_cast<std::ptrdiff_t>(kept));
  }
  format.MPUse = record.FOverlayFlag1 != 0;
  format.MPShowLegends = record.FOverlayFlag2 != 0;
  format.Identification = record.FOverlayStyles;
  return format;
}

FormatFit ApplyPlotFormat(const PlotFormat& format, TDataMeas& target, bool target_is_primary,
                          const WeightingLoader& load_weighting) {
  const FormatFit fit = PlotFormatFit(format.DataType, target.FDataType, target_is_primary);
  if (fit == FormatFit::Refused) return fit;

  if (TargetHasCurve(target, format.Curve0)) target.FTraceA = format.Curve0;
  if (TargetHasCurve(target, format.Curve1)) target.FTraceB = format.Curve1;
  target.FWeighting.reset();
  if (!format.WeightFile.empty() && load_weighting) {
    target.FWeighting = load_weighting(format.WeightFile);
  }
  target.FDisplayDelay = format.DelayShift;
  target.FMarkerX = format.Mkr;
  for (std::size_t m = 0; m < format.MkrVisible.size(); ++m) {
    target.FMarkerOn[m] = format.MkrVisible[m] ? 1 : 0;
  }
  target.FMarkerCacheValid = 0;
  if (fit == FormatFit::Full) {
    target.FViewStart = format.HStart;
    target.FViewStop = format.HStop;
  }
  target.FLogX = format.HFormatLog ? 1 : 0;
  target.FGridFlag = format.HGridLabelDown ? 1 : 0;
  target.FNumDivisions = format.VNumDiv;
  target.FDisplayScale = format.MagOffset;
  for (std::size_t c = 0; c < format.Curves.size(); ++c) {
    const CurveFormat& curve = format.Curves[c];
    TFieldType& field = target.FFields[c];
    field.ShowAsDb = curve.ShowAsDb ? 1 : 0;
    field.PerDiv = curve.PerDiv >= kSmallestPerDiv ? curve.PerDiv : 1.0;
    field.RefValue = curve.RefValue;
    field.RefDiv = curve.RefDiv;
    field.WrapPhase = curve.WrapPhase ? 1 : 0;
  }
  if (format.Overlays.empty()) {
    target.ClearOverlayNames();
  } else {
    const std::size_t kept = std::min(format.Overlays.size(), kFormatOverlays);
    target.FOverlayNames.emplace(format.Overlays.begin(),
                                 format.Overlays.begin() + static_cast<std::ptrdiff_t>(kept));
  }
  target.FOverlayFlag1 = format.MPUse ? 1 : 0;
  target.FOverlayFlag2 = format.MPShowLegends ? 1 : 0;
  target.FOverlayStyles = format.Identification;
  return fit;
}

}  // namespace vireon
