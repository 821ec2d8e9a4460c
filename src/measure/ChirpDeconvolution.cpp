#include "measure/ChirpDeconvolution.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <new>
#include <numbers>

#include "common/VireonError.h"
#include "record/Averaging.h"
#include "record/Conversions.h"
#include "record/DataTypes.h"
#include "record/FASTtransforms.h"
#include "record/NumericHelpers.h"
#include "record/PhaseUnits.h"

namespace vireon {
namespace {

constexpr const char* kChirpArraysError = "Error: Could not initialize Chirp Arrays.";

// Below this power a bin carries no sweep energy; dividing by it would only amplify rounding.
constexpr double kNoSweepEnergy = 1e-18;

// How far before the correlation peak the onset search looks, and the level that marks the onset.
constexpr double kOnsetSearchSeconds = 0.05;
constexpr double kOnsetFraction = 0.15;

// Bins from this fraction of the record length up are dropped from the ReSync impulse, where the
// converters' anti-aliasing filters leave only noise to divide by.
constexpr double kTopBinFraction = 0.499;

bool IsPowerOfTwo(std::int64_t n) { return n > 0 && (n & (n - 1)) == 0; }

struct Spectrum {
  DataArray re;
  DataArray im;
};

// FFT of the values zero-padded (or cut) to n points, n a power of two.
Spectrum Transform(std::span<const double> values, std::int32_t n) {
  Spectrum s;
  s.re.assign(static_cast<std::size_t>(n), 0.0);
  std::copy_n(values.begin(), std::min(values.size(), s.re.size()), s.re.begin());
  ForwardFFT(s.re, s.im);
  return s;
}

// Bins 0..n/2 of the chirp zero-padded to n points.
std::vector<std::complex<double>> HalfSpectrum(std::span<const double> chirp, std::int32_t n) {
  const Spectrum x = Transform(chirp, n);
  std::vector<std::complex<double>> bins(static_cast<std::size_t>(n / 2) + 1);
  for (std::size_t k = 0; k < bins.size(); ++k) bins[k] = {x.re[k], x.im[k]};
  return bins;
}

// The real signal whose bins 0..n/2 are given; the Nyquist bin is made real.
DataArray HermitianInverse(Spectrum s) {
  const std::size_t n = s.re.size();
  const std::size_t half = n / 2;
  s.im[half] = 0.0;
  for (std::size_t k = 1; k < half; ++k) {
    s.re[n - k] = s.re[k];
    s.im[n - k] = -s.im[k];
  }
  InverseFFT(s.re, s.im);
  return std::move(s.re);
}

void RotateRight(DataArray& values, std::int64_t shift) {
  const auto n = static_cast<std::int64_t>(values.size());
  if (n == 0) return;
  const std::int64_t s = ((shift % n) + n) % n;
  std::rotate(values.begin(), values.end() - s, values.end());
}

std::span<const double> ChannelValues(const TDataMeas& record, int column) {
  if (column >= record.FNumFields) return {};
  const DataArray& values = record.FFields[static_cast<std::size_t>(column)].Values;
  const auto points = static_cast<std::size_t>(std::max(record.FNumPoints, 0));
  return std::span<const double>(values).first(std::min(values.size(), points));
}

// Makes the record a one-column time record of the given samples starting d samples early.
void SetImpulse(TDataMeas& record, DataArray samples, std::int32_t converter_delay) {
  const auto n = static_cast<std::int32_t>(samples.size());
  const double fs = record.FSampleRate;
  record.FDataType = kTimeDomain;
  record.FNumPoints = n;
  record.FFields[0].Values = std::move(samples);
  record.AllocColumns();
  record.FStartTime = fs > 0 ? -converter_delay / fs : 0.0;
  record.FDelayA = record.FStartTime;
  record.FEndX = fs > 0 ? (n - 1) / fs + record.FStartTime : record.FStartTime;
}

// Bins 1..n/2 multiplied by the correction of the channel's input kind (microphones 1 and 2).
void CorrectMicrophone(Spectrum& s, std::uint8_t input_kind, std::span<const double> frequencies,
                       const AnalysisContext& context) {
  if (input_kind > 1) return;
  const std::size_t bins = frequencies.size() - 1;
  ApplyInputCorrection(std::span(s.re).subspan(1, bins), std::span(s.im).subspan(1, bins),
                       input_kind, frequencies.subspan(1), context.Correction);
}

struct PolarBin {
  double magnitude;
  double phase_deg;
};

// A / B of one bin, guarded so a silent reference bin gives a finite value.
PolarBin Ratio(const Spectrum& a, const Spectrum& b, std::size_t k) {
  return {SafeDiv(Hypot(b.re[k], b.im[k]), Hypot(a.re[k], a.im[k])),
          PhaseDeg(a.re[k], a.im[k]) - PhaseDeg(b.re[k], b.im[k])};
}

void LabelDirectResponse(TDataMeas& freq_rec, const TDataMeas& pass) {
  freq_rec.FDataType = kFrequencyResponse;
  freq_rec.FNumFields = 3;
  freq_rec.FLinearFreq = 0;
  if (!freq_rec.FTitleLocked) freq_rec.FTitle = "Frequency Response Data";
  TFieldType& magnitude = freq_rec.FFields[1];
  magnitude.Name = "Frequency Domain Mag[A]";
  magnitude.ShowAsDb = 1;
  TFieldType& phase = freq_rec.FFields[2];
  phase.Name = "Frequency Domain Ang[A]";
  MarkAsPhase(phase);
  phase.WrapPhase = 1;
  for (int c = 0; c < 3; ++c) {
    freq_rec.FFields[static_cast<std::size_t>(c)].InputKind = pass.FFields[0].InputKind;
  }
  freq_rec.FWindowType = 0;
  freq_rec.FDelayA = 0.0;
  freq_rec.FDelayB = 0.0;
  freq_rec.FChanged = 1;
}

// A / B of bins 0..n/2 - 1 averaged (complex) into freq_rec, left as magnitude and phase.
void AverageDirectResponse(const Spectrum& a, const Spectrum& b, std::span<const double> freq,
                           const TDataMeas& pass, TDataMeas& freq_rec,
                           const AnalysisContext& context) {
  const auto half = static_cast<std::int32_t>(freq.size() - 1);
  const double fs = pass.FSampleRate;
  TDataMeas response;
  response.FDataType = kFrequencyResponse;
  response.FNumFields = 3;
  response.FNumPoints = half;
  response.AllocColumns();
  // Bin 0 stays 0: the sweep carries no DC, so a ratio there is noise.
  for (std::int32_t j = 0; j < half; ++j) {
    const auto k = static_cast<std::size_t>(j);
    response.FFields[0].Values[k] = freq[k];
    if (j == 0) continue;
    const PolarBin h = Ratio(a, b, k);
    response.FFields[1].Values[k] = PolarRe(h.phase_deg, h.magnitude);
    response.FFields[2].Values[k] = PolarIm(h.phase_deg, h.magnitude);
  }
  response.FSampleRate = pass.FSampleRate;
  response.FEndX = kTopBinFraction * fs;
  response.FStartTime = response.FBinWidth[0] = freq[1];

  freq_rec.FNumFields = 3;
  freq_rec.FNumPoints = half;
  freq_rec.FDataType = kFrequencyResponse;
  freq_rec.AllocColumns();
  freq_rec.FFields[0].Values = response.FFields[0].Values;
  freq_rec.FSampleRate = response.FSampleRate;
  freq_rec.FStartTime = response.FStartTime;
  freq_rec.FEndX = response.FEndX;
  freq_rec.FBinWidth[0] = response.FBinWidth[0];
  AverageArrays(freq_rec, response, AverageColumns{1, 2, 1, 2}, true, true, context);
  ToPolar(freq_rec.FFields[1].Values, freq_rec.FFields[2].Values);
  LabelDirectResponse(freq_rec, pass);
}

// The impulse response of A / B, rotated d samples in, with the sweep's wrapped harmonic
// impulses (up to the fifth order) cut from its end.
void ReplaceWithImpulse(const Spectrum& a, const Spectrum& b, TDataMeas& pass,
                        double octaves_per_second, std::int32_t converter_delay) {
  const std::size_t n = a.re.size();
  const std::size_t half = n / 2;
  const auto top_bin = static_cast<std::size_t>(std::nearbyint(kTopBinFraction * n));
  Spectrum h{DataArray(n, 0.0), DataArray(n, 0.0)};
  for (std::size_t k = 0; k < half; ++k) {
    const PolarBin ratio = Ratio(a, b, k);
    const double magnitude = k >= top_bin ? 0.0 : ratio.magnitude;
    h.re[k] = PolarRe(ratio.phase_deg, magnitude);
    h.im[k] = PolarIm(ratio.phase_deg, magnitude);
  }
  DataArray impulse = HermitianInverse(std::move(h));
  RotateRight(impulse, converter_delay);
  if (octaves_per_second > 0) {
    const double fs = pass.FSampleRate;
    const double harmonic_span = std::trunc(fs * std::log2(5.0) / octaves_per_second + 1.0);
    // A narrow sweep spreads its harmonics over more than the record; keep two samples at least.
    const double cut = std::clamp(harmonic_span, 0.0, static_cast<double>(n - 2));
    impulse.resize(n - static_cast<std::size_t>(cut));
  }
  const auto length = static_cast<std::int32_t>(impulse.size());
  pass.FNumFields = 1;
  SetImpulse(pass, std::move(impulse), converter_delay);
  pass.FBinWidth[0] = 0.0;
  pass.FXUnits = "sec";
  pass.FFields[0].ShowAsDb = 0;
  pass.FLogX = 0;
  pass.FChanged = 1;
  pass.FindPeakTime(0);
  pass.FWinStart = std::max(pass.FWinStart, 0);
  pass.FWinEnd = std::min(pass.FWinEnd, length - 1);
}

// The cross-correlation of one channel with the chirp over m = 2·(bins - 1) points. A shorter
// channel is extended with its first sample.
DataArray CorrelateWithChirp(std::span<const double> channel,
                             std::span<const std::complex<double>> chirp_spectrum) {
  const std::size_t m = 2 * (chirp_spectrum.size() - 1);
  Spectrum s;
  s.re.assign(m, channel.empty() ? 0.0 : channel.front());
  std::copy_n(channel.begin(), std::min(channel.size(), m), s.re.begin());
  ForwardFFT(s.re, s.im);
  for (std::size_t k = 0; k < chirp_spectrum.size(); ++k) {
    const std::complex<double> c = std::complex(s.re[k], s.im[k]) * std::conj(chirp_spectrum[k]);
    s.re[k] = c.real();
    s.im[k] = c.imag();
  }
  return HermitianInverse(std::move(s));
}

// The earliest index within `look_back` samples before the largest magnitude whose magnitude
// exceeds the onset fraction of it; the search ends at the start of the array.
std::int64_t OnsetIndex(std::span<const double> x, std::int64_t look_back) {
  const auto by_magnitude = [](double l, double r) { return std::fabs(l) < std::fabs(r); };
  const auto peak = std::max_element(x.begin(), x.end(), by_magnitude) - x.begin();
  const double threshold = kOnsetFraction * std::fabs(x[static_cast<std::size_t>(peak)]);
  std::int64_t onset = peak;
  for (std::int64_t i = peak; i >= std::max<std::int64_t>(peak - look_back, 0); --i) {
    if (std::fabs(x[static_cast<std::size_t>(i)]) > threshold) onset = i;
  }
  return onset;
}

}  // namespace

ChirpSpectra PrepareChirpSpectra(std::span<const double> chirp, std::int32_t capture_length,
                                 std::int32_t converter_delay) {
  if (chirp.empty() || !IsPowerOfTwo(capture_length) ||
      static_cast<std::size_t>(capture_length) < chirp.size()) {
    throw VireonError(kChirpArraysError);
  }
  try {
    ChirpSpectra result;
    result.length = capture_length;
    result.spectrum = HalfSpectrum(chirp, capture_length);
    result.inverse.assign(result.spectrum.size(), 0.0);
    for (std::size_t k = 0; k < result.spectrum.size(); ++k) {
      const std::complex<double> bin = result.spectrum[k];
      if (std::norm(bin) <= kNoSweepEnergy) continue;
      // d·k modulo N keeps the delay phase exact for long records.
      const auto turns =
          (static_cast<std::int64_t>(converter_delay) * static_cast<std::int64_t>(k)) %
          capture_length;
      const double angle = -2.0 * std::numbers::pi * static_cast<double>(turns) / capture_length;
      result.inverse[k] = std::polar(1.0, angle) / bin;
    }
    return result;
  } catch (const std::bad_alloc&) {
    throw VireonError(kChirpArraysError);
  }
}

std::int32_t ChirpCaptureLength(int record_rate, int play_rate, std::int32_t stimulus_length,
                                double k, std::int32_t fft_size) {
  const double scaled =
      play_rate > 0
          ? std::nearbyint(static_cast<double>(record_rate) / play_rate * stimulus_length * k)
          : 0.0;
  constexpr double kLargest = 1 << 30;
  const auto wanted = static_cast<std::int64_t>(std::clamp(scaled, 0.0, kLargest));
  return static_cast<std::int32_t>(
      std::min<std::int64_t>(Pow2Ceil(std::max<std::int64_t>(wanted, fft_size)), 1 << 30));
}

SweepReference MakeSweepReference(double chirp_seconds, int play_rate, int record_rate,
                                  std::int32_t fft_size, bool reversed) {
  const double samples = std::nearbyint(play_rate * chirp_seconds);
  // Below five samples f2 = fs/2 - fs/L no longer lies above f1 = fs/L.
  if (!(samples > 4.0 && samples < (1 << 30)) || record_rate <= 0) {
    throw VireonError(kChirpArraysError);
  }
  SweepReference ref;
  ref.length = static_cast<std::int32_t>(samples);
  const double fs = record_rate;
  ref.start_hz = fs / ref.length;
  ref.stop_hz = fs / 2.0 - fs / ref.length;
  ref.log_constant = chirp_seconds / std::log(ref.stop_hz / ref.start_hz);
  constexpr double kCaptureFactor = 2.2;  // room for the sweep and its harmonic impulses
  ref.capture_length =
      ChirpCaptureLength(record_rate, play_rate, ref.length, kCaptureFactor, fft_size);
  try {
    ref.sweep.resize(static_cast<std::size_t>(ref.length));
    const long double growth =
        std::exp2(std::log2(static_cast<long double>(ref.stop_hz) / ref.start_hz) / ref.length);
    long double phase = 0.0L;
    long double step = 2.0L * std::numbers::pi_v<long double> * ref.start_hz / play_rate;
    for (double& value : ref.sweep) {
      value = static_cast<double>(std::sin(phase));
      phase += step;
      step *= growth;
    }
    if (reversed) std::reverse(ref.sweep.begin(), ref.sweep.end());
    ref.spectrum = HalfSpectrum(ref.sweep, ref.capture_length);
  } catch (const std::bad_alloc&) {
    throw VireonError(kChirpArraysError);
  }
  return ref;
}

void DeconvolveSynchronousChirp(TDataMeas& pass, const ChirpSpectra& chirp, double output1_level_db,
                                std::int32_t converter_delay) {
  const std::int32_t n = chirp.length;
  const auto half = static_cast<std::size_t>(n / 2);
  if (!IsPowerOfTwo(n) || chirp.inverse.size() != half + 1) return;
  Spectrum y = Transform(ChannelValues(pass, 0), n);
  const double stimulus_scale = std::pow(10.0, -output1_level_db / 20.0);
  for (std::size_t k = 0; k <= half; ++k) {
    const std::complex<double> h =
        std::complex(y.re[k], y.im[k]) * chirp.inverse[k] * stimulus_scale;
    y.re[k] = h.real();
    y.im[k] = h.imag();
  }
  SetImpulse(pass, HermitianInverse(std::move(y)), converter_delay);
}

bool ChirpResyncResponse(TDataMeas& pass, TDataMeas& freq_rec, double octaves_per_second,
                         std::int32_t converter_delay, AnalysisContext& context) {
  // A capture that is not a power of two long is zero-padded to the next one.
  const auto n = static_cast<std::int32_t>(Pow2Ceil(std::max(pass.FNumPoints, 2)));
  const std::size_t half = static_cast<std::size_t>(n) / 2;
  const double fs = pass.FSampleRate;
  DataArray freq(half + 1);
  for (std::size_t k = 0; k <= half; ++k) freq[k] = fs * static_cast<double>(k) / n;

  Spectrum a = Transform(ChannelValues(pass, 0), n);
  Spectrum b = Transform(ChannelValues(pass, 1), n);
  CorrectMicrophone(a, pass.FFields[0].InputKind, freq, context);
  CorrectMicrophone(b, pass.FFields[1].InputKind, freq, context);

  if (pass.FWindowType == 0) {
    AverageDirectResponse(a, b, freq, pass, freq_rec, context);
    return true;
  }
  ReplaceWithImpulse(a, b, pass, octaves_per_second, converter_delay);
  return false;
}

void RecoverAsynchronousImpulse(TDataMeas& pass, const ChirpSpectra& chirp,
                                std::int32_t converter_delay) {
  constexpr std::size_t kFewestBins = 256;
  if (chirp.spectrum.size() < kFewestBins || pass.FNumPoints <= 0) return;
  const auto m = static_cast<std::int32_t>(2 * (chirp.spectrum.size() - 1));
  const std::int32_t n = pass.FNumPoints;
  const double fs = pass.FSampleRate;
  const int channels = pass.FNumFields >= 2 ? 2 : 1;

  std::array<DataArray, 2> correlated;
  std::int64_t start = m;
  const auto look_back = static_cast<std::int64_t>(std::nearbyint(kOnsetSearchSeconds * fs));
  for (int c = 0; c < channels; ++c) {
    DataArray& x = correlated[static_cast<std::size_t>(c)];
    x = CorrelateWithChirp(ChannelValues(pass, c), chirp.spectrum);
    start = std::min(start, OnsetIndex(x, look_back));
  }
  // A record longer than the chirp's capture length was cut to it by the correlation.
  const auto length =
      static_cast<std::int32_t>(std::min<double>(std::nearbyint(n / 1.2), static_cast<double>(m)));
  for (int c = 0; c < channels; ++c) {
    DataArray& x = correlated[static_cast<std::size_t>(c)];
    RotateRight(x, converter_delay - start);
    x.resize(static_cast<std::size_t>(length));
    pass.FFields[static_cast<std::size_t>(c)].Values = std::move(x);
  }
  pass.FNumPoints = length;
  pass.AllocColumns();
  pass.FDelayA = fs > 0 ? -converter_delay / fs : 0.0;
  pass.FStartTime = pass.FDelayA;
  pass.FEndX = fs > 0 ? (length - 1) / fs + pass.FStartTime : pass.FStartTime;
  if (channels == 2) {
    pass.FDelayB = -pass.FDelayA;
    pass.FindPeakTime(1);
  }
  pass.FindPeakTime(0);
}

}  // namespace vireon
