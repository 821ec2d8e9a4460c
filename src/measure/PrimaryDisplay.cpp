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

PrimaryDisplay::PrimaryDisplay(TDataMeas initial) { time_.record = std::move(initial); }

void PrimaryDisplay::Refresh(Slot& slot, const TDataMeas& result) {
  if (result.FNumPoints <= 0) return;
  TDataMeas next = result;
  if (slot.has_result && SameLayout(slot.record, next)) {
    KeepView(slot.record, next);
  } else {
    ApplyDefaultView(next, PlotOptions{});
  }
  slot.record = std::move(next);
  slot.has_result = true;
}

void PrimaryDisplay::TakeResults(const TDataMeas& frequency, const TDataMeas& time) {
  Refresh(frequency_, frequency);
  Refresh(time_, time);
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
