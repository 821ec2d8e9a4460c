// Phase handling and sample-level processing of the record.
#include <algorithm>
#include <cmath>
#include <numeric>

#include "record/DataObj.h"
#include "record/NumericHelpers.h"

namespace vireon {

double TDataMeas::PhaseWithDelay(std::int32_t index, int column, bool subtract_180,
                                 double slope) const {
  if (index < 0 || index >= PointsIn(column)) return 0.0;
  const TFieldType& field = FFields[static_cast<std::size_t>(column)];
  double phase = field.Values[static_cast<std::size_t>(index)];
  if (subtract_180) phase -= 180.0;
  phase += slope * XAt(index);
  return field.WrapPhase ? WrapAngle(180.0, phase) : phase;
}

void TDataMeas::UnwrapPhase(int column, bool force, double start_x) {
  const bool phase_type = FDataType == kFrequencyResponse || FDataType == kSpectrum ||
                          FDataType == kImpedance || FDataType == kComplexSpectrum;
  if (!force && !phase_type) return;
  if (!IsPhase(column)) return;
  TFieldType& field = FFields[static_cast<std::size_t>(column)];
  if (field.Unwrapped) return;
  const std::int32_t n = IsSampled() ? PointsIn(column) : std::min(PointsIn(column), PointsIn(0));
  if (n < 5) return;
  if (start_x <= 0.001) start_x = XAt(1);
  std::int32_t i = 0;
  while (i < n && XAt(i) < start_x) ++i;
  if (n - i < 5) return;

  DataArray& p = field.Values;
  const auto at = [](std::int32_t j) { return static_cast<std::size_t>(j); };
  // Below a hundredth of the top frequency the slope is not trusted as a predictor.
  const double trusted_from = FEndX / 100.0;
  p[at(i)] = WrapAngle(180.0, p[at(i)]);
  const double first_step = XAt(i + 1) - XAt(i);
  if (first_step == 0) return;
  p[at(i + 1)] = NearestTurn(p[at(i)], p[at(i + 1)]);
  double slope = XAt(i) < trusted_from ? 0.0 : (p[at(i + 1)] - p[at(i)]) / first_step;
  int turns = 0;
  double previous = p[at(i + 1)];
  // Each point takes the whole turn that keeps the phase slope closest to the prediction.
  for (std::int32_t j = i + 2; j < n; ++j) {
    const double step = XAt(j) - XAt(j - 1);
    if (step == 0) return;
    const double v = 1.0 / step;
    double current = WrapAngle(180.0, p[at(j)]) - 360.0 * turns;
    const double s = (current - previous) * v;
    const double d = (s - slope) * v;
    const double turn_change = 360.0 * v * v;
    const double a = d - turn_change;
    const double b = d + turn_change;
    double q = s;
    if (std::fabs(a) < std::fabs(d)) {
      ++turns;
      current -= 360.0;
      q = a;
    } else if (std::fabs(b) < std::fabs(d)) {
      --turns;
      current += 360.0;
      q = b;
    }
    p[at(j)] = current;
    previous = current;
    slope = XAt(j) < trusted_from ? 0.0 : (2.0 * q + slope) / 3.0;
  }
  field.Unwrapped = 1;
}

void TDataMeas::ShiftPhases(double delay) {
  for (int c = 1; c < UsedColumns(); ++c) {
    if (!IsPhase(c)) continue;
    TFieldType& field = FFields[static_cast<std::size_t>(c)];
    for (std::int32_t j = 0; j < PointsIn(c); ++j) {
      field.Values[static_cast<std::size_t>(j)] -= delay * 360.0 * XAt(j);
    }
    field.Unwrapped = 0;
  }
}

void TDataMeas::RemoveDelay(double delay) {
  if (delay != 0) ShiftPhases(delay);
}

void TDataMeas::ApplyPendingDelay() {
  ShiftPhases(FDelayA);
  FDelayA = 0.0;
}

void TDataMeas::FindPeakTime(int channel) {
  if (channel < 0 || channel >= 2 || channel >= UsedColumns()) return;
  const DataArray& samples = FFields[static_cast<std::size_t>(channel)].Values;
  const auto end = samples.begin() + PointsIn(channel);
  if (end == samples.begin()) return;
  // max_element keeps the first of equal maxima.
  const auto peak = std::max_element(
      samples.begin(), end, [](double l, double r) { return std::fabs(l) < std::fabs(r); });
  const auto k = static_cast<double>(peak - samples.begin());
  FPeakTime[static_cast<std::size_t>(channel)] =
      FSampleRate > 0 ? FStartTime + k / FSampleRate : FStartTime;
}

void TDataMeas::RemoveMean() {
  DataArray& samples = FFields[0].Values;
  const std::int32_t n = PointsIn(0);
  if (n == 0) return;
  const auto end = samples.begin() + n;
  const double mean = std::accumulate(samples.begin(), end, 0.0) / n;
  for (auto it = samples.begin(); it != end; ++it) *it -= mean;
}

void TDataMeas::IntegrateToStep(double offset) {
  if (FDataType != kTimeDomain) return;
  const int channels = FNumFields == 2 ? 2 : 1;
  for (int c = 0; c < channels; ++c) {
    DataArray& samples = FFields[static_cast<std::size_t>(c)].Values;
    double sum = 0.0;
    for (std::int32_t j = 0; j < PointsIn(c); ++j) {
      sum += samples[static_cast<std::size_t>(j)] + offset;
      samples[static_cast<std::size_t>(j)] = sum;
    }
  }
  FDataType = kStepResponse;
}

}  // namespace vireon
