// The record's x axis, axis comparison and value reading.
#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <numbers>

#include "record/DataObj.h"
#include "record/NumericHelpers.h"

namespace vireon {
namespace {

// Rounded to nearest (ties to even), saturating at the 32-bit range.
std::int32_t RoundToIndex(double v) {
  const double rounded = std::nearbyint(v);
  if (rounded <= static_cast<double>(INT32_MIN)) return INT32_MIN;
  if (rounded >= static_cast<double>(INT32_MAX)) return INT32_MAX;
  return static_cast<std::int32_t>(rounded);
}

// A cheap natural logarithm from the exponent and the upper 20 mantissa bits: the axis key
// only has to be equal for equal axes.
double FastLn(double v) {
  const auto bits = std::bit_cast<std::uint64_t>(v);
  const auto exponent = static_cast<double>(static_cast<int>((bits >> 52) & 0x7FF) - 1023);
  const auto mantissa = static_cast<double>((bits >> 32) & 0xFFFFF) / 1048576.0;
  return (exponent + mantissa) * std::numbers::ln2;
}

bool IsPhaseUnits(const std::string& units) { return units == "deg" || units == "\xB0"; }

}  // namespace

bool TDataMeas::IsSampled() const { return IsSampledType(FDataType); }

double TDataMeas::XAt(std::int32_t index) const {
  if (IsSampled()) {
    const std::int32_t i = std::clamp(index, 0, std::max(FNumPoints - 1, 0));
    return FSampleRate > 0 ? FStartTime + i / static_cast<double>(FSampleRate) : FStartTime;
  }
  const std::int32_t points = PointsIn(0);
  if (points == 0) return 0.0;
  return FFields[0].Values[static_cast<std::size_t>(std::clamp(index, 0, points - 1))];
}

std::int32_t TDataMeas::IndexOf(double x) {
  const DataArray& column0 = FFields[0].Values;
  FNumPoints = static_cast<std::int32_t>(std::min<std::size_t>(column0.size(), INT32_MAX));
  const std::int32_t n = FNumPoints;
  if (n < 3 || std::isnan(x)) return 0;
  if (IsSampled()) {
    const double position = (x - FStartTime) * FSampleRate;
    if (std::isnan(position)) return 0;
    if (!(position < n)) return n - 1;
    return std::clamp(RoundToIndex(position), 0, n - 1);
  }
  const auto at = [&column0](std::int32_t i) { return column0[static_cast<std::size_t>(i)]; };
  std::int32_t low = 0;
  std::int32_t high = n - 1;
  while (high - low > 1) {
    const std::int32_t mid = low + (high - low) / 2;
    if (x < at(mid)) {
      high = mid;
    } else {
      low = mid;
    }
  }
  if (x < at(low) && x < at(high)) {
    low = std::max(low - 1, 0);
    high = std::max(high - 1, 0);
  } else if (x > at(low) && x > at(high)) {
    low = std::min(low + 1, n - 1);
    high = std::min(high + 1, n - 1);
  }
  // Halfway between two points the lower one wins.
  return std::fabs(x - at(low)) <= std::fabs(at(high) - x) ? low : high;
}

std::int32_t TDataMeas::IndexOfSide(double x, bool upward) {
  const std::int32_t found = IndexOf(x);
  if (found <= 0 || found >= FNumPoints - 1) return found;
  if (upward && x > XAt(found)) return found + 1;
  if (!upward && x < XAt(found)) return found - 1;
  return found;
}

double TDataMeas::AxisSignature() const {
  if (IsTimeAxisType(FDataType)) return -1.0;
  const DataArray& x = FFields[0].Values;
  double signature = 0.0;
  for (std::int32_t i = 1; i < PointsIn(0); ++i) {
    const double xi = x[static_cast<std::size_t>(i)];
    signature += xi == 0 ? std::numbers::pi : std::fabs(FastLn(xi * xi));
  }
  return signature;
}

double TDataMeas::CachedAxisSignature() {
  if (FAxisSignature == 0) FAxisSignature = AxisSignature();
  return FAxisSignature;
}

bool TDataMeas::SameAxis(TDataMeas& other) {
  bool same = false;
  if (IsSampled() || other.IsSampled()) {
    // Sampled records hold no x column: their axis is the sampling itself.
    same = IsSampled() && other.IsSampled() && FNumPoints == other.FNumPoints &&
           FSampleRate == other.FSampleRate && FStartTime == other.FStartTime;
  } else {
    const std::int32_t points = PointsIn(0);
    same = FNumPoints == other.FNumPoints && points == FNumPoints && other.PointsIn(0) == points &&
           std::equal(FFields[0].Values.begin(), FFields[0].Values.begin() + points,
                      other.FFields[0].Values.begin());
  }
  if (!same) {
    FAxisSignature = AxisSignature();
    other.FAxisSignature = other.AxisSignature();
  }
  return same;
}

bool TDataMeas::IsPhase(int column) const {
  return column >= 0 && column < UsedColumns() &&
         IsPhaseUnits(FFields[static_cast<std::size_t>(column)].Units);
}

bool TDataMeas::HasPhaseTrace() const {
  return (FTraceB > 0 && IsPhase(TraceColumn(1))) || (FTraceA > 0 && IsPhase(TraceColumn(0)));
}

int TDataMeas::TraceColumn(int trace) const {
  return std::min(UsedColumns() - 1, trace == 0 ? FTraceA : FTraceB);
}

int TDataMeas::ClampColumn(int column) const { return std::min(UsedColumns() - 1, column); }

int TDataMeas::TraceOf(int column) const {
  if (column < 0) return -1;
  if (TraceColumn(1) == column) return 1;
  if (TraceColumn(0) == column) return 0;
  return -1;
}

const DataArray* TDataMeas::ValueSource(int column, int slice) const {
  std::int64_t slice_index = slice;
  if (slice < 0) {
    if (column < 0) return nullptr;
    if (column < UsedColumns()) return &FFields[static_cast<std::size_t>(column)].Values;
    slice_index = column - UsedColumns();
  } else if (FPlotKind == 2) {
    slice_index = 0;
  }
  const auto slices =
      std::min<std::int64_t>(std::max(FSliceCount, 0), static_cast<std::int64_t>(FSlices.size()));
  if (slices == 0) return nullptr;
  if (slice_index >= slices) slice_index = 0;
  return &FSlices[static_cast<std::size_t>(slice_index)];
}

double TDataMeas::WeightingFactor(int column, std::int32_t index, int slice) {
  const bool weighted_type = FDataType == kFrequencyResponse || FDataType == kSpectrum ||
                             FDataType == kRtaBands || FDataType == kComplexSpectrum ||
                             (FDataType == kMaximumLevelCapability && column == 1);
  if (!FWeighting || !weighted_type || index >= PointsIn(0)) return 1.0;
  int tested = std::min(column, UsedColumns() - 1);
  if (FDataType == kMaximumLevelCapability && slice >= 0 && slice <= 3) {
    tested = slice < 2 ? 1 : 2;  // the bounding curves of column 1 and of column 2
  }
  if (tested < 0 || tested >= kMaxColumns) return 1.0;
  // Coherence is a ratio, not a level: weighting it would be meaningless.
  if (FFields[static_cast<std::size_t>(tested)].Name == "Coherence Function") return 1.0;
  return FWeighting->FactorAt(FFields[0].Values[static_cast<std::size_t>(index)]);
}

double TDataMeas::ValueAt(int column, std::int32_t index, int slice) {
  const DataArray* source = ValueSource(column, slice);
  if (source == nullptr || index < 0 || static_cast<std::size_t>(index) >= source->size()) {
    return 0.0;
  }
  const double raw = (*source)[static_cast<std::size_t>(index)];
  if (IsSampled() || FDataType == kImpedance || FDataType == kGroupDelay) return raw;
  return raw * DisplayFactor(slice) * WeightingFactor(column, index, slice);
}

double TDataMeas::DisplayFactor(int slice) const {
  if (IsSampled() || FDataType == kImpedance || FDataType == kGroupDelay) return 1.0;
  const bool unscaled_type =
      FDataType >= kMaximumLevelCapability && FDataType <= kDistortionVsFrequency;
  return slice < 0 && unscaled_type ? 1.0 : FDisplayScale;
}

bool TDataMeas::CheckLinearFreq() {
  if (IsSampled()) FAxisSignature = -1.0;
  if (FNumFields < 1 || FNumPoints <= 3) return false;
  if (IsSampled()) {
    FLinearFreq = 1;
    return true;
  }
  const bool fft_type =
      FDataType == kFrequencyResponse || FDataType == kSpectrum || FDataType == kComplexSpectrum;
  if (fft_type && FLinearFreq == 0) {
    // FFT bins of a 2m-point transform, compared in single precision.
    const std::int32_t n = FNumPoints;
    const std::int64_t m = Pow2Floor(n);
    bool linear = (n == m || n == m + 1) && PointsIn(0) == n;
    const double bins = 2.0 * static_cast<double>(m);
    for (std::int32_t i = 0; linear && i < n; ++i) {
      const double expected = static_cast<double>(FSampleRate) * i / bins;
      linear = static_cast<float>(FFields[0].Values[static_cast<std::size_t>(i)]) ==
               static_cast<float>(expected);
    }
    FLinearFreq = linear ? 1 : 0;
  }
  return FLinearFreq != 0;
}

}  // namespace vireon
