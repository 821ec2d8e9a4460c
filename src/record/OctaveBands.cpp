#include "record/OctaveBands.h"

#include <algorithm>
#include <cmath>
#include <complex>

#include "record/Averaging.h"
#include "record/DataTypes.h"
#include "record/FASTtransforms.h"
#include "record/FftWindows.h"
#include "record/NumericHelpers.h"
#include "record/TransferFunction.h"

namespace vireon {
namespace {

// Share of bin k (u·(k − ½) .. u·(k + ½)) lying below frequency e, logarithmic within the bin.
double ShareBelow(std::size_t k, double e, double u, bool lower_edge) {
  if (k == 0) {
    if (e > u / 2) return 1.0;
    return lower_edge ? 1e-9 : 0.0;
  }
  const double lo = u * (static_cast<double>(k) - 0.5);
  const double hi = u * (static_cast<double>(k) + 0.5);
  if (e > hi) return 1.0;
  if (e < lo) return 0.0;
  return std::log(e / lo) / std::log(hi / lo);
}

// Mean square of the four-term Blackman-Harris window (code 2) with its gain factor: the
// factor that turns the band's windowed power back into the signal's power.
double WindowPowerGain() {
  const std::array<double, 6> a = WindowCoefficients(kBlackmanHarris4Window);
  double mean_square = a[0] * a[0];
  for (std::size_t m = 1; m < a.size(); ++m) mean_square += a[m] * a[m] / 2;
  const double factor = WindowGainFactor(kBlackmanHarris4Window);
  return factor * factor * mean_square;
}

struct Spectrum {
  DataArray Re, Im;
};

// Whole-record gate, window and transform of each used channel of an n-point copy.
std::vector<Spectrum> ChannelSpectra(const TDataMeas& source, std::int32_t n, int channels,
                                     std::uint8_t window, AnalysisContext& context) {
  TDataMeas copy;
  copy.CopyFrom(source);
  copy.FNumPoints = n;
  copy.FNumFields = channels;
  copy.AllocColumns();
  copy.FWinStart = copy.FWinStart2 = 0;
  copy.FWinEnd = copy.FWinEnd2 = n - 1;
  ApplyTimeWindow(copy, window, n, 1.0 / n, 1.0 / n, false, context);
  std::vector<Spectrum> spectra;
  for (int c = 0; c < channels; ++c) {
    Spectrum s{std::move(copy.FFields[static_cast<std::size_t>(c)].Values), {}};
    ForwardFFT(s.Re, s.Im);
    spectra.push_back(std::move(s));
  }
  return spectra;
}

void SetBandTarget(TDataMeas& target, const TDataMeas& source, const BandLayout& layout) {
  const std::size_t bands = layout.Centres.size();
  target.FNumPoints = static_cast<std::int32_t>(bands);
  for (int c = 0; c < kMaxColumns; ++c) {
    DataArray& v = target.FFields[static_cast<std::size_t>(c)].Values;
    if (!v.empty() || c < target.FNumFields) v.resize(bands, 0.0);
  }
  target.FFields[0].Values = layout.Centres;
  target.FFields[0].Units = "Hz";
  target.FTraceA = 1;
  target.FDataType = kRtaBands;
  target.FRtaFlag = 1;
  target.FLinearFreq = 0;
  target.FStartTime = bands > 0 ? layout.Lower(0) : 0.0;
  target.FEndX = bands > 0 ? layout.Upper(bands - 1) : 0.0;
  target.FSampleRate = source.FSampleRate;
  target.FXUnits = "Hz";
  target.FBinWidth = {target.FStartTime, target.FStartTime};
  target.FChanged = 1;
}

double Limit(double upper, const TDataMeas& source) {
  return std::min(upper, kNyquistFactor * source.FSampleRate);
}

}  // namespace

double BandLayout::Lower(std::size_t band) const {
  return Centres[band] / std::pow(2.0, Octaves / 2);
}

double BandLayout::Upper(std::size_t band) const {
  return Centres[band] * std::pow(2.0, Octaves / 2);
}

BandLayout MakeBandLayout(double upper, double lower, double octaves) {
  BandLayout layout;
  layout.Octaves = octaves;
  if (!(octaves > 0) || !(upper > 0)) return layout;
  const double r = std::pow(2.0, octaves);
  // A lower limit of 0 would never be reached: stop at a thousandth of a hertz.
  const double floor = std::max(lower, 1e-3);
  int k = 0;
  while (1000.0 * std::pow(r, k) / std::sqrt(r) > floor) --k;
  const double first = 1000.0 * std::pow(r, k);
  const double count = std::ceil(std::log2(upper / first) / octaves);
  for (int j = 0; j < static_cast<int>(count); ++j) {
    layout.Centres.push_back(1000.0 * std::pow(r, k + j));
  }
  return layout;
}

std::vector<BandBins> BandBinWeights(const BandLayout& layout, double bin_width,
                                     std::size_t bin_count) {
  std::vector<BandBins> result(layout.Centres.size());
  for (std::size_t j = 0; j < layout.Centres.size(); ++j) {
    const double lo = layout.Lower(j);
    const double hi = layout.Upper(j);
    const double first = std::max(0.0, std::floor(lo / bin_width - 0.5));
    const double last =
        std::min(static_cast<double>(bin_count) - 1, std::ceil(hi / bin_width + 0.5));
    if (first > last) continue;
    BandBins& bins = result[j];
    bins.First = static_cast<std::size_t>(first);
    for (auto k = bins.First; k <= static_cast<std::size_t>(last); ++k) {
      const double w = ShareBelow(k, hi, bin_width, false) - ShareBelow(k, lo, bin_width, true);
      bins.Weights.push_back(std::max(w, 0.0));
    }
  }
  return result;
}

void OctaveBands(TDataMeas& target, const TDataMeas& source, double upper, double lower,
                 double octaves, AnalysisContext& context) {
  if (source.FDataType != kTimeDomain || source.FNumPoints < 16 || !(source.FSampleRate > 0)) {
    return;
  }
  if (target.FAvgType == kAverageCoh) target.FAvgType = kAverageMag;
  const int channels = source.FNumFields >= 2 ? 2 : 1;
  const auto n = static_cast<std::int32_t>(Pow2Floor(source.FNumPoints));
  const double fs = source.FSampleRate;
  const double u = fs / n;
  const BandLayout layout = MakeBandLayout(Limit(upper, source), lower, octaves);
  const std::vector<BandBins> weights = BandBinWeights(layout, u, static_cast<std::size_t>(n / 2));
  const std::vector<Spectrum> spectra =
      ChannelSpectra(source, n, channels, kBlackmanHarris4Window, context);

  // The positive-frequency bins hold half the windowed power, so a band's signal power is
  // 2·G over the window's power gain: a steady sine reads its RMS.
  const double to_power = 2.0 / WindowPowerGain();
  TDataMeas levels;
  levels.FDataType = kRtaBands;
  levels.FNumPoints = static_cast<std::int32_t>(layout.Centres.size());
  levels.FNumFields = channels + 1;
  levels.AllocColumns();
  for (int c = 0; c < channels; ++c) {
    const Spectrum& s = spectra[static_cast<std::size_t>(c)];
    const std::uint8_t kind = source.FFields[static_cast<std::size_t>(c)].InputKind;
    DataArray& out = levels.FFields[static_cast<std::size_t>(c + 1)].Values;
    for (std::size_t j = 0; j < weights.size(); ++j) {
      double g = 0.0;
      for (std::size_t i = 0; i < weights[j].Weights.size(); ++i) {
        const std::size_t k = weights[j].First + i;
        g += weights[j].Weights[i] * (s.Re[k] * s.Re[k] + s.Im[k] * s.Im[k]);
      }
      const double correction = std::abs(CorrectionAt(context.Correction, kind, layout.Centres[j]));
      out[j] = g > 0 ? std::sqrt(g * to_power) * correction : 1e-20;
    }
  }
  SetBandTarget(target, source, layout);
  target.FNumFields = channels + 1;
  target.AllocColumns();
  target.FFields[0].Values = layout.Centres;
  for (int c = 0; c < channels; ++c) {
    AverageArrays(target, levels, {c + 1, -1, c + 1, -1}, c == channels - 1, false, context);
  }
  TFieldType& a = target.FFields[1];
  a.Name = "RTA A magnitude";
  a.ShowAsDb = 1;
  a.InputKind = source.FFields[0].InputKind;
  if (channels == 2) {
    TFieldType& b = target.FFields[2];
    b.Name = "RTA B magnitude";
    b.ShowAsDb = 1;
    b.InputKind = source.FFields[1].InputKind;
    target.FTraceB = std::min(target.FTraceB, 2);
  } else {
    target.FTraceB = -1;
  }
  if (!target.FTitleLocked) target.FTitle = "RTA Data";
}

void OctaveBandResponse(TDataMeas& target, const TDataMeas& source, double upper, double lower,
                        double octaves, AnalysisContext& context) {
  if (source.FDataType != kTimeDomain || source.FNumFields < 2 || source.FNumPoints < 16 ||
      !(source.FSampleRate > 0)) {
    return;
  }
  const auto n = static_cast<std::int32_t>(Pow2Floor(source.FNumPoints));
  const double fs = source.FSampleRate;
  const auto bin_count = static_cast<std::size_t>(n / 2);
  const BandLayout layout = MakeBandLayout(Limit(upper, source), lower, octaves);
  const std::vector<BandBins> weights = BandBinWeights(layout, fs / n, bin_count);
  const CrossSpectrumAccumulator& acc = AccumulateCrossSpectra(
      target, FrameCrossSpectra(source, n, source.FWindowType, bin_count, context), context);

  const std::uint8_t kind_a = source.FFields[0].InputKind;
  const std::uint8_t kind_b = source.FFields[1].InputKind;
  DataArray magnitude(layout.Centres.size()), coherence(layout.Centres.size());
  for (std::size_t j = 0; j < weights.size(); ++j) {
    double sum_w = 0, sum_t = 0, sum_g = 0;
    for (std::size_t i = 0; i < weights[j].Weights.size(); ++i) {
      const std::size_t k = weights[j].First + i;
      const double w = weights[j].Weights[i];
      const double cross = Hypot(acc.GabRe[k], acc.GabIm[k]);
      sum_w += w;
      sum_t += w * SafeDiv(acc.Gbb[k], cross);
      sum_g += w * SafeDiv(std::sqrt(acc.Gaa[k] * acc.Gbb[k]), cross);
    }
    const double f = layout.Centres[j];
    const double ratio = SafeDiv(std::abs(CorrectionAt(context.Correction, kind_b, f)),
                                 std::abs(CorrectionAt(context.Correction, kind_a, f)));
    magnitude[j] = std::max(SafeDiv(sum_w, sum_t), 1e-20) * ratio;
    coherence[j] = std::max(SafeDiv(sum_w, sum_g), 1e-20);
  }
  const bool show_coherence = target.FAvgTarget > 1 && target.FAvgCount > 1;
  target.FNumFields = show_coherence ? 3 : 2;
  SetBandTarget(target, source, layout);
  target.AllocColumns();
  target.FFields[0].Values = layout.Centres;
  TFieldType& response = target.FFields[1];
  response.Values = std::move(magnitude);
  response.Name = "RTA Freq Response";
  response.ShowAsDb = 1;
  response.InputKind = kind_a;
  if (show_coherence) {
    TFieldType& field = target.FFields[2];
    field.Values = std::move(coherence);
    field.Name = "Coherence Function";
    field.Units = "Units";
    field.ShowAsDb = 0;
    field.RefValue = -1.0;
    field.RefDiv = target.FNumDivisions;
    if (target.FNumDivisions > 0) field.PerDiv = 1.0 / target.FNumDivisions;
    target.FTraceB = 2;
  } else {
    target.FTraceB = -1;
  }
  if (!target.FTitleLocked) target.FTitle = "RTA Resp Data";
}

}  // namespace vireon
