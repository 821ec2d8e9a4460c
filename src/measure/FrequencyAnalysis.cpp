#include "measure/FrequencyAnalysis.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "measure/CodeSets.h"
#include "measure/HideTones.h"
#include "measure/SpectrumHold.h"
#include "record/Averaging.h"
#include "record/Conversions.h"
#include "record/DataTypes.h"
#include "record/FftWindows.h"
#include "record/NumericHelpers.h"
#include "record/OctaveBands.h"
#include "record/PhaseUnits.h"
#include "record/TransferFunction.h"

namespace vireon {
namespace {

// "dBSPs" reads a sine by its peak: 2√2 times the RMS-based spectrum value.
constexpr double kPeakSineFactor = 2.8284271247461900975;
// The lowest band edge of the RTA acquisitions, as for the record's RTA conversion.
constexpr double kRtaLowerLimitHz = 10.0;

DataArray& Column(TDataMeas& record, int column) {
  return record.FFields[static_cast<std::size_t>(column)].Values;
}

const DataArray& Column(const TDataMeas& record, int column) {
  return record.FFields[static_cast<std::size_t>(column)].Values;
}

std::size_t Points(const TDataMeas& record) {
  return static_cast<std::size_t>(std::max(record.FNumPoints, 0));
}

bool IsUsableTimeRecord(const TDataMeas& record) {
  return record.FDataType == kTimeDomain && record.FNumPoints >= 16 && record.FSampleRate > 0 &&
         record.FNumFields >= 1 && Column(record, 0).size() >= Points(record);
}

bool HasSecondChannel(const TDataMeas& time_rec) {
  return time_rec.FNumFields >= 2 && Column(time_rec, 1).size() >= Points(time_rec);
}

// The chirp ReSync capture holds the whole sweep, so it is analysed without a window.
std::uint8_t AnalysisWindowCode(int stim_code, const AcquisitionSettings& settings) {
  return stim_code == 0 ? kNoWindow : settings.window;
}

// The analysis window, or the whole record where it is empty or reversed.
void GateByAnalysisWindow(TDataMeas& record) {
  if (record.FWinStart >= record.FWinEnd) {
    record.FWinStart = 0;
    record.FWinEnd = record.FNumPoints - 1;
  }
  record.FWinStart2 = record.FWinStart;
  record.FWinEnd2 = record.FWinEnd;
}

// One channel of the time record as a one-channel record under the analysis window.
TDataMeas ChannelRecord(const TDataMeas& time_rec, int channel, std::uint8_t window) {
  TDataMeas one;
  one.CopyFrom(time_rec);
  if (channel != 0) {
    one.CopyColumn(time_rec, channel, 0);
    one.FDelayA = time_rec.FDelayB;
  }
  one.FNumFields = 1;
  one.AllocColumns();
  one.FWindowType = window;
  GateByAnalysisWindow(one);
  return one;
}

// Units the acquisition's display format gave a magnitude column outlive the pass; a column
// that had none, or held a phase, takes the conversion's.
std::string KeptUnits(const TFieldType& before, const std::string& fresh) {
  const std::string& units = before.Units;
  const bool unset = units.empty() || units == "?" || units == "tbd" || units == "deg" ||
                     units == std::string(1, '\xB0');
  return unset ? fresh : units;
}

// Spectra in "dBS..." units read sound pressure: the level calibration, and 2√2 more for the
// peak-sine reading "dBSPs".
double SpectrumUnitsScale(const std::string& units, const AnalysisContext& context) {
  if (units.rfind("dBS", 0) != 0) return 1.0;
  return units == "dBSPs" ? context.LevelCalibration * kPeakSineFactor : context.LevelCalibration;
}

bool SameGrid(const TDataMeas& freq_rec, const TDataMeas& pass) {
  return freq_rec.FDataType == pass.FDataType && freq_rec.FNumPoints == pass.FNumPoints &&
         Column(freq_rec, 0) == Column(pass, 0);
}

// The frequency record takes the pass's frequency grid with `fields` columns; a pass on another
// grid starts the average again.
void TakeGrid(TDataMeas& freq_rec, const TDataMeas& pass, int fields) {
  if (!SameGrid(freq_rec, pass)) freq_rec.FAvgCount = 0;
  freq_rec.FDataType = pass.FDataType;
  freq_rec.FNumPoints = pass.FNumPoints;
  freq_rec.FNumFields = fields;
  freq_rec.AllocColumns();
  Column(freq_rec, 0) = Column(pass, 0);
  freq_rec.FFields[0].Units = "Hz";
  freq_rec.FXUnits = "Hz";
  freq_rec.FSampleRate = pass.FSampleRate;
  freq_rec.FSampleBits = pass.FSampleBits;
  freq_rec.FStartTime = pass.FStartTime;
  freq_rec.FEndX = pass.FEndX;
  freq_rec.FBinWidth = pass.FBinWidth;
  freq_rec.FWindowType = pass.FWindowType;
  freq_rec.FWindowLen = pass.FWindowLen;
  freq_rec.FLinearFreq = 1;
  freq_rec.FRtaFlag = 0;
  freq_rec.FChanged = 1;
  freq_rec.FAxisSignature = freq_rec.AxisSignature();
}

void TakeColumnIdentity(TDataMeas& freq_rec, const TDataMeas& pass, int column,
                        const std::string& units) {
  TFieldType& field = freq_rec.FFields[static_cast<std::size_t>(column)];
  const TFieldType& fresh = pass.FFields[static_cast<std::size_t>(column)];
  field.Name = fresh.Name;
  field.ShowAsDb = fresh.ShowAsDb;
  field.InputKind = fresh.InputKind;
  field.WrapPhase = fresh.WrapPhase;
  field.Unwrapped = 0;
  field.Units = units;
}

// The pass's spectra as the record's spectrum conversion gives them: x, Mag[A] and, for two
// channels, Mag[B].
TDataMeas PassSpectra(const TDataMeas& time_rec, int channels, std::uint8_t window,
                      AnalysisContext& context) {
  TDataMeas pass;
  ToSpectrum(pass, ChannelRecord(time_rec, 0, window), false, context);
  if (channels == 2) {
    TDataMeas b;
    ToSpectrum(b, ChannelRecord(time_rec, 1, window), false, context);
    pass.FFields[2] = std::move(b.FFields[1]);
    pass.FFields[2].Name = "Frequency Domain Mag[B]";
  }
  pass.FNumFields = channels + 1;
  pass.AllocColumns();
  return pass;
}

void HideStimulusTones(TDataMeas& pass, int channels, const ToneLists& tones,
                       const AcquisitionSettings& settings) {
  const DataArray& x = Column(pass, 0);
  if (x.size() < 2) return;
  const double width_hz = settings.hide_bandwidth_bins * (x[1] - x[0]);
  for (int c = 0; c < channels; ++c) {
    const std::vector<double> hidden =
        TonesToHide(tones, settings.hide_tones[static_cast<std::size_t>(c)]);
    HideTones(pass, c + 1, hidden, width_hz);
  }
}

// Types 4 and 5: spectra of A (and B), level-scaled, tones hidden, averaged when the frequency
// record averages, and the hold trace of type 4.
void StoreSpectra(const TDataMeas& time_rec, TDataMeas& freq_rec,
                  const FrequencyAnalysisInput& input, const AcquisitionSettings& settings,
                  AnalysisContext& context) {
  const int channels = input.acq_type == 5 && HasSecondChannel(time_rec) ? 2 : 1;
  TDataMeas pass =
      PassSpectra(time_rec, channels, AnalysisWindowCode(input.stim_code, settings), context);
  if (pass.FNumPoints < 2) return;
  std::array<std::string, 2> units;
  for (int c = 1; c <= channels; ++c) {
    std::string& u = units[static_cast<std::size_t>(c - 1)];
    u = KeptUnits(freq_rec.FFields[static_cast<std::size_t>(c)],
                  pass.FFields[static_cast<std::size_t>(c)].Units);
    const double scale = SpectrumUnitsScale(u, context);
    for (double& v : Column(pass, c)) v *= scale;
  }
  if (input.tones != nullptr && OneOf(input.stim_code, {6, 7, 8})) {
    HideStimulusTones(pass, channels, *input.tones, settings);
  }
  const bool keeps_hold = channels == 1 && SameGrid(freq_rec, pass) && HasHoldColumn(freq_rec);
  TakeGrid(freq_rec, pass, keeps_hold ? 3 : channels + 1);
  freq_rec.FDelayA = 0.0;
  for (int c = 1; c <= channels; ++c) {
    TakeColumnIdentity(freq_rec, pass, c, units[static_cast<std::size_t>(c - 1)]);
    AverageArrays(freq_rec, pass, {c, -1, c, -1}, c == channels, true, context);
  }
  if (input.acq_type == 4) UpdateSpectrumHold(freq_rec, settings.max_hold, settings.min_hold);
}

// The windowed transform of channel A (an impulse response) at the FFT length: x and the real
// and imaginary parts of bins 0..n/2. FDelayA is the time of the gate's first sample, to which
// the phase refers.
TDataMeas WindowedResponse(const TDataMeas& time_rec, std::uint8_t window,
                           AnalysisContext& context) {
  TDataMeas pass = ChannelRecord(time_rec, 0, window);
  // The transform moves the delay on by the gate's start, from the time of the first sample.
  pass.FDelayA = pass.FStartTime;
  const auto n = static_cast<std::int32_t>(Pow2Floor(context.FftLength));
  WindowedFFT(pass, pass.FNumPoints, false, n, 1.0, 1.0, context);
  const auto bins = static_cast<std::size_t>(n / 2 + 1);
  const double fs = pass.FSampleRate;
  Column(pass, 1).resize(bins);
  Column(pass, 2).resize(bins);
  DataArray& x = Column(pass, 0);
  x.resize(bins);
  for (std::size_t k = 0; k < bins; ++k) x[k] = fs * static_cast<double>(k) / n;
  pass.FDataType = kFrequencyResponse;
  pass.FNumPoints = static_cast<std::int32_t>(bins);
  pass.FNumFields = 3;
  pass.FStartTime = fs / n;
  pass.FEndX = kNyquistFactor * fs;
  pass.FBinWidth = {fs / n, fs / n};
  return pass;
}

// Types 8 (one channel) and 11: magnitude and phase of the impulse's response, averaged in
// complex form when the frequency record averages.
void StoreResponse(const TDataMeas& time_rec, TDataMeas& freq_rec, std::uint8_t window,
                   AnalysisContext& context) {
  const TDataMeas pass = WindowedResponse(time_rec, window, context);
  const std::string units = KeptUnits(freq_rec.FFields[1], time_rec.FFields[0].Units);
  TakeGrid(freq_rec, pass, 3);
  freq_rec.FDelayA = pass.FDelayA;  // cleared by an average that drops the phase
  AverageArrays(freq_rec, pass, {1, 2, 1, 2}, true, true, context);
  ToPolar(Column(freq_rec, 1), Column(freq_rec, 2));
  TFieldType& magnitude = freq_rec.FFields[1];
  magnitude.Name = "Frequency Domain Mag[A]";
  magnitude.ShowAsDb = 1;
  magnitude.Units = units;
  magnitude.InputKind = time_rec.FFields[0].InputKind;
  magnitude.Unwrapped = 0;
  TFieldType& phase = freq_rec.FFields[2];
  phase.Name = "Frequency Domain Ang[A]";
  MarkAsPhase(phase);
  phase.ShowAsDb = 0;
  phase.WrapPhase = 1;
  phase.Unwrapped = 0;
  if (!freq_rec.FTitleLocked) freq_rec.FTitle = "Frequency Response Data";
}

// Types 5 (normalised) and 8 (two channels): A/B with coherence over the analysis window. Both
// channels are gated and windowed alike first, so the ratio of two impulse responses sees only
// the window's part of each; the transfer function then adds no window of its own.
void StoreRatio(const TDataMeas& time_rec, TDataMeas& freq_rec, std::uint8_t window,
                AnalysisContext& context) {
  TDataMeas gated;
  gated.CopyFrom(time_rec);
  gated.FNumFields = 2;
  gated.AllocColumns();
  GateByAnalysisWindow(gated);
  const auto length = static_cast<std::int32_t>(Pow2Floor(gated.FNumPoints));
  ApplyTimeWindow(gated, window, length, 1.0, 1.0, false, context);
  gated.FWindowType = kRectangularWindow;
  TransferFunction(freq_rec, gated, true, context);
  // The common delay cancels in the ratio: the result has no time origin of its own to remove.
  freq_rec.FDelayA = 0.0;
}

// Types 6 and 7: 1/N-octave bands of the first power-of-two-not-above-FftSize samples.
void StoreBands(const TDataMeas& time_rec, TDataMeas& freq_rec, const FrequencyAnalysisInput& input,
                const AcquisitionSettings& settings, AnalysisContext& context) {
  const bool two = input.acq_type == 7 && HasSecondChannel(time_rec);
  TDataMeas source;
  source.CopyFrom(time_rec);
  source.FNumFields = two ? 2 : 1;
  source.FNumPoints = static_cast<std::int32_t>(
      std::min<std::int64_t>(source.FNumPoints, Pow2Floor(settings.fft_size)));
  source.AllocColumns();
  source.FWindowType = AnalysisWindowCode(input.stim_code, settings);
  const double upper = kNyquistFactor * source.FSampleRate;
  const double octaves = 1.0 / std::max(settings.rta_resolution, 1);
  // Bands of another resolution or rate are not averaged with the stored ones.
  const BandLayout layout = MakeBandLayout(upper, kRtaLowerLimitHz, octaves);
  if (freq_rec.FDataType != kRtaBands || Column(freq_rec, 0) != layout.Centres) {
    freq_rec.FAvgCount = 0;
  }
  if (two && settings.normalize) {
    OctaveBandResponse(freq_rec, source, upper, kRtaLowerLimitHz, octaves, context);
  } else {
    OctaveBands(freq_rec, source, upper, kRtaLowerLimitHz, octaves, context);
  }
  freq_rec.FTraceA = std::min(freq_rec.FTraceA, 2);
  freq_rec.FTraceB = std::min(freq_rec.FTraceB, 2);
}

// Columns a conversion left without values are dropped; the traces follow their columns.
void RemoveEmptyColumns(TDataMeas& record) {
  const int fields = std::clamp(record.FNumFields, 1, kMaxColumns);
  std::array<std::int32_t, kMaxColumns> moved_to{};
  int kept = 1;
  for (int c = 1; c < fields; ++c) {
    TFieldType& field = record.FFields[static_cast<std::size_t>(c)];
    if (field.Values.empty()) {
      moved_to[static_cast<std::size_t>(c)] = -1;
      continue;
    }
    if (kept != c) {
      record.FFields[static_cast<std::size_t>(kept)] = std::move(field);
      field = TFieldType{};
    }
    moved_to[static_cast<std::size_t>(c)] = kept++;
  }
  record.FNumFields = kept;
  // A frequency record's column 0 is its x axis: a trace on it shows nothing.
  const auto follow = [&](std::int32_t& trace) {
    trace = trace >= 1 && trace < fields ? moved_to[static_cast<std::size_t>(trace)] : -1;
  };
  follow(record.FTraceA);
  follow(record.FTraceB);
  if (record.FTraceA < 0 && record.FTraceB < 0) record.FTraceA = 1;
}

}  // namespace

void ConvertToFrequency(const TDataMeas& time_rec, TDataMeas& freq_rec,
                        const FrequencyAnalysisInput& input, AnalysisContext& context) {
  if (!OneOf(input.acq_type, {4, 5, 6, 7, 8, 11}) || !IsUsableTimeRecord(time_rec)) return;
  const AcquisitionSettings settings =
      input.acquisition != nullptr ? *input.acquisition : AcquisitionSettings{};
  context.AcquisitionType = input.acq_type;
  context.FftLength =
      static_cast<std::int32_t>(Pow2Floor(std::max(settings.fft_size, kMinFftSize)));
  const std::uint8_t window = AnalysisWindowCode(input.stim_code, settings);
  // Without an average of its own the frequency record takes the pass as it is.
  const std::int32_t count_before = freq_rec.FAvgCount;
  if (!input.average_in_frequency) freq_rec.FAvgCount = 0;

  const bool two = HasSecondChannel(time_rec);
  switch (input.acq_type) {
    case 4:
      StoreSpectra(time_rec, freq_rec, input, settings, context);
      break;
    case 5:
      if (two && settings.normalize) {
        StoreRatio(time_rec, freq_rec, window, context);
      } else {
        StoreSpectra(time_rec, freq_rec, input, settings, context);
      }
      break;
    case 6:
    case 7:
      StoreBands(time_rec, freq_rec, input, settings, context);
      break;
    case 8:
      if (two) {
        StoreRatio(time_rec, freq_rec, window, context);
      } else {
        StoreResponse(time_rec, freq_rec, window, context);
      }
      break;
    default:  // 11
      StoreResponse(time_rec, freq_rec, window, context);
      break;
  }
  if (!input.average_in_frequency) freq_rec.FAvgCount = count_before;
  RemoveEmptyColumns(freq_rec);
}

std::string_view FrequencyCaption(int acq_type, bool normalize) {
  switch (acq_type) {
    case 4:
      return "Spectrum";
    case 5:
      return normalize ? "Frequency Response" : "Spectrum";
    case 6:
    case 7:
      return "RTA Spectrum";
    case 8:
      return "Frequency Response";
    case 11:
      return "Freq Resp Monitor";
    default:
      return "";
  }
}

void LiveMonitorImpulse(TDataMeas& pass, AnalysisContext& context) {
  if (!IsUsableTimeRecord(pass) || !HasSecondChannel(pass)) return;
  TDataMeas source;
  source.CopyFrom(pass);
  source.FNumFields = 2;
  source.AllocColumns();
  source.FWindowType = kBlackmanHarris4Window;
  TDataMeas response;
  response.FAvgTarget = 1;  // each pass stands alone; the frequency record averages
  TransferFunction(response, source, true, context);
  // The ratio has no time origin of its own: the converter delay alone places the impulse.
  response.FDelayA = 0.0;
  ToTimeDomain(response, context);
  if (response.FDataType != kTimeDomain) return;

  Column(pass, 0) = std::move(Column(response, 0));
  for (int c = 1; c < kMaxColumns; ++c) Column(pass, c).clear();
  pass.FNumFields = 1;
  pass.FNumPoints = response.FNumPoints;
  pass.FStartTime = response.FStartTime;
  pass.FDelayA = response.FDelayA;
  pass.FDelayB = 0.0;
  pass.FEndX = response.FEndX;
  pass.FBinWidth = {0.0, 0.0};
  pass.FWinStart = pass.FWinStart2 = 0;
  pass.FWinEnd = pass.FWinEnd2 = pass.FNumPoints - 1;
  pass.FTraceA = 0;
  pass.FTraceB = -1;
  pass.FChanged = 1;
  pass.FindPeakTime(0);
}

}  // namespace vireon
