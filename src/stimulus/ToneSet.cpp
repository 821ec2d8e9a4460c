#include "stimulus/ToneSet.h"

#include <cmath>
#include <numbers>

namespace vireon {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

double OmegaAt(double frequency, int play_rate) {
  return play_rate > 0 ? kTwoPi * frequency / play_rate : 0.0;
}

}  // namespace

double ToneComponentValue(const TSinePars& c, std::int64_t n) {
  const double angle = static_cast<double>(n) * c.Omega + c.Phase;
  switch (static_cast<ToneKind>(c.Kind)) {
    case ToneKind::kSine:
      return c.Amplitude * std::cos(angle);
    case ToneKind::kSquare:
      return std::sin(angle) >= std::cos(c.Duty * std::numbers::pi) ? c.Amplitude : -c.Amplitude;
    case ToneKind::kStep:
      return static_cast<double>(n) > c.Phase ? c.Amplitude : 0.0;
    case ToneKind::kImpulse:
      return static_cast<double>(n) == std::nearbyint(c.Phase) ? c.Amplitude : 0.0;
    case ToneKind::kTriangle: {
      const double cycles = angle / kTwoPi;
      const double t = cycles - std::floor(cycles);
      return t >= 0.5 ? c.Amplitude * (4.0 * t - 3.0) : c.Amplitude * (1.0 - 4.0 * t);
    }
  }
  return 0.0;
}

namespace {

// One step of an auto-generated quantity towards its limit.
double Advance(const AutoRamp& ramp, double value) {
  const bool upward = ramp.start < ramp.limit;
  if (ramp.multiply) return upward ? value * ramp.step : value / ramp.step;
  return upward ? value + ramp.step : value - ramp.step;
}

bool ReachedLimit(const AutoRamp& ramp, double value) {
  if (ramp.start < ramp.limit) return value >= ramp.limit;
  if (ramp.start > ramp.limit) return value < ramp.limit;
  return false;
}

}  // namespace

ToneLists DefaultToneLists() {
  return {{TSinePars{1000.0, 0.0, 0.5, 0.0, 0, 0.5}}, {TSinePars{1000.0, 0.0, 1.0, 0.0, 0, 0.5}}};
}

double WrapPhase(double radians) {
  if (!std::isfinite(radians)) return 0.0;
  double wrapped = std::remainder(radians, kTwoPi);  // [-π, π]
  if (wrapped <= -std::numbers::pi) wrapped += kTwoPi;
  return wrapped;
}

void AddComponent(SineParsArray& list, ToneKind kind, double duty, double phase, double amplitude,
                  double frequency, int play_rate) {
  // The "phase" of a step or an impulse is its position in samples: wrapping would move it.
  const bool positional = kind == ToneKind::kStep || kind == ToneKind::kImpulse;
  list.push_back({frequency, OmegaAt(frequency, play_rate), amplitude,
                  positional ? phase : WrapPhase(phase), static_cast<std::int32_t>(kind), duty});
}

void ClearToneSet(SineParsArray& list) { list.clear(); }

void SetToneRate(SineParsArray& list, int play_rate) {
  for (TSinePars& c : list) c.Omega = OmegaAt(c.Frequency, play_rate);
}

double AmplitudeSum(const SineParsArray& list) {
  double sum = 0.0;
  for (const TSinePars& c : list) sum += c.Amplitude;
  return sum;
}

void AutoPeak(SineParsArray& list, PeakSetting setting) {
  if (list.empty()) return;
  if (setting == PeakSetting::kAllSame) {
    for (TSinePars& c : list) c.Amplitude = 1.0 / static_cast<double>(list.size());
  }
  const double sum = AmplitudeSum(list);
  if (!(sum > 0.0)) return;
  const SineParsArray original = list;
  double a = 1.0;
  do {
    for (std::size_t i = 0; i < list.size(); ++i)
      list[i].Amplitude = original[i].Amplitude * a / sum;
    a *= 0.999999999;
  } while (AmplitudeSum(list) > 1.0);
}

double ToneSetValue(const SineParsArray& list, std::int64_t n) {
  double sum = 0.0;
  for (const TSinePars& c : list) sum += ToneComponentValue(c, n);
  return sum;
}

void AutoGenerate(SineParsArray& list, const AutoGenerateParameters& parameters, int play_rate) {
  double frequency = parameters.frequency.start;
  double level = parameters.level.start;
  double phase_deg = parameters.phase.start;
  for (int added = 0; added < parameters.max_components;) {
    double f = frequency;
    if (parameters.exact_bins && parameters.fft_size > 0 && play_rate > 0) {
      const double bin = static_cast<double>(play_rate) / parameters.fft_size;
      f = std::nearbyint(f / bin) * bin;
    }
    AddComponent(list, ToneKind::kSine, 0.0, phase_deg * std::numbers::pi / 180.0, level, f,
                 play_rate);
    ++added;
    if (ReachedLimit(parameters.frequency, frequency) || ReachedLimit(parameters.level, level) ||
        ReachedLimit(parameters.phase, phase_deg)) {
      break;
    }
    if (parameters.frequency.start != parameters.frequency.limit) {
      frequency = Advance(parameters.frequency, frequency);
    }
    if (parameters.level.start != parameters.level.limit) level = Advance(parameters.level, level);
    if (parameters.phase.start != parameters.phase.limit) {
      phase_deg = Advance(parameters.phase, phase_deg);
    }
  }
}

}  // namespace vireon
