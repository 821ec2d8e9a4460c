#pragma once

#include <vector>

#include "record/DataObj.h"

namespace vireon::fixtures {

// A frequency-like record: column 0 holds x, the other columns the given curves.
inline TDataMeas FrequencyRecord(std::uint8_t type, const std::vector<double>& x,
                                 const std::vector<std::vector<double>>& curves) {
  TDataMeas record;
  record.FDataType = type;
  record.FNumPoints = static_cast<std::int32_t>(x.size());
  record.FNumFields = static_cast<std::int32_t>(curves.size() + 1);
  record.AllocColumns();
  record.FFields[0].Values = x;
  for (std::size_t c = 0; c < curves.size(); ++c) record.FFields[c + 1].Values = curves[c];
  record.FStartTime = x.empty() ? 0.0 : x.front();
  record.FEndX = x.empty() ? 0.0 : x.back();
  return record;
}

// A one- or two-channel time record.
inline TDataMeas TimeRecord(std::int32_t sample_rate, double start_time,
                            const std::vector<std::vector<double>>& channels) {
  TDataMeas record;
  record.FDataType = kTimeDomain;
  record.FSampleRate = sample_rate;
  record.FStartTime = start_time;
  record.FNumPoints = static_cast<std::int32_t>(channels.front().size());
  record.FNumFields = static_cast<std::int32_t>(channels.size());
  record.AllocColumns();
  for (std::size_t c = 0; c < channels.size(); ++c) record.FFields[c].Values = channels[c];
  return record;
}

inline void MakePhaseColumn(TDataMeas& record, int column) {
  record.FFields[static_cast<std::size_t>(column)].Units = "deg";
}

}  // namespace vireon::fixtures
