#include "record/Averaging.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "record/DataTypes.h"
#include "record/NumericHelpers.h"

namespace vireon {
namespace {

constexpr std::array<std::string_view, 5> kAveragingNames = {"Log", "Mag", "Rms", "Coh", "Decay"};

struct Weights {
  double New = 1.0;
  double Old = 1.0;
};

// One magnitude average; returns the stored value unchanged when the result is not finite.
double AverageMagnitude(std::uint8_t type, double stored, double m, const Weights& w,
                        const DecayWeights& decay) {
  double result = m;
  switch (type) {
    case kAverageLog:
      if (stored <= 1e-20) return 0.0;
      result = std::pow(10.0, w.New * std::log10(std::max(1e-20, m)) + w.Old * std::log10(stored));
      break;
    case kAverageMag:
      result = w.New * m + w.Old * stored;
      break;
    case kAverageRms:
      result = std::sqrt(w.New * m * m + w.Old * stored * stored);
      break;
    case kAverageDecay:
      result = std::sqrt(decay.New * m * m + decay.Old * stored * stored);
      break;
    default:
      break;
  }
  return std::isfinite(result) ? result : stored;
}

// The level calibration of sound-pressure columns ("dBS..."), applied to the main result.
double LevelScale(const TDataMeas& target, int column, bool main_result,
                  const AnalysisContext& context) {
  if (!main_result || !context.MeasurementRunning) return 1.0;
  if (context.AcquisitionType == 4 || context.AcquisitionType == 5) return 1.0;
  const std::string& units = target.FFields[static_cast<std::size_t>(column)].Units;
  if (units.rfind("dBS", 0) != 0) return 1.0;
  return units == "dBSPs" ? context.LevelCalibration * 2.8284271247461900975
                          : context.LevelCalibration;
}

DataArray& Column(TDataMeas& record, int column) {
  return record.FFields[static_cast<std::size_t>(column)].Values;
}

}  // namespace

std::string_view AveragingName(std::uint8_t type) {
  return type < kAveragingNames.size() ? kAveragingNames[type] : std::string_view{};
}

bool IsAveraging(const TDataMeas& target) {
  return target.FAvgCount >= 1 && (target.FAvgTarget >= 2 || target.FAvgType == kAverageDecay);
}

void AverageArrays(TDataMeas& target, const TDataMeas& source, const AverageColumns& columns,
                   bool count, bool main_result, const AnalysisContext& context) {
  const auto valid = [](int c) { return c >= 0 && c < kMaxColumns; };
  if (!valid(columns.SourceMagnitude) || !valid(columns.TargetMagnitude)) return;
  const bool with_phase = valid(columns.SourcePhase) && valid(columns.TargetPhase);
  const std::int32_t n = target.FAvgCount;
  const Weights w = n < 1 ? Weights{} : Weights{1.0 / (n + 1), static_cast<double>(n) / (n + 1)};
  const std::uint8_t type = target.IsSampled() ? std::uint8_t{kAverageMag} : target.FAvgType;
  const auto points = static_cast<std::size_t>(std::max(target.FNumPoints, 0));

  DataArray new_mag = source.FFields[static_cast<std::size_t>(columns.SourceMagnitude)].Values;
  DataArray new_phase = with_phase
                            ? source.FFields[static_cast<std::size_t>(columns.SourcePhase)].Values
                            : DataArray{};
  const double scale = LevelScale(target, columns.TargetMagnitude, main_result, context);
  for (double& v : new_mag) v *= scale;
  for (double& v : new_phase) v *= scale;

  DataArray& mag = Column(target, columns.TargetMagnitude);
  mag.resize(points, 0.0);
  DataArray* phase = with_phase ? &Column(target, columns.TargetPhase) : nullptr;
  if (phase) phase->resize(points, 0.0);

  if (!IsAveraging(target)) {
    const auto copy_padded = [&](const DataArray& from, DataArray& to) {
      for (std::size_t i = 0; i < points; ++i) to[i] = i < from.size() ? from[i] : 0.0;
    };
    copy_padded(new_mag, mag);
    if (phase) copy_padded(new_phase, *phase);
    if (source.IsSampled()) {
      for (int c : {columns.TargetMagnitude, columns.TargetPhase}) {
        if (c != 0 && c != 1) continue;
        target.FDataType = source.FDataType;
        target.FPeakTime[static_cast<std::size_t>(c)] =
            source.FPeakTime[static_cast<std::size_t>(c)];
        target.FBinWidth[static_cast<std::size_t>(c)] =
            source.FBinWidth[static_cast<std::size_t>(c)];
      }
    }
  } else {
    if (type != kAverageCoh && !target.IsSampled()) target.FDelayA = 0.0;
    const std::size_t shared =
        std::min({points, new_mag.size(), with_phase ? new_phase.size() : new_mag.size()});
    for (std::size_t i = 0; i < shared; ++i) {
      if (type == kAverageCoh && phase) {
        const double re_old = PolarRe((*phase)[i], mag[i]);
        const double im_old = PolarIm((*phase)[i], mag[i]);
        mag[i] = w.New * new_mag[i] + w.Old * re_old;
        (*phase)[i] = w.New * new_phase[i] + w.Old * im_old;
        continue;
      }
      const double m = phase ? Hypot(new_mag[i], new_phase[i]) : new_mag[i];
      mag[i] = AverageMagnitude(type, mag[i], m, w, context.Decay);
    }
    for (std::size_t i = shared; i < points; ++i) mag[i] = 0.0;
    if (phase && type != kAverageCoh) std::fill(phase->begin(), phase->end(), 0.0);
  }
  if (count && target.FAvgTarget > 0) {
    target.FAvgCount = std::min(target.FAvgCount + 1, target.FAvgTarget);
  }
}

void AveragePoint(TDataMeas& record, std::int32_t index, int magnitude_column, int phase_column,
                  double new_phase, double new_magnitude, const AnalysisContext& context) {
  if (index < 0 || magnitude_column < 0 || magnitude_column >= kMaxColumns) return;
  const bool with_phase = phase_column >= 0 && phase_column < kMaxColumns;
  const auto i = static_cast<std::size_t>(index);
  DataArray& mag = Column(record, magnitude_column);
  if (mag.size() <= i) mag.resize(i + 1, 0.0);
  DataArray* phase = with_phase ? &Column(record, phase_column) : nullptr;
  if (phase && phase->size() <= i) phase->resize(i + 1, 0.0);

  if (!IsAveraging(record)) {
    mag[i] = new_magnitude;
    if (phase) (*phase)[i] = new_phase;
    return;
  }
  const std::int32_t n = record.FAvgCount;
  const Weights w{1.0 / n, static_cast<double>(n - 1) / n};
  if (record.FAvgType == kAverageCoh && phase) {
    const double re =
        w.New * PolarRe(new_phase, new_magnitude) + w.Old * PolarRe((*phase)[i], mag[i]);
    const double im =
        w.New * PolarIm(new_phase, new_magnitude) + w.Old * PolarIm((*phase)[i], mag[i]);
    mag[i] = Hypot(re, im);
    (*phase)[i] = PhaseDeg(re, im);
    return;
  }
  mag[i] = AverageMagnitude(record.FAvgType, mag[i], new_magnitude, w, context.Decay);
  if (phase) (*phase)[i] = 0.0;
}

}  // namespace vireon
