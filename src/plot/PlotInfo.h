#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "common/DateTime.h"
#include "record/DataObj.h"

namespace vireon {

// What a script learns about the record a plot shows.
struct PlotInfo {
  std::string data_type_name = "none";  // "unknown" for a type the plot does not know
  std::int32_t points = 0;
  std::int32_t curves = 0;
  double first_x = 0.0;
  double last_x = 0.0;
  double x_step = 0.0;  // between neighbouring points (their mean spacing when not sampled)
  std::string description = "data not present";
  DateTimeParts acquired;  // all zero when the stored date is not a date
  std::int32_t sample_rate = 0;
  std::optional<double> window_start;  // time records: the analysis window's times
  std::optional<double> window_end;
};

// The information of the shown record, or of no record.
PlotInfo DescribePlot(const TDataMeas* record);

}  // namespace vireon
