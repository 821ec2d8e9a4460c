#include "plot/CurveRules.h"

#include <cmath>

#include "record/DataTypes.h"

namespace vireon {

bool IsDistortionPlot(const TDataMeas& record) {
  return record.FDataType == kFrequencyResponse && (record.FPlotKind == 6 || record.FPlotKind == 7);
}

bool ShowsDistortionPercent(const TDataMeas& record, int column, const PlotOptions& options) {
  if (!options.DistortionAsPercent || column <= 1 || column >= kMaxColumns) return false;
  if (record.FDataType != kComponentTrack && !IsDistortionPlot(record)) return false;
  return record.FFields[static_cast<std::size_t>(column)].Units == "dB";
}

double PercentOfDb(double db) { return 100.0 * std::pow(10.0, db / 20.0); }

}  // namespace vireon
