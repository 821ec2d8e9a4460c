#include "stimulus/ChirpGenerator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "stimulus/SamplePacking.h"

namespace vireon {

namespace {

constexpr long double kTwoPiL = 2.0L * std::numbers::pi_v<long double>;

std::int32_t ChirpLength(double time_length_s, int play_rate) {
  return static_cast<std::int32_t>(std::nearbyint(play_rate * time_length_s));
}

// The fade of output 2 ends where the full-band sweep's instantaneous frequency reaches the
// cut-off: the frequency, not the accumulated phase, is what a low-pass acts on.
std::int32_t FadeLength(double cutoff_hz, std::int32_t length, int play_rate, int record_rate) {
  if (length < 2) return 0;
  const long double f1 = static_cast<long double>(record_rate) / length;
  const long double f2 = record_rate / 2.0L - f1;
  const long double log_ratio = std::log(f2 / f1) / length;  // ln r per sample
  const long double target = cutoff_hz * static_cast<long double>(play_rate) / record_rate;
  if (!(log_ratio > 0.0L) || target <= f1) return 0;
  const long double index = std::floor(std::log(target / f1) / log_ratio) + 1.0L;
  return static_cast<std::int32_t>(std::min<long double>(index, length - 1));
}

}  // namespace

bool HasFixedChirpLimits(int acq_type) {
  return acq_type == kAcqImpulseViaChirp || acq_type == kAcqFreqRespMagPhase ||
         acq_type == kAcqHarmonicDistortion || acq_type == kAcqIntermodulation ||
         acq_type == kAcqImpulseAsynch1ch || acq_type == kAcqImpulseAsynch2ch;
}

ChirpSweepParameters ChirpSweepFor(const ChirpSettings& settings, int acq_type, int play_rate,
                                   int record_rate) {
  ChirpSweepParameters p;
  p.length = ChirpLength(settings.time_length_s, play_rate);
  p.play_rate = play_rate;
  p.linear = settings.linear_sweep;
  if (HasFixedChirpLimits(acq_type) && p.length > 0) {
    p.start_hz = static_cast<double>(record_rate) / p.length;
    p.stop_hz = record_rate / 2.0 - p.start_hz;
  } else {
    p.start_hz = std::max(0.1, std::min(settings.start_hz, settings.stop_hz));
    p.stop_hz = std::max(0.1, std::max(settings.start_hz, settings.stop_hz));
    if (p.start_hz == p.stop_hz) p.stop_hz = 1.01 * p.start_hz;
  }
  return p;
}

ChirpSweep::ChirpSweep(const ChirpSweepParameters& parameters)
    : parameters_(parameters),
      first_increment_(kTwoPiL * parameters.start_hz / parameters.play_rate),
      ratio_(parameters.length > 0
                 ? std::exp2(std::log2(static_cast<long double>(parameters.stop_hz) /
                                       parameters.start_hz) /
                             parameters.length)
                 : 1.0L),
      linear_step_(parameters.length > 0
                       ? kTwoPiL * (parameters.stop_hz - parameters.start_hz) /
                             (static_cast<long double>(parameters.length) * parameters.play_rate)
                       : 0.0L) {
  Restart();
}

void ChirpSweep::Restart() {
  phase_ = 0.0L;
  increment_ = first_increment_;
  index_ = 0;
}

double ChirpSweep::Next() {
  if (index_ >= parameters_.length) return 0.0;
  const double value = std::sin(static_cast<double>(phase_));
  // Whole turns are taken off so that sin works on a small argument; the extended precision keeps
  // the turns removed from adding up to a phase error over long sweeps.
  phase_ += increment_;
  if (phase_ >= kTwoPiL) phase_ -= kTwoPiL;
  if (parameters_.linear) {
    increment_ += linear_step_;
  } else {
    increment_ *= ratio_;
  }
  ++index_;
  return value;
}

double ChirpSweep::OctavesPerSecond() const {
  if (parameters_.linear || parameters_.length <= 0) return 0.0;
  return std::log2(parameters_.stop_hz / parameters_.start_hz) /
         (static_cast<double>(parameters_.length) / parameters_.play_rate);
}

std::vector<double> BuildChirpArray(const ChirpSweepParameters& parameters, std::int32_t length) {
  ChirpSweep sweep(parameters);
  std::vector<double> values(static_cast<std::size_t>(std::max(length, 0)));
  for (double& value : values) value = sweep.Next();
  return values;
}

ChirpGenerator::ChirpGenerator(const ChirpSettings& settings, const StimulusSelection& selection,
                               bool synchronous)
    : parameters_(
          ChirpSweepFor(settings, selection.acq_type, selection.play_rate, selection.record_rate)),
      sweep_(parameters_),
      synchronous_(synchronous),
      scale1_(selection.gain1 * FullScale(selection.play_bits) * (synchronous ? 0.99 : 1.0)),
      scale2_(synchronous ? 0.0 : selection.gain2 * FullScale(selection.play_bits)),
      pre_delay_(synchronous ? 0 : std::max(selection.async_chirp_delay, 0)),
      period_length_(synchronous ? 0 : selection.period_length) {
  const ChirpSweepParameters& sweep = parameters_;
  if (!synchronous &&
      (selection.acq_type == kAcqHarmonicDistortion || selection.acq_type == kAcqIntermodulation)) {
    reference_ = BuildChirpArray(sweep, sweep.length);
    for (double& value : reference_) value *= 0.99;
  }
  if (!synchronous && selection.acq_type == kAcqIntermodulation) {
    const double q = selection.imd_frequency_ratio;
    pair_delay_ = static_cast<std::int32_t>(
        std::nearbyint(selection.record_rate * settings.time_length_s * std::log(1.0 / q) /
                       std::log(sweep.stop_hz / sweep.start_hz)));
    pair_delay_ = std::max(pair_delay_, 0);
  }
  if (!synchronous && selection.play_bits == 24 && !sweep.linear && settings.output2_lowpass) {
    fade_length_ = FadeLength(settings.output2_lowpass_hz, sweep.length, selection.play_rate,
                              selection.record_rate);
  }
}

void ChirpGenerator::StartPeriod() {
  position_ = 0;
  sweep_.Restart();
}

double ChirpGenerator::ChirpValue(std::int32_t k) {
  if (reference_.empty()) return sweep_.Next();
  const auto at = [this](std::int32_t i) {
    return i >= 0 && i < static_cast<std::int32_t>(reference_.size()) ? reference_[i] : 0.0;
  };
  if (pair_delay_ < 0) return at(k);
  return 0.5 * (at(k) + at(k - pair_delay_));
}

double ChirpGenerator::Output2Fade(std::int32_t k) const {
  if (fade_length_ < 0) return 1.0;
  if (k >= fade_length_) return 0.0;
  if (2 * k <= fade_length_) return 1.0;
  const double x = 2.0 * std::numbers::pi * k / fade_length_;
  return 0.355768 - 0.487396 * std::cos(x) + 0.144232 * std::cos(2.0 * x) -
         0.012604 * std::cos(3.0 * x);
}

StereoValue ChirpGenerator::Next(bool inverted) {
  if (period_length_ > 0 && position_ >= period_length_) StartPeriod();
  const std::int32_t k = position_ - pre_delay_;
  ++position_;
  if (k < 0) return {};
  double value = ChirpValue(k);
  if (inverted) value = -value;
  return {scale1_ * value, synchronous_ ? 0.0 : scale2_ * value * Output2Fade(k)};
}

}  // namespace vireon
