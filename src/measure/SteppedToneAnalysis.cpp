#include "measure/SteppedToneAnalysis.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <numbers>
#include <string>

#include "record/DataTypes.h"
#include "record/FftWindows.h"
#include "record/InputCorrection.h"
#include "record/NumericHelpers.h"
#include "record/PhaseUnits.h"

namespace vireon {

namespace {

constexpr double kNoPointYet = 1e12;  // start time of a stepped result without points
// Axis values this close (relative) are the same tone measured again.
constexpr double kSameFrequencyTolerance = 1e-9;

bool IsMicrophone(std::uint8_t input_kind) { return input_kind <= 1; }

// A half window's falling half is divided by its value at the middle, so it joins the flat half
// without a step (as the time-record windowing does).
double HalfWindowPeak(std::uint8_t code) {
  const std::array<double, 6> a = WindowCoefficients(code);
  double sum = 0.0;
  for (const double v : a) sum += v;
  return sum > 0 ? sum : 1.0;
}

// Point i of `gate` intervals: full windows over the whole gate, half windows flat up to the
// middle.
double ToneWindow(std::uint8_t code, std::int64_t i, std::int64_t gate, double gain) {
  if (IsHalfWindow(code)) {
    return i <= gate / 2 ? gain : WindowValue(code, i, gate, gain) / HalfWindowPeak(code);
  }
  return WindowValue(code, i, gate, gain);
}

bool SameFrequency(double a, double b) {
  return std::abs(a - b) <= kSameFrequencyTolerance * std::max(std::abs(a), std::abs(b));
}

// Makes every used column hold FNumPoints values (new ones 0) and the others none.
void FitColumns(TDataMeas& record) {
  record.FNumFields = std::clamp(record.FNumFields, 1, kMaxColumns);
  record.FNumPoints = std::max(record.FNumPoints, 0);
  for (int c = 0; c < kMaxColumns; ++c) {
    DataArray& values = record.FFields[static_cast<std::size_t>(c)].Values;
    if (c < record.FNumFields) {
      values.resize(static_cast<std::size_t>(record.FNumPoints), 0.0);
    } else {
      values.clear();
    }
  }
}

void SetColumnCount(TDataMeas& record, int columns) {
  record.FNumFields = columns;
  FitColumns(record);
  for (std::int32_t* trace : {&record.FTraceA, &record.FTraceB}) {
    if (*trace >= columns) *trace = -1;
  }
  if (record.FTraceA < 0) record.FTraceA = 1;
}

void NameMagnitude(TFieldType& field, const TDataMeas& time_rec, int source_column,
                   const std::string& name) {
  field.Name = name;
  field.ShowAsDb = 1;
  field.WrapPhase = 0;
  if (source_column < time_rec.FNumFields) {
    const TFieldType& source = time_rec.FFields[static_cast<std::size_t>(source_column)];
    field.Units = source.Units;
    field.InputKind = source.InputKind;
  }
}

void NamePhase(TFieldType& field, const TDataMeas& time_rec, int source_column,
               const std::string& name) {
  field.Name = name;
  field.ShowAsDb = 0;
  field.WrapPhase = 1;
  field.Unwrapped = 0;
  MarkAsPhase(field);
  if (source_column < time_rec.FNumFields) {
    field.InputKind = time_rec.FFields[static_cast<std::size_t>(source_column)].InputKind;
  }
}

void SetValue(TDataMeas& record, int column, std::int32_t index, double value) {
  record.FFields[static_cast<std::size_t>(column)].Values[static_cast<std::size_t>(index)] = value;
}

// Record-wide fields of a stepped frequency result.
void MarkResult(TDataMeas& freq_rec, const TDataMeas& time_rec, std::uint8_t data_type,
                const char* title) {
  freq_rec.FDataType = data_type;
  if (!freq_rec.FTitleLocked) freq_rec.FTitle = title;
  freq_rec.FSampleRate = time_rec.FSampleRate;
  freq_rec.FLinearFreq = 0;
  freq_rec.FRtaFlag = 0;
  freq_rec.FChanged = 1;
}

void MarkFrequencyAxis(TDataMeas& freq_rec) {
  freq_rec.FFields[0].Units = "Hz";
  freq_rec.FXUnits = "Hz";
}

double FirstToneFrequency(const ToneLists& tones) {
  const TSinePars* tone = ToneAt(tones, 1, 1);
  return tone != nullptr ? tone->Frequency : 0.0;
}

// Types 8 and 9: magnitude and phase of A, and of B when the pass has two channels.
void StoreResponse(TDataMeas& freq_rec, const TDataMeas& time_rec, const ToneLists& tones,
                   std::uint8_t window_code, const AnalysisContext& context) {
  const double f = FirstToneFrequency(tones);
  if (!(f > 0)) return;
  const bool two_channels = time_rec.FNumFields >= 2;
  SetColumnCount(freq_rec, two_channels ? 5 : 3);
  const std::int32_t index = FrequencyPointIndex(freq_rec, f);
  for (int channel = 0; channel < (two_channels ? 2 : 1); ++channel) {
    const ToneReading reading = MeasureTone(time_rec, channel, f, window_code, context);
    const int column = 1 + 2 * channel;
    const std::string suffix = channel == 0 ? "[A]" : "[B]";
    SetValue(freq_rec, column, index, reading.magnitude);
    SetValue(freq_rec, column + 1, index, reading.phase_deg);
    NameMagnitude(freq_rec.FFields[static_cast<std::size_t>(column)], time_rec, channel,
                  "Frequency Domain Mag" + suffix);
    NamePhase(freq_rec.FFields[static_cast<std::size_t>(column + 1)], time_rec, channel,
              "Frequency Domain Ang" + suffix);
  }
  MarkResult(freq_rec, time_rec, kFrequencyResponse, "Frequency Response Data");
  MarkFrequencyAxis(freq_rec);
  freq_rec.FDelayA = time_rec.FDelayA;
  freq_rec.FDelayB = time_rec.FDelayB;
}

// Type 10: the magnitudes of A and B.
void StoreMagnitudes(TDataMeas& freq_rec, const TDataMeas& time_rec, const ToneLists& tones,
                     std::uint8_t window_code, const AnalysisContext& context) {
  const double f = FirstToneFrequency(tones);
  if (!(f > 0)) return;
  SetColumnCount(freq_rec, 3);
  const std::int32_t index = FrequencyPointIndex(freq_rec, f);
  for (int channel = 0; channel < 2; ++channel) {
    SetValue(freq_rec, channel + 1, index,
             MeasureTone(time_rec, channel, f, window_code, context).magnitude);
  }
  NameMagnitude(freq_rec.FFields[1], time_rec, 0, "Frequency Domain Mag[A]");
  NameMagnitude(freq_rec.FFields[2], time_rec, 1, "Frequency Domain Mag[B]");
  if (freq_rec.FTraceB < 0) freq_rec.FTraceB = 2;
  MarkResult(freq_rec, time_rec, kFrequencyResponse, "Frequency Response Data");
  MarkFrequencyAxis(freq_rec);
}

// What one component-tracking curve stores at the current tone, and under which name.
struct CurveResult {
  double value = 0.0;
  std::string name;
  bool ratio = false;
};

CurveResult MeasureCurve(const ComponentCurve& curve, const std::string& suffix,
                         const ComponentTrackSettings& settings, const TDataMeas& time_rec,
                         int column, const ToneLists& tones, std::uint8_t window_code,
                         const AnalysisContext& context) {
  const double f = ComponentFrequency(curve, tones);
  const double magnitude = MeasureTone(time_rec, column, f, window_code, context).magnitude;
  double reference = 0.0;
  const bool referenced = curve.reference != ComponentReference::kNone;
  if (referenced) {
    const bool use_a = curve.reference == ComponentReference::kA;
    const TSinePars* tone = use_a ? ToneAt(tones, curve.channel_a, curve.tone_a)
                                  : ToneAt(tones, curve.channel_b, curve.tone_b);
    const double reference_f = tone != nullptr ? tone->Frequency : 0.0;
    reference = MeasureTone(time_rec, column, reference_f, window_code, context).magnitude;
  }
  CurveResult result;
  if (curve.thd) {
    // With a reference the harmonics are taken against it rather than the fundamental: dividing
    // the distortion ratio once more by a magnitude would leave a value with units.
    const double harmonics =
        HarmonicLevel(time_rec, column, f, settings.max_harmonic, window_code, context);
    result.value = SafeDiv(referenced ? reference : magnitude, harmonics);
    result.name = "Total Harmonic Distortion" + suffix;
    result.ratio = true;
  } else {
    result.value = referenced ? SafeDiv(reference, magnitude) : magnitude;
    result.name = "Frequency Comp" + suffix;
    result.ratio = referenced;
  }
  if (referenced) result.name += "/Ref";
  return result;
}

// Types 14 and 15: curve 1 on channel A; curve 2 on channel A (14) or B (15).
void StoreComponents(TDataMeas& freq_rec, const TDataMeas& time_rec, int acq_type, int stim_code,
                     const ToneLists& tones, const ComponentTrackSettings& settings,
                     std::uint8_t window_code, const AnalysisContext& context) {
  constexpr int kTwoChannelSteppedCode = 11;
  const int domain_channel =
      settings.domain_channel == 2 && stim_code == kTwoChannelSteppedCode ? 2 : 1;
  const TSinePars* domain_tone = ToneAt(tones, domain_channel, 1);
  if (domain_tone == nullptr || !(domain_tone->Frequency > 0)) return;
  const double x =
      settings.domain_is_frequency ? domain_tone->Frequency : std::abs(domain_tone->Amplitude);
  SetColumnCount(freq_rec, 3);
  const std::int32_t index = FrequencyPointIndex(freq_rec, x);
  const ComponentCurve* curves[] = {&settings.curve1, &settings.curve2};
  for (int c = 0; c < 2; ++c) {
    const int channel = acq_type == 15 && c == 1 ? 1 : 0;
    const CurveResult result = MeasureCurve(*curves[c], c == 0 ? "[A]" : "[B]", settings, time_rec,
                                            channel, tones, window_code, context);
    TFieldType& field = freq_rec.FFields[static_cast<std::size_t>(c + 1)];
    SetValue(freq_rec, c + 1, index, result.value);
    NameMagnitude(field, time_rec, channel, result.name);
    if (result.ratio) field.Units = "dB";
  }
  if (freq_rec.FTraceB < 0) freq_rec.FTraceB = 2;
  MarkResult(freq_rec, time_rec, kComponentTrack, "Frequency Component Tracked Data");
  if (settings.domain_is_frequency) MarkFrequencyAxis(freq_rec);
}

}  // namespace

ToneReading MeasureTone(const TDataMeas& time_rec, int column, double frequency,
                        std::uint8_t window_code, const AnalysisContext& context) {
  if (column < 0 || column >= std::min(time_rec.FNumFields, kMaxColumns)) return {};
  const double fs = time_rec.FSampleRate;
  if (!(fs > 0) || !(frequency >= 0) || !(frequency < fs / 2)) return {};
  const TFieldType& field = time_rec.FFields[static_cast<std::size_t>(column)];
  const std::int64_t last =
      std::min<std::int64_t>(static_cast<std::int64_t>(field.Values.size()), time_rec.FNumPoints) -
      1;
  const std::int64_t start = std::max<std::int64_t>(time_rec.FWinStart, 0);
  const std::int64_t end = std::min<std::int64_t>(time_rec.FWinEnd, last);
  const std::int64_t n = end - start + 1;
  if (n < 2) return {};

  const double gain = std::numbers::sqrt2 / static_cast<double>(n);
  const double step = 2.0 * std::numbers::pi * frequency / fs;
  double re = 0.0;
  double im = 0.0;
  for (std::int64_t i = 0; i < n; ++i) {
    const std::int64_t sample = start + i;
    const double weighted =
        field.Values[static_cast<std::size_t>(sample)] * ToneWindow(window_code, i, n - 1, gain);
    // The angle from the record's first sample keeps the phase independent of the window.
    const double angle = step * static_cast<double>(sample);
    re += weighted * std::cos(angle);
    im -= weighted * std::sin(angle);
  }
  std::complex<double> value(re, im);
  if (IsMicrophone(field.InputKind)) {
    value *= CorrectionAt(context.Correction, field.InputKind, frequency);
  }
  return {Hypot(value.real(), value.imag()), PhaseDeg(value.real(), value.imag())};
}

double HarmonicLevel(const TDataMeas& time_rec, int column, double frequency, int max_harmonic,
                     std::uint8_t window_code, const AnalysisContext& context) {
  const double band_edge = kNyquistFactor * time_rec.FSampleRate;
  double power = 0.0;
  for (int k = 2; k <= max_harmonic && k * frequency < band_edge; ++k) {
    const double magnitude =
        MeasureTone(time_rec, column, k * frequency, window_code, context).magnitude;
    power += magnitude * magnitude;
  }
  return std::sqrt(power);
}

double TotalHarmonicDistortion(const TDataMeas& time_rec, int column, double frequency,
                               int max_harmonic, std::uint8_t window_code,
                               const AnalysisContext& context) {
  const double fundamental =
      MeasureTone(time_rec, column, frequency, window_code, context).magnitude;
  return SafeDiv(fundamental,
                 HarmonicLevel(time_rec, column, frequency, max_harmonic, window_code, context));
}

std::int32_t FrequencyPointIndex(TDataMeas& freq_rec, double frequency) {
  FitColumns(freq_rec);
  DataArray& axis = freq_rec.FFields[0].Values;
  const auto at = std::lower_bound(axis.begin(), axis.end(), frequency);
  const auto index = static_cast<std::int32_t>(at - axis.begin());
  if (at != axis.end() && SameFrequency(*at, frequency)) return index;
  if (index > 0 && SameFrequency(axis[static_cast<std::size_t>(index - 1)], frequency)) {
    return index - 1;
  }
  for (int c = 0; c < freq_rec.FNumFields; ++c) {
    DataArray& values = freq_rec.FFields[static_cast<std::size_t>(c)].Values;
    values.insert(values.begin() + index, c == 0 ? frequency : 0.0);
  }
  ++freq_rec.FNumPoints;
  freq_rec.FStartTime = axis.front();
  freq_rec.FEndX = axis.back();
  freq_rec.FChanged = 1;
  return index;
}

bool IsSteppedType(int acq_type) {
  return (acq_type >= 8 && acq_type <= 10) || (acq_type >= 13 && acq_type <= 15);
}

void ResetSteppedResult(TDataMeas& freq_rec, int acq_type) {
  if (!IsSteppedType(acq_type)) return;
  freq_rec.FNumPoints = 0;
  FitColumns(freq_rec);
  freq_rec.FStartTime = kNoPointYet;
  freq_rec.FEndX = 0.0;
  freq_rec.FChanged = 1;
}

void StoreSteppedTone(TDataMeas& freq_rec, const TDataMeas& time_rec, int acq_type, int stim_code,
                      const ToneLists& tones, const ComponentTrackSettings& tracking,
                      std::uint8_t window_code, const AnalysisContext& context) {
  switch (acq_type) {
    case 8:
    case 9:
      StoreResponse(freq_rec, time_rec, tones, window_code, context);
      break;
    case 10:
      StoreMagnitudes(freq_rec, time_rec, tones, window_code, context);
      break;
    case 14:
    case 15:
      StoreComponents(freq_rec, time_rec, acq_type, stim_code, tones, tracking, window_code,
                      context);
      break;
    default:
      break;
  }
}

}  // namespace vireon
