#pragma once

#include <random>
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

// Gaussian white noise of unit variance, the same for the same seed.
inline std::vector<double> Noise(std::size_t n, unsigned seed) {
  std::mt19937_64 random(seed);
  std::normal_distribution<double> gauss;
  std::vector<double> v(n);
  for (double& x : v) x = gauss(random);
  return v;
}

// y = h ⊛ x, circular over the length of x.
inline std::vector<double> CircularFilter(const std::vector<double>& h,
                                          const std::vector<double>& x) {
  std::vector<double> y(x.size(), 0.0);
  for (std::size_t i = 0; i < x.size(); ++i) {
    for (std::size_t j = 0; j < h.size(); ++j) y[i] += h[j] * x[(i + x.size() - j) % x.size()];
  }
  return y;
}

inline void MakePhaseColumn(TDataMeas& record, int column) {
  record.FFields[static_cast<std::size_t>(column)].Units = "deg";
}

}  // namespace vireon::fixtures
