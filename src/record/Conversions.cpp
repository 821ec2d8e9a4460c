#include "record/Conversions.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <numbers>

#include "common/VireonError.h"
#include "record/DataTypes.h"
#include "record/FASTtransforms.h"
#include "record/FftWindows.h"
#include "record/NumericHelpers.h"
#include "record/PhaseUnits.h"
#include "record/SlidingWind.h"

namespace vireon {
namespace {

bool IsWaveletAcquisition(std::int32_t type) { return type >= 21 && type <= 24; }

DataArray& Column(TDataMeas& record, int column) {
  return record.FFields[static_cast<std::size_t>(column)].Values;
}

void ClearColumns(TDataMeas& record, int from) {
  for (int c = from; c < kMaxColumns; ++c) Column(record, c).clear();
}

// Fills column 0 with the bin frequencies fs·i/n of `points` bins.
void BinFrequencies(TDataMeas& record, std::int32_t points, std::int64_t n) {
  DataArray& x = Column(record, 0);
  x.resize(static_cast<std::size_t>(points));
  for (std::int32_t i = 0; i < points; ++i) {
    x[static_cast<std::size_t>(i)] =
        static_cast<double>(record.FSampleRate) * i / static_cast<double>(n);
  }
}

}  // namespace

void ToPolar(std::span<double> re, std::span<double> im) {
  const std::size_t count = std::min(re.size(), im.size());
  for (std::size_t k = 0; k < count; ++k) {
    const double magnitude = Hypot(re[k], im[k]);
    im[k] = PhaseDeg(re[k], im[k]);
    re[k] = magnitude;
  }
}

void ToRectangular(std::span<double> mag, std::span<double> deg) {
  const std::size_t count = std::min(mag.size(), deg.size());
  for (std::size_t k = 0; k < count; ++k) {
    const double re = PolarRe(deg[k], mag[k]);
    deg[k] = PolarIm(deg[k], mag[k]);
    mag[k] = re;
  }
}

void WindowedFFT(TDataMeas& record, std::int32_t source_length, bool two_channels,
                 std::int32_t fft_length, double gain_b, double gain_a, AnalysisContext& context) {
  if (record.FWinStart >= record.FWinEnd || fft_length < 2) return;
  const auto n = static_cast<std::size_t>(fft_length);
  const auto source = static_cast<std::size_t>(std::max(source_length, 1));
  two_channels = two_channels && record.FNumFields > 1;
  const bool sliding = IsHalfWindow(record.FWindowType) && context.FrequencyDependentWindow &&
                       !IsWaveletAcquisition(context.AcquisitionType);
  DataArray& a = Column(record, 0);
  if (sliding) {
    const auto size = static_cast<std::int64_t>(a.size());
    const std::int64_t first = std::clamp<std::int64_t>(record.FWinStart, 0, size);
    const std::int64_t last =
        std::clamp<std::int64_t>(record.FWinEnd + std::int64_t{1}, first, size);
    for (std::int64_t i = first; i < last; ++i) a[static_cast<std::size_t>(i)] *= gain_a;
    SlidingTailWindow(a, record.FWinStart, record.FWinEnd, record.FSampleRate, false);
    a.resize(n, 0.0);
    if (two_channels) Column(record, 1).resize(n, 0.0);
    record.FEndX = kNyquistFactor * record.FSampleRate;
  } else {
    ApplyTimeWindow(record, record.FWindowType, fft_length, gain_a, gain_b, false, context);
    a.resize(n);
    std::fill(a.begin() + static_cast<std::ptrdiff_t>(std::min(source, n)), a.end(), 0.0);
    if (two_channels) {
      DataArray& b = Column(record, 1);
      const double held = b.empty() ? 0.0 : b[std::min(source, b.size()) - 1];
      b.resize(n);
      std::fill(b.begin() + static_cast<std::ptrdiff_t>(std::min(source, n)), b.end(), held);
    }
  }
  record.FNumPoints = fft_length;
  if (two_channels) Column(record, 3) = std::move(Column(record, 1));
  Column(record, 1) = std::move(a);
  Column(record, 0).clear();
  ForwardFFT(Column(record, 1), Column(record, 2));
  if (two_channels) ForwardFFT(Column(record, 3), Column(record, 4));
}

namespace {

void TransformToFrequencyResponse(TDataMeas& record) {
  if (record.FDataType != kTimeDomain || record.FNumPoints < 2) return;
  const std::int64_t n = Pow2Floor(std::min<std::int64_t>(
      record.FNumPoints, static_cast<std::int64_t>(Column(record, 0).size())));
  if (n < 2) return;
  const bool two =
      record.FNumFields > 1 && static_cast<std::int64_t>(Column(record, 1).size()) >= n;
  const auto bins = static_cast<std::size_t>(n / 2 + 1);
  DataArray a(Column(record, 0).begin(), Column(record, 0).begin() + n);
  DataArray b =
      two ? DataArray(Column(record, 1).begin(), Column(record, 1).begin() + n) : DataArray{};
  ClearColumns(record, 0);
  const auto transform = [&](DataArray& re, int re_column) {
    DataArray im;
    ForwardFFT(re, im);
    re.resize(bins);
    im.resize(bins);
    ToPolar(re, im);
    Column(record, re_column) = std::move(re);
    Column(record, re_column + 1) = std::move(im);
  };
  transform(a, 1);
  if (two) transform(b, 3);
  record.FNumPoints = static_cast<std::int32_t>(bins);
  BinFrequencies(record, record.FNumPoints, n);
  record.FDataType = kFrequencyResponse;
  record.FNumFields = two ? 5 : 3;
  if (!record.FTitleLocked) record.FTitle = "Frequency Response Data";
  record.FLinearFreq = 1;
  for (TFieldType& field : record.FFields) field.Unwrapped = 0;
  record.FXUnits = "Hz";
  const auto name = [&](int column, const char* text, bool phase) {
    TFieldType& field = record.FFields[static_cast<std::size_t>(column)];
    field.Name = text;
    field.ShowAsDb = phase ? 0 : 1;
    if (phase) MarkAsPhase(field);
  };
  name(1, "Frequency Response Mag[A]", false);
  name(2, "Frequency Response Ang[A]", true);
  if (two) {
    name(3, "Frequency Response Mag[B]", false);
    name(4, "Frequency Response Ang[B]", true);
  }
  const double fs = record.FSampleRate;
  record.FEndX = fs / 2 - fs / static_cast<double>(bins);
  record.FChanged = 1;
  record.FAxisSignature = record.AxisSignature();
}

}  // namespace

void ToFrequencyResponse(TDataMeas& record) {
  try {
    TransformToFrequencyResponse(record);
  } catch (const std::bad_alloc&) {
    throw VireonError("Couldn't set array size!");
  }
}

void ToTimeDomain(TDataMeas& record, const AnalysisContext& context) {
  const std::uint8_t type = record.FDataType;
  if (type != kFrequencyResponse && type != kSpectrum && type != kComplexSpectrum) return;
  if (record.FNumFields <= 2 || !record.FLinearFreq) return;
  const std::int32_t count = record.FNumPoints;
  const std::int64_t m = Pow2Floor(count);
  if (count < 3 || (count != m && count != m + 1)) return;
  for (int c = 0; c < 3; ++c) {
    if (Column(record, c).size() != static_cast<std::size_t>(count)) return;
  }
  const DataArray& x = Column(record, 0);
  const DataArray& mag = Column(record, 1);
  DataArray& phase = Column(record, 2);
  for (std::int32_t i = 0; i < count; ++i) {
    phase[static_cast<std::size_t>(i)] -= x[static_cast<std::size_t>(i)] * 360.0 * record.FDelayA;
  }
  record.FDelayA = 0.0;

  const auto length = static_cast<std::size_t>(2 * m);
  DataArray re(length, 0.0), im(length, 0.0);
  for (std::size_t j = 0; j < static_cast<std::size_t>(count); ++j) {
    re[j] = PolarRe(phase[j], mag[j]);
    im[j] = PolarIm(phase[j], mag[j]);
    if (j > 0 && j < length - j) {
      re[length - j] = re[j];
      im[length - j] = -im[j];
    }
  }
  const auto top = static_cast<std::size_t>(m);
  if (count == m) {
    // The Nyquist bin is missing: extrapolate magnitude and phase linearly from the last two
    // bins. (A magnitude difference alone would put an alternating term on a flat response.)
    const std::size_t l = top - 1;
    const double d = WrapAngle(180.0, phase[l] + (phase[l] - phase[l - 1]));
    re[top] = std::max(0.0, 2.0 * mag[l] - mag[l - 1]) * std::cos(d * std::numbers::pi / 180.0);
  }
  im[top] = 0.0;
  InverseFFT(re, im);

  const auto delay = static_cast<std::size_t>(std::max(context.ConverterDelay, 0)) % length;
  std::rotate(re.rbegin(), re.rbegin() + static_cast<std::ptrdiff_t>(delay), re.rend());
  const double fs = record.FSampleRate;
  ClearColumns(record, 0);
  Column(record, 0) = std::move(re);
  record.FNumPoints = static_cast<std::int32_t>(length);
  record.FStartTime = fs > 0 ? -static_cast<double>(delay) / fs : 0.0;
  record.FDelayA = record.FStartTime;
  record.FNumFields = 1;
  record.FTraceA = 0;
  record.FTraceB = -1;
  TFieldType& field = record.FFields[0];
  field.Name = "Time Domain Data";
  field.Units.assign(1, 'U');  // (a one-letter literal trips a false -Wrestrict in GCC 12)
  field.ShowAsDb = context.TimeLogMagDef;
  record.FEndX = fs > 0 ? static_cast<double>(length - 1) / fs + record.FStartTime : 0.0;
  record.FDataType = kTimeDomain;
  record.FViewStart = record.FStartTime;
  record.FViewStop = record.FEndX;
  record.FBinWidth[0] = 0.0;
  record.FWinStart = record.FWinStart2 = 0;
  record.FWinEnd = record.FWinEnd2 = static_cast<std::int32_t>(length - 1);
  record.FXUnits = "sec";
  record.FLogX = 0;
  record.FChanged = 1;
  record.FMarkerCacheValid = 0;
  record.FAxisSignature = -1;
}

void ToSpectrum(TDataMeas& target, const TDataMeas& source, bool keep_low_bins,
                AnalysisContext& context) {
  if (source.FDataType != kTimeDomain || source.FNumPoints < 16) return;
  const auto n = static_cast<std::int32_t>(Pow2Floor(context.FftLength));
  context.FftLength = n;
  TDataMeas copy;
  copy.CopyFrom(source);
  if (copy.FWinStart == copy.FWinEnd) {
    copy.FWinStart = 0;
    copy.FWinEnd = copy.FNumPoints - 1;
  }
  const double fs = source.FSampleRate;
  const std::uint8_t kind_a = source.FFields[0].InputKind;
  const std::uint8_t kind_b = source.FFields[1].InputKind;
  copy.FBinWidth[0] = fs / std::abs(copy.FWinEnd - copy.FWinStart);
  WindowedFFT(copy, source.FNumPoints, false, n, 1.0, std::numbers::sqrt2, context);
  if (IsHalfWindow(copy.FWindowType) && context.FrequencyDependentWindow) {
    copy.FBinWidth[0] = fs / (n - 1);
  }
  const std::int32_t points = n / 2 + 1;
  Column(copy, 3).clear();
  Column(copy, 4).clear();
  Column(copy, 1).resize(static_cast<std::size_t>(points));
  Column(copy, 2).resize(static_cast<std::size_t>(points));
  copy.FNumPoints = points;
  BinFrequencies(copy, points, n);
  copy.FDataType = kSpectrum;
  copy.FNumFields = 3;
  copy.FLinearFreq = 1;
  copy.FXUnits = "Hz";
  copy.FFields[0].Units = "Hz";
  ToPolar(Column(copy, 1), Column(copy, 2));
  if (!keep_low_bins) {
    const double last = std::min<double>(points - 1, std::round(n * copy.FBinWidth[0] / fs) + 1);
    for (std::int32_t k = 0; k <= static_cast<std::int32_t>(last); ++k) {
      Column(copy, 1)[static_cast<std::size_t>(k)] = 1e-15;
    }
  }
  TFieldType& magnitude = copy.FFields[1];
  magnitude.Name = "Frequency Domain Mag[A]";
  magnitude.ShowAsDb = 1;
  magnitude.Units = "dB";
  magnitude.InputKind = kind_a;
  TFieldType& phase = copy.FFields[2];
  MarkAsPhase(phase);
  phase.ShowAsDb = 0;
  phase.Unwrapped = 0;
  phase.InputKind = kind_b;
  copy.FStartTime = fs / n;
  copy.FEndX = kNyquistFactor * fs;
  copy.FChanged = 1;
  const std::uint8_t title_locked = target.FTitleLocked;
  const std::uint8_t avg_type = target.FAvgType;
  target.CopyFrom(copy);
  target.FTitleLocked = title_locked;
  target.FAvgType = avg_type;
  target.FChanged = 1;
}

double SingleFrequencyMagnitude(const TDataMeas& record, double frequency) {
  const double fs = record.FSampleRate;
  const DataArray& x = record.FFields[0].Values;
  if (!(fs > 0) || frequency >= fs / 2 || x.empty()) return 0.0;
  const std::size_t n =
      std::min<std::size_t>(x.size(), static_cast<std::size_t>(std::max(record.FNumPoints, 0)));
  if (n == 0) return 0.0;
  const std::size_t m = (n - 1) / 2;
  const double a = 2.0 * std::numbers::pi * frequency / fs;
  double c = x[0] / 2.0;
  double s = 0.0;
  for (std::size_t i = 1; i <= m; ++i) {
    c += x[i] * std::cos(a * static_cast<double>(i));
    s -= x[i] * std::sin(a * static_cast<double>(i));
  }
  return std::sqrt(c * c + s * s) / 4.0;
}

}  // namespace vireon
