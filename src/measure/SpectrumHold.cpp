#include "measure/SpectrumHold.h"

#include <algorithm>

#include "record/DataTypes.h"

namespace vireon {
namespace {

constexpr int kSpectrumColumn = 1;
constexpr int kHoldColumn = 2;

void RemoveHoldColumn(TDataMeas& record) {
  record.FFields[kHoldColumn].Values.clear();
  record.FFields[kHoldColumn].Name = "undefined";
  record.FNumFields = 2;
  record.FTraceB = -1;
  if (record.FTraceA == kHoldColumn) record.FTraceA = kSpectrumColumn;
  record.FDataType = kSpectrum;
}

}  // namespace

bool HasHoldColumn(const TDataMeas& record) {
  return record.FNumFields == 3 && record.FFields[kHoldColumn].Name == kHoldColumnName;
}

void UpdateSpectrumHold(TDataMeas& record, bool max_hold, bool min_hold) {
  if (!max_hold && !min_hold) {
    if (HasHoldColumn(record)) RemoveHoldColumn(record);
    return;
  }
  if (record.FDataType != kSpectrum && record.FDataType != kRtaBands) return;
  const DataArray& spectrum = record.FFields[kSpectrumColumn].Values;
  const auto points = static_cast<std::size_t>(std::max(record.FNumPoints, 0));
  if (spectrum.size() != points) return;
  TFieldType& hold = record.FFields[kHoldColumn];
  if (!HasHoldColumn(record) || hold.Values.size() != points) {
    const TFieldType& source = record.FFields[kSpectrumColumn];
    hold.Values = spectrum;
    hold.Name = kHoldColumnName;
    hold.Units = source.Units;
    hold.ShowAsDb = source.ShowAsDb;
    hold.InputKind = source.InputKind;
    hold.WrapPhase = 0;
    record.FNumFields = 3;
    if (record.FTraceB < 0) record.FTraceB = kHoldColumn;
    return;
  }
  for (std::size_t i = 0; i < points; ++i) {
    hold.Values[i] =
        max_hold ? std::max(hold.Values[i], spectrum[i]) : std::min(hold.Values[i], spectrum[i]);
  }
}

void RestartSpectrumHold(TDataMeas& record) {
  if (HasHoldColumn(record)) RemoveHoldColumn(record);
}

}  // namespace vireon
