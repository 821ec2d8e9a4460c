#include "stimulus/WaveletBurst.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "stimulus/SamplePacking.h"

namespace vireon {

namespace {

constexpr double kPi = std::numbers::pi;

enum WindowIndex { kNone = 0, kRaisedCosine = 1, kCosineSquared = 2, kFirstCosineSum = 3 };

// Cosine-sum windows 3..8: Blackman-Harris, Hodie5, Hodie7, FlatTop, Blackman, Hamming.
const std::vector<std::vector<double>> kCosineSumTerms = {
    {0.355768, 0.487396, 0.144232, 0.012604},
    {0.67163459718823, 0.98017116095934, 0.36542092481817, 0.059489208003165, 0.0026481652930186},
    {0.6164032131405, 0.98537119272586, 0.49603771622007, 0.14992232793243, 0.02458719103474,
     0.0017660465148687},
    {0.99944841, 1.9114562, 1.0785782, 0.18316202},
    {0.42, 0.5, 0.08},
    {0.54, 0.46},
};

std::vector<double> NormalisedTerms(int window) {
  if (window < kFirstCosineSum || window >= kFirstCosineSum + 6) return {};
  std::vector<double> terms = kCosineSumTerms[static_cast<std::size_t>(window - kFirstCosineSum)];
  double sum = 0.0;
  for (const double a : terms) sum += std::fabs(a);
  for (double& a : terms) a /= sum;
  return terms;
}

}  // namespace

WaveletShape::WaveletShape(const WaveletBurstSettings& settings, double frequency_hz, int play_rate)
    : settings_(settings) {
  const double c = settings.cycles;
  const double f = frequency_hz;
  const double burst = play_rate * c / f;
  // A frequency the acquisition has not set yet plays silence.
  burst_length_ = std::isfinite(burst) && burst >= 0.0 && burst < 2147483647.0
                      ? static_cast<std::int32_t>(std::trunc(burst))
                      : -1;
  carrier_step_ = 2.0 * kPi * f / play_rate;
  cosine_carrier_ = static_cast<long long>(std::nearbyint(2.0 * c)) % 2 != 0;
  const double second_level = std::pow(10.0, settings.second_tone_db / 20.0);
  mix_ = settings.second_tone_multiple != 1.0 ? second_level / (second_level + 1.0) : 0.0;
  second_step_ = 2.0 * kPi * f * settings.second_tone_multiple / play_rate;
  second_phase_ = 2.0 * kPi * f * settings.second_tone_multiple * (c / (2.0 * f)) + kPi / 2.0;
  window_step_ = 2.0 * kPi * f / (c * play_rate);
  window_terms_ = NormalisedTerms(settings.window);
}

double WaveletShape::Window(double n) const {
  switch (settings_.window) {
    case kNone:
      return 1.0;
    case kRaisedCosine:
      return std::cos(n * window_step_ / 2.0 - kPi / 2.0);
    case kCosineSquared: {
      const double w = std::cos(n * window_step_ / 2.0 - kPi / 2.0);
      return w * w;
    }
    default:
      break;
  }
  if (window_terms_.empty()) return 1.0;
  // cos(i·t) by the Chebyshev recurrence: one cosine per sample however many terms.
  const double cos_t = std::cos(n * window_step_);
  double previous = 1.0;
  double current = cos_t;
  double w = window_terms_[0];
  for (std::size_t i = 1; i < window_terms_.size(); ++i) {
    w += i % 2 == 0 ? window_terms_[i] * current : -window_terms_[i] * current;
    const double next = 2.0 * cos_t * current - previous;
    previous = current;
    current = next;
  }
  return w;
}

double WaveletShape::Value(std::int64_t n) const {
  if (n < 0 || n > burst_length_) return 0.0;
  const double x = static_cast<double>(n);
  const double angle = x * carrier_step_ - settings_.cycles * kPi;
  const double carrier = cosine_carrier_ ? std::cos(angle) : std::sin(angle);
  const double second = std::cos(x * second_step_ - second_phase_);
  return Window(x) * (mix_ * second + (1.0 - mix_) * carrier);
}

std::vector<double> BuildWaveletArray(const WaveletBurstSettings& settings, double frequency_hz,
                                      int play_rate, std::int32_t length) {
  const WaveletShape shape(settings, frequency_hz, play_rate);
  std::vector<double> values(static_cast<std::size_t>(std::max(length, 0)));
  for (std::size_t n = 0; n < values.size(); ++n) {
    values[n] = shape.Value(static_cast<std::int64_t>(n));
  }
  return values;
}

WaveletBurstGenerator::WaveletBurstGenerator(const WaveletBurstSettings& settings,
                                             const StimulusSelection& selection)
    : shape_(settings, selection.wavelet_frequency_hz, selection.play_rate),
      scale_(selection.gain1 * FullScale(selection.play_bits) * 0.99) {}

StereoValue WaveletBurstGenerator::Next(bool inverted) {
  const double value = scale_ * shape_.Value(position_++);
  return {inverted ? -value : value, 0.0};
}

}  // namespace vireon
