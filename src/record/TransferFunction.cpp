#include "record/TransferFunction.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

#include "record/DataTypes.h"
#include "record/FASTtransforms.h"
#include "record/FftWindows.h"
#include "record/NumericHelpers.h"
#include "record/PhaseUnits.h"

namespace vireon {

CrossSpectra FrameCrossSpectra(const TDataMeas& source, std::int32_t points, std::uint8_t window,
                               std::size_t bins, AnalysisContext& context) {
  TDataMeas copy;
  copy.CopyFrom(source);
  copy.FNumPoints = points;
  copy.FNumFields = 2;
  copy.AllocColumns();
  copy.FWinStart = copy.FWinStart2 = 0;
  copy.FWinEnd = copy.FWinEnd2 = points - 1;
  const double gain = 1.0 / points;
  ApplyTimeWindow(copy, window, points, gain, gain, false, context);
  DataArray& a = copy.FFields[0].Values;
  DataArray& b = copy.FFields[1].Values;
  DataArray ai, bi;
  ForwardFFT(a, ai);
  ForwardFFT(b, bi);
  CrossSpectra s{DataArray(bins), DataArray(bins), DataArray(bins), DataArray(bins)};
  for (std::size_t k = 0; k < bins; ++k) {
    s.GabRe[k] = a[k] * b[k] + ai[k] * bi[k];
    s.GabIm[k] = ai[k] * b[k] - a[k] * bi[k];
    s.Gbb[k] = b[k] * b[k] + bi[k] * bi[k];
    s.Gaa[k] = a[k] * a[k] + ai[k] * ai[k];
  }
  return s;
}

const CrossSpectrumAccumulator& AccumulateCrossSpectra(TDataMeas& target, const CrossSpectra& frame,
                                                       AnalysisContext& context) {
  CrossSpectrumAccumulator& acc = context.CrossSpectra;
  const std::size_t bins = frame.Gbb.size();
  if (acc.Gbb.size() != bins || target.FAvgCount < 1 || target.FAvgTarget < 2) {
    acc = {frame.Gbb, frame.GabRe, frame.GabIm, frame.Gbb, frame.Gaa};
    target.FAvgCount = 1;
    return acc;
  }
  // Frame c+1 of an average weighs 1/(c+1); the gate scales that by its reference power
  // against the running mean, so frames with more excitation count more.
  const double frames = target.FAvgCount + 1.0;
  for (std::size_t k = 0; k < bins; ++k) {
    acc.GbbMean[k] += (frame.Gbb[k] - acc.GbbMean[k]) / frames;
    const double mean = acc.GbbMean[k];
    const double g = mean > 0 ? std::min(1.0, frame.Gbb[k] / (frames * mean)) : 1.0 / frames;
    const auto blend = [g](double& stored, double fresh) { stored = (1 - g) * stored + g * fresh; };
    blend(acc.GabRe[k], frame.GabRe[k]);
    blend(acc.GabIm[k], frame.GabIm[k]);
    blend(acc.Gbb[k], frame.Gbb[k]);
    blend(acc.Gaa[k], frame.Gaa[k]);
  }
  target.FAvgCount = std::min(target.FAvgCount + 1, target.FAvgTarget);
  return acc;
}

void TransferFunction(TDataMeas& target, const TDataMeas& source, bool show_coherence,
                      AnalysisContext& context) {
  if (!source.IsSampled() || source.FNumFields < 2 || source.FNumPoints < 16) return;
  const auto m = static_cast<std::int32_t>(Pow2Floor(source.FNumPoints));
  const auto bins = static_cast<std::size_t>(m / 2 + 1);
  const CrossSpectrumAccumulator& acc = AccumulateCrossSpectra(
      target, FrameCrossSpectra(source, m, source.FWindowType, bins, context), context);

  const double fs = source.FSampleRate;
  const std::uint8_t kind_a = source.FFields[0].InputKind;
  const std::uint8_t kind_b = source.FFields[1].InputKind;
  DataArray freq(bins), mag(bins), phase(bins), coherence;
  if (show_coherence) coherence.resize(bins);
  for (std::size_t k = 0; k < bins; ++k) {
    freq[k] = fs * static_cast<double>(k) / m;
    const double cross = Hypot(acc.GabRe[k], acc.GabIm[k]);
    mag[k] = SafeDiv(acc.Gbb[k], cross);
    phase[k] = PhaseDeg(acc.GabRe[k], acc.GabIm[k]);
    if (show_coherence) coherence[k] = SafeDiv(std::sqrt(acc.Gaa[k] * acc.Gbb[k]), cross);
    if (k == 0) continue;
    const std::complex<double> ca = CorrectionAt(context.Correction, kind_a, freq[k]);
    const std::complex<double> cb = CorrectionAt(context.Correction, kind_b, freq[k]);
    mag[k] *= SafeDiv(std::abs(cb), std::abs(ca));
    phase[k] =
        WrapAngle(180.0, phase[k] + (std::arg(ca) - std::arg(cb)) * 180.0 / std::numbers::pi);
  }

  target.FNumPoints = static_cast<std::int32_t>(bins);
  target.FNumFields = show_coherence ? 4 : 3;
  target.AllocColumns();
  target.FFields[0].Values = std::move(freq);
  target.FFields[0].Units = "Hz";
  TFieldType& magnitude = target.FFields[1];
  magnitude.Values = std::move(mag);
  magnitude.Name = "Freq Response Mag";
  magnitude.ShowAsDb = 1;
  magnitude.InputKind = kind_a;
  TFieldType& phase_field = target.FFields[2];
  phase_field.Values = std::move(phase);
  phase_field.Name = "Freq Response Phase";
  MarkAsPhase(phase_field);
  phase_field.ShowAsDb = 0;
  phase_field.Unwrapped = 0;
  if (target.FNumDivisions > 0) {
    phase_field.PerDiv = 360.0 / target.FNumDivisions;
    phase_field.RefValue = -180.0;
    phase_field.RefDiv = target.FNumDivisions;
  }
  target.FDelayA = fs > 0 ? context.ConverterDelay / fs : 0.0;
  if (show_coherence) {
    TFieldType& field = target.FFields[3];
    field.Values = std::move(coherence);
    field.Name = "Coherence Function";
    field.Units = "Units";
    field.ShowAsDb = 0;
    if (target.FNumDivisions > 0) field.PerDiv = 1.0 / target.FNumDivisions;
    field.RefValue = -1.0;
    field.RefDiv = target.FNumDivisions;
  } else {
    if (target.FTraceA == 3) target.FTraceA = -1;
    if (target.FTraceB == 3) target.FTraceB = -1;
  }
  if (target.FTraceA < 0 && target.FTraceB < 0) target.FTraceA = 1;
  // The coherence goes on trace B, or on trace A when B already shows another column; a
  // trace already on it stays, so repeated passes do not move it.
  if (show_coherence && target.FTraceA != 3 && target.FTraceB != 3) {
    if (target.FTraceB < 0) {
      target.FTraceB = 3;
    } else {
      target.FTraceA = 3;
    }
  }
  target.FDataType = kFrequencyResponse;
  if (!target.FTitleLocked) target.FTitle = "Frequency Resp Data";
  target.FRtaFlag = 0;
  target.FLinearFreq = 1;
  target.FSampleRate = source.FSampleRate;
  target.FStartTime = fs / (2.0 * static_cast<double>(bins));
  target.FEndX = kNyquistFactor * fs;
  target.FXUnits = "Hz";
  target.FBinWidth = {target.FStartTime, target.FStartTime};
  target.FChanged = 1;
}

}  // namespace vireon
