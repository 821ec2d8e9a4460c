#include "measure/MlsImpulse.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "stimulus/MlsRecovery.h"

namespace vireon {
namespace {

// Whether every channel the recovery reads holds at least one period.
bool CanRecover(const TDataMeas& pass, const MlsTables& tables, int order, int channels) {
  const auto period = static_cast<std::int32_t>(tables.input_permutation.size());
  if (tables.order != order || period == 0 || pass.FSampleRate <= 0) return false;
  if (pass.FNumFields < channels || pass.FNumPoints < period) return false;
  for (int c = 0; c < channels; ++c) {
    if (pass.FFields[static_cast<std::size_t>(c)].Values.size() <
        static_cast<std::size_t>(pass.FNumPoints)) {
      return false;
    }
  }
  return true;
}

std::span<double> Samples(TDataMeas& pass, int column) {
  return std::span(pass.FFields[static_cast<std::size_t>(column)].Values)
      .first(static_cast<std::size_t>(pass.FNumPoints));
}

// The time axis of an impulse result: d samples of negative time.
double ImpulseStartTime(const TDataMeas& pass, std::int32_t converter_delay) {
  return -static_cast<double>(converter_delay) / pass.FSampleRate;
}

void PlaceTimeAxis(TDataMeas& pass, std::int32_t converter_delay) {
  pass.FStartTime = ImpulseStartTime(pass, converter_delay);
  pass.FEndX = static_cast<double>(pass.FNumPoints - 1) / pass.FSampleRate + pass.FStartTime;
}

std::size_t PeakIndex(std::span<const double> samples) {
  // max_element keeps the first of equal maxima.
  const auto peak = std::max_element(samples.begin(), samples.end(), [](double l, double r) {
    return std::fabs(l) < std::fabs(r);
  });
  return static_cast<std::size_t>(peak - samples.begin());
}

// The response is periodic with the sequence, so only the period itself is rotated; samples
// beyond it repeat its last value, as the recovery leaves them.
void RotateLeftWithinPeriod(std::span<double> samples, std::size_t period, std::size_t shift) {
  const auto first = samples.begin();
  std::rotate(first, first + static_cast<std::ptrdiff_t>(shift),
              first + static_cast<std::ptrdiff_t>(period));
  std::fill(first + static_cast<std::ptrdiff_t>(period), samples.end(), samples[period - 1]);
}

}  // namespace

bool RecoverSynchronousMlsImpulse(TDataMeas& pass, const MlsTables& tables, int order,
                                  std::int32_t converter_delay) {
  if (!CanRecover(pass, tables, order, 1)) return false;
  RecoverMLSImpulse(Samples(pass, 0), tables, order);
  PlaceTimeAxis(pass, converter_delay);
  (pass.FNumFields < 2 ? pass.FDelayB : pass.FDelayA) = pass.FStartTime;
  return true;
}

bool RecoverResyncMlsImpulses(TDataMeas& pass, const MlsTables& tables, int order,
                              std::int32_t converter_delay) {
  if (!CanRecover(pass, tables, order, 2)) return false;
  const std::size_t period = tables.input_permutation.size();
  for (const int column : {0, 1}) RecoverMLSImpulse(Samples(pass, column), tables, order);

  const auto reference_peak = static_cast<std::int64_t>(PeakIndex(Samples(pass, 1).first(period)));
  const auto length = static_cast<std::int64_t>(period);
  // A peak before sample d wraps around the period.
  const std::int64_t shift = ((reference_peak - converter_delay) % length + length) % length;
  for (const int column : {0, 1}) {
    RotateLeftWithinPeriod(Samples(pass, column), period, static_cast<std::size_t>(shift));
  }
  PlaceTimeAxis(pass, converter_delay);
  pass.FDelayA = pass.FStartTime;
  return true;
}

}  // namespace vireon
