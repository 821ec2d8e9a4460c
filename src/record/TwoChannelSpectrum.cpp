#include "record/TwoChannelSpectrum.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "record/Conversions.h"
#include "record/DataTypes.h"
#include "record/FASTtransforms.h"
#include "record/FftWindows.h"
#include "record/NumericHelpers.h"
#include "record/PhaseUnits.h"

namespace vireon {
namespace {

void Label(TDataMeas& target) {
  target.FFields[1].Name = "Spectrum Mag [A]";
  target.FFields[1].ShowAsDb = 1;
  target.FFields[2].Name = "Ang [A/B]";
  MarkAsPhase(target.FFields[2]);
  target.FFields[3].Name = "Spectrum Mag [B]";
  target.FFields[3].ShowAsDb = 1;
  target.FXUnits = "Hz";
  target.FTitle = "2ch spectrum w/phase diff";
}

}  // namespace

void TwoChannelSpectrum(TDataMeas& target, const TDataMeas& source, AnalysisContext& context) {
  if (!source.IsSampled() || source.FNumFields < 2 || source.FNumPoints < 16) return;
  const auto n = static_cast<std::int32_t>(Pow2Floor(context.FftLength));
  const auto bins = static_cast<std::size_t>(n / 2 + 1);
  const double fs = source.FSampleRate;

  TDataMeas copy;
  copy.CopyFrom(source);
  copy.FNumFields = 2;
  copy.AllocColumns();
  // An empty gate means the whole record, as for the single-channel spectrum.
  if (copy.FWinStart == copy.FWinEnd) {
    copy.FWinStart = copy.FWinStart2 = 0;
    copy.FWinEnd = copy.FWinEnd2 = copy.FNumPoints - 1;
  }
  const double gain = std::numbers::sqrt2 / n;
  ApplyTimeWindow(copy, context.AcquisitionWindow, n, gain, gain, false, context);
  DataArray freq(bins);
  for (std::size_t k = 0; k < bins; ++k) freq[k] = fs * static_cast<double>(k) / n;
  DataArray spectra[2][2];
  for (int c = 0; c < 2; ++c) {
    DataArray re = copy.FFields[static_cast<std::size_t>(c)].Values;
    re.resize(static_cast<std::size_t>(n), 0.0);
    DataArray im;
    ForwardFFT(re, im);
    re.resize(bins);
    im.resize(bins);
    const TFieldType& field = source.FFields[static_cast<std::size_t>(c)];
    if (field.InputKind <= 1) {
      ApplyInputCorrection(std::span(re).subspan(1), std::span(im).subspan(1), field.InputKind,
                           std::span<const double>(freq).subspan(1), context.Correction);
    }
    re[0] = 0.0;
    ToPolar(re, im);
    if (field.Units == "Pa") {
      for (double& v : re) v *= context.PascalLevelFactor;
    }
    spectra[c][0] = std::move(re);
    spectra[c][1] = std::move(im);
  }

  if (target.FAvgCount <= 0) Label(target);
  target.FDataType = kComplexSpectrum;
  target.FNumFields = 4;
  target.FNumPoints = static_cast<std::int32_t>(bins);
  target.AllocColumns();
  target.FFields[0].Values = freq;
  DataArray& mag_a = target.FFields[1].Values;
  DataArray& diff = target.FFields[2].Values;
  DataArray& mag_b = target.FFields[3].Values;
  const std::int32_t c = target.FAvgCount;
  // Frame c+1 weighs 1/(c+1), so every frame of the average counts equally.
  const double w_new = c > 0 ? 1.0 / (c + 1) : 1.0;
  const double w_old = c > 0 ? static_cast<double>(c) / (c + 1) : 0.0;
  for (std::size_t k = 0; k < bins; ++k) {
    const double phase = spectra[0][1][k] - spectra[1][1][k];
    if (c <= 0 || k == 0) {
      mag_a[k] = spectra[0][0][k];
      diff[k] = phase;
      mag_b[k] = spectra[1][0][k];
      continue;
    }
    const double re = w_new * PolarRe(phase, spectra[0][0][k]) + w_old * PolarRe(diff[k], mag_a[k]);
    const double im = w_new * PolarIm(phase, spectra[0][0][k]) + w_old * PolarIm(diff[k], mag_a[k]);
    mag_a[k] = Hypot(re, im);
    diff[k] = PhaseDeg(re, im);
    mag_b[k] = w_new * spectra[1][0][k] + w_old * mag_b[k];
  }
  target.FSampleRate = source.FSampleRate;
  target.FStartTime = fs / static_cast<double>(bins);
  target.FEndX = fs / 2 - fs / static_cast<double>(bins);
  target.FLinearFreq = 1;
  target.FChanged = 1;
  if (target.FAvgTarget > 0) target.FAvgCount = std::min(target.FAvgCount + 1, target.FAvgTarget);
}

}  // namespace vireon
