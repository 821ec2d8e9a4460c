#include "plot/DefaultView.h"

#include <algorithm>

#include "plot/AutoScale.h"
#include "record/DataTypes.h"

namespace vireon {
namespace {

constexpr std::int32_t kDefaultDivisions = 8;

// The first x above zero that the curves may use: a log axis cannot start at 0 Hz.
double FirstUsableFrequency(const TDataMeas& record) {
  const DataArray& x = record.FFields[0].Values;
  const auto first_positive = std::find_if(
      x.begin(), x.end(), [&record](double f) { return f > 0.0 && f >= record.FBinWidth[0]; });
  return first_positive == x.end() ? 0.1 : *first_positive;
}

}  // namespace

void ApplyDefaultView(TDataMeas& record, const PlotOptions& options) {
  if (record.FNumDivisions >= 1 || record.FNumPoints < 2 || record.FFields[0].Values.size() < 2) {
    return;
  }
  record.FNumDivisions = kDefaultDivisions;
  if (record.FTraceA < 0 && record.FTraceB < 0) record.FTraceA = record.IsSampled() ? 0 : 1;
  const double last_x = record.XAt(record.FNumPoints - 1);
  if (IsTimeAxisType(record.FDataType)) {
    record.FLogX = 0;
    record.FViewStart = record.XAt(0);
    record.FViewStop = last_x;
  } else {
    record.FLogX = 1;
    record.FViewStart = FirstUsableFrequency(record);
    record.FViewStop = last_x;
  }
  for (int column = 0; column < record.FNumFields; ++column) {
    if (!record.IsPhase(column)) continue;
    TFieldType& phase = record.FFields[static_cast<std::size_t>(column)];
    phase.WrapPhase = 1;
    phase.PerDiv = 45.0;
    phase.RefValue = 180.0;
    phase.RefDiv = kDefaultDivisions;
  }
  AutoScaleTraces(record, options);
}

}  // namespace vireon
