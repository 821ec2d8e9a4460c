#include "plot/ui/FormatTabs.h"

#include "plot/CurveRules.h"
#include "record/DataTypes.h"

namespace vireon {
namespace {

constexpr std::int32_t kWaterfallKind = 2;
constexpr std::int32_t kPolarKind = 3;

// X-y kinds and waterfalls, with frequency types other than Impedance and Group Delay.
bool ShowsWeights(const TDataMeas& record) {
  const bool kind_fits = IsXyKind(record.FPlotKind) || record.FPlotKind == kWaterfallKind;
  return kind_fits && !IsTimeAxisType(record.FDataType) && record.FDataType != kImpedance &&
         record.FDataType != kGroupDelay;
}

// X-y kinds, with frequency types other than Impedance, RTA, Group Delay and Component Track.
bool ShowsDelay(const TDataMeas& record) {
  switch (record.FDataType) {
    case kImpedance:
    case kRtaBands:
    case kGroupDelay:
    case kComponentTrack:
      return false;
    default:
      return IsXyKind(record.FPlotKind) && !IsTimeAxisType(record.FDataType);
  }
}

}  // namespace

bool TraceShown(const TDataMeas& record, int trace) {
  const std::int32_t column = trace == 0 ? record.FTraceA : record.FTraceB;
  return column >= 0 && column < record.FNumFields;
}

std::vector<FormatTabEntry> VisibleFormatTabs(const TDataMeas& record, bool live_plot) {
  const bool polar = record.FPlotKind == kPolarKind;
  const bool waterfall = record.FPlotKind == kWaterfallKind;
  const bool shows_a = TraceShown(record, 0);
  const bool shows_b = TraceShown(record, 1) && !polar && !waterfall;

  std::vector<FormatTabEntry> tabs;
  if (!polar) {
    tabs.push_back(
        {FormatTab::Horizontal, IsTimeAxisType(record.FDataType) ? "Time" : "Frequency"});
  }
  if (!polar && !waterfall) {
    tabs.push_back({FormatTab::TraceA, "TraceA"});
    tabs.push_back({FormatTab::TraceB, "TraceB"});
  }
  if (shows_a) tabs.push_back({FormatTab::VScaleA, "VScaleA"});
  if (shows_b) tabs.push_back({FormatTab::VScaleB, "VScaleB"});
  if (!polar && !waterfall) {
    if (shows_a) tabs.push_back({FormatTab::VRefA, "VRefA"});
    if (shows_b) tabs.push_back({FormatTab::VRefB, "VRefB"});
  }
  if (IsXyKind(record.FPlotKind)) tabs.push_back({FormatTab::Markers, "Markers"});
  if (record.FDataType == kTimeDomain && !live_plot) {
    tabs.push_back({FormatTab::Windowing, "Windowing"});
  }
  if (ShowsWeights(record)) tabs.push_back({FormatTab::Weights, "Weights"});
  if (ShowsDelay(record)) tabs.push_back({FormatTab::Delay, "Delay"});
  tabs.push_back({FormatTab::Title, "Title"});
  tabs.push_back({FormatTab::Colors, "Colors"});
  if (record.FDataType == kComponentTrack || IsDistortionPlot(record)) {
    tabs.push_back({FormatTab::Distortion, "Distortion"});
  }
  if (IsXyKind(record.FPlotKind)) {
    tabs.push_back({FormatTab::MultiFile, "MultiFile"});
    tabs.push_back({FormatTab::MultiCtl, "MultiCtl"});
  }
  return tabs;
}

}  // namespace vireon
