#include "app/cli/SampledRecord.h"

#include "record/DataTypes.h"

namespace vireon::cli {

TDataMeas SampledRecord(std::span<const SampleColumn> columns, std::int32_t length,
                        double full_scale, int rate, int bits) {
  TDataMeas record;
  record.FDataType = kTimeDomain;
  record.FSampleRate = rate;
  record.FSampleBits = bits;
  record.FNumFields = static_cast<std::int32_t>(columns.size());
  record.FNumPoints = length;
  record.AllocColumns();
  for (std::size_t c = 0; c < columns.size(); ++c) {
    const std::span<const std::int32_t> samples = columns[c].samples;
    for (std::size_t i = 0; i < static_cast<std::size_t>(length); ++i) {
      record.FFields[c].Values[i] = i < samples.size() ? samples[i] / full_scale : 0.0;
    }
    record.FFields[c].Name = columns[c].name;
  }
  record.FTraceA = 0;
  if (columns.size() > 1) record.FTraceB = 1;
  record.FXUnits = "sec";
  record.FStartTime = 0.0;
  record.FEndX = length > 0 ? (length - 1) / static_cast<double>(rate) : 0.0;
  return record;
}

}  // namespace vireon::cli
