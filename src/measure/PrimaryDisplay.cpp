#include "measure/PrimaryDisplay.h"

#include <utility>

#include "plot/DefaultView.h"

namespace vireon {
namespace {

bool SameLayout(const TDataMeas& a, const TDataMeas& b) {
  return a.FDataType == b.FDataType && a.FNumFields == b.FNumFields;
}

// What the user set on the plot of the previous result: its range, scales, traces and markers.
void KeepView(const TDataMeas& shown, TDataMeas& result) {
  result.FViewStart = shown.FViewStart;
  result.FViewStop = shown.FViewStop;
  result.FLogX = shown.FLogX;
  result.FNumDivisions = shown.FNumDivisions;
  result.FGridFlag = shown.FGridFlag;
  result.FTraceA = shown.FTraceA;
  result.FTraceB = shown.FTraceB;
  result.FDisplayDelay = shown.FDisplayDelay;
  result.FMarkerX = shown.FMarkerX;
  result.FMarkerOn = shown.FMarkerOn;
  result.FMarkerCacheValid = 0;
  result.FColors = shown.FColors;
  result.FDbRange = shown.FDbRange;
  result.FOverlayNames = shown.FOverlayNames;
  result.FOverlayFlag1 = shown.FOverlayFlag1;
  result.FOverlayFlag2 = shown.FOverlayFlag2;
  result.FOverlayStyles = shown.FOverlayStyles;
  for (int column = 0; column < kMaxColumns; ++column) {
    const TFieldType& from = shown.FFields[column];
    TFieldType& to = result.FFields[column];
    to.ShowAsDb = from.ShowAsDb;
    to.PerDiv = from.PerDiv;
    to.RefValue = from.RefValue;
    to.RefDiv = from.RefDiv;
    to.WrapPhase = from.WrapPhase;
  }
}

}  // namespace

PrimaryDisplay::PrimaryDisplay(TDataMeas initial, WeightingLoader load_weighting, int acq_type)
    : load_weighting_(std::move(load_weighting)), format_index_(KeptViewItem(acq_type)) {
  time_.record = std::move(initial);
}

void PrimaryDisplay::Refresh(Slot& slot, const TDataMeas& result) {
  if (result.FNumPoints <= 0) return;
  TDataMeas next = result;
  if (slot.has_result && !slot.new_view && SameLayout(slot.record, next)) {
    KeepView(slot.record, next);
  } else {
    ApplyNewView(slot, next);
  }
  slot.record = std::move(next);
  slot.has_result = true;
  slot.new_view = false;
}

void PrimaryDisplay::ApplyNewView(const Slot& slot, TDataMeas& result) {
  ApplyDefaultView(result, PlotOptions{});
  const auto fits = [&result](const std::optional<PlotFormat>& format) {
    return format && format->DataType == result.FDataType;
  };
  if (fits(pre_format_)) {
    ApplyPlotFormat(*pre_format_, result, true, load_weighting_);
    pre_format_.reset();
  } else if (const auto& kept = slot.kept[static_cast<std::size_t>(format_index_)]; fits(kept)) {
    ApplyPlotFormat(*kept, result, true, load_weighting_);
  }
}

void PrimaryDisplay::SelectAcquisition(int acq_type) {
  const int index = KeptViewItem(acq_type);
  if (index == format_index_) return;
  for (Slot* slot : {&frequency_, &time_}) {
    if (auto shown = ShownView(*slot)) {
      slot->kept[static_cast<std::size_t>(format_index_)] = std::move(shown);
    }
    slot->new_view = true;
  }
  format_index_ = index;
}

void PrimaryDisplay::TakeResults(const TDataMeas& frequency, const TDataMeas& time) {
  Refresh(frequency_, frequency);
  Refresh(time_, time);
}

std::optional<PlotFormat> PrimaryDisplay::ShownView(const Slot& slot) const {
  // Right after a change of type the slot still holds the previous type's result.
  if (!slot.has_result || slot.new_view) return std::nullopt;
  return CapturePlotFormat(slot.record);
}

AcquisitionViews PrimaryDisplay::KeptViews() const {
  AcquisitionViews views{frequency_.kept, time_.kept};
  const auto current = static_cast<std::size_t>(format_index_);
  if (auto shown = ShownView(frequency_)) views.frequency[current] = std::move(shown);
  if (auto shown = ShownView(time_)) views.time[current] = std::move(shown);
  return views;
}

void PrimaryDisplay::SetKeptViews(const AcquisitionViews& views) {
  const auto take = [current = static_cast<std::size_t>(format_index_), this](
                        Slot& slot, const AcquisitionViews::Kept& taken) {
    for (std::size_t item = 0; item < slot.kept.size(); ++item) {
      const std::optional<PlotFormat>& view = taken[item];
      slot.kept[item] = view && IsShowableView(*view) ? view : std::nullopt;
    }
    const std::optional<PlotFormat>& mine = slot.kept[current];
    if (const auto shown = ShownView(slot); shown && mine && *mine != *shown) slot.new_view = true;
  };
  take(frequency_, views.frequency);
  take(time_, views.time);
}

TDataMeas& PrimaryDisplay::Shown() { return SlotOf(ShownDomain()).record; }

PrimaryDisplay::Domain PrimaryDisplay::ShownDomain() const {
  if (SlotOf(domain_).has_result) return domain_;
  const Domain other = domain_ == Domain::kTime ? Domain::kFrequency : Domain::kTime;
  return SlotOf(other).has_result ? other : Domain::kTime;  // the initial record
}

bool PrimaryDisplay::CanToggle() const { return frequency_.has_result && time_.has_result; }

void PrimaryDisplay::Toggle() {
  if (CanToggle()) domain_ = ShownDomain() == Domain::kTime ? Domain::kFrequency : Domain::kTime;
}

}  // namespace vireon
