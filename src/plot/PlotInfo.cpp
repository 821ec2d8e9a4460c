#include "plot/PlotInfo.h"

#include "record/DataTypes.h"

namespace vireon {

PlotInfo DescribePlot(const TDataMeas* record) {
  PlotInfo info;
  if (record == nullptr) return info;
  const std::string_view name = DataTypeName(record->FDataType);
  info.data_type_name = name.empty() ? "unknown" : std::string(name);
  info.points = record->FNumPoints;
  info.curves = record->FNumFields;
  info.description = record->FTitle;
  info.sample_rate = record->FSampleRate;
  info.acquired = SplitDateTime(record->FTimeStamp).value_or(DateTimeParts{});
  if (record->FNumPoints < 1) return info;
  const std::int32_t last = record->FNumPoints - 1;
  info.first_x = record->XAt(0);
  info.last_x = record->XAt(last);
  if (last > 0) info.x_step = (info.last_x - info.first_x) / last;
  if (record->IsSampled()) {
    info.window_start = record->XAt(record->FWinStart);
    info.window_end = record->XAt(record->FWinEnd);
  }
  return info;
}

}  // namespace vireon
