#include "audio/devices/simulated/IirDesign.h"

#include <cmath>
#include <numbers>

namespace vireon {
namespace {

constexpr double kPi = std::numbers::pi;

// One analog section s^2 + s/q + 1 (or s + 1 when q is 0) mapped with s = (z - 1) / (k (z + 1)),
// k = tan(pi fc / rate): the analog cutoff lands exactly on fc.
BiquadStage DigitalSection(ButterworthKind kind, double k, double q) {
  if (q == 0.0) {
    const double norm = 1.0 / (1.0 + k);
    const double a1 = (k - 1.0) * norm;
    if (kind == ButterworthKind::kLowpass) return {k * norm, k * norm, 0.0, a1, 0.0};
    return {norm, -norm, 0.0, a1, 0.0};
  }
  const double k2 = k * k;
  const double norm = 1.0 / (1.0 + k / q + k2);
  const double a1 = 2.0 * (k2 - 1.0) * norm;
  const double a2 = (1.0 - k / q + k2) * norm;
  if (kind == ButterworthKind::kLowpass) return {k2 * norm, 2.0 * k2 * norm, k2 * norm, a1, a2};
  return {norm, -2.0 * norm, norm, a1, a2};
}

}  // namespace

std::vector<BiquadStage> ButterworthSections(const ButterworthStage& stage, int rate) {
  std::vector<BiquadStage> sections;
  if (stage.hz >= rate / 2.0) return sections;
  const double k = std::tan(kPi * stage.hz / rate);
  // The normalised poles lie on the unit circle at angles (2i - 1) pi / 2n from the imaginary
  // axis; each conjugate pair gives q = 1 / (2 sin(angle)).
  for (int i = 1; i <= stage.order / 2; ++i) {
    const double q = 1.0 / (2.0 * std::sin((2 * i - 1) * kPi / (2.0 * stage.order)));
    sections.push_back(DigitalSection(stage.kind, k, q));
  }
  if (stage.order % 2 == 1) sections.push_back(DigitalSection(stage.kind, k, 0.0));
  return sections;
}

std::optional<BiquadStage> PeakingBiquad(const PeakStage& stage, int rate) {
  if (stage.hz >= rate / 2.0) return std::nullopt;
  const double a = std::pow(10.0, stage.db / 40.0);
  const double w0 = 2.0 * kPi * stage.hz / rate;
  const double alpha = std::sin(w0) / (2.0 * stage.q);
  const double cos_w0 = std::cos(w0);
  const double a0 = 1.0 + alpha / a;
  return BiquadStage{(1.0 + alpha * a) / a0, -2.0 * cos_w0 / a0, (1.0 - alpha * a) / a0,
                     -2.0 * cos_w0 / a0, (1.0 - alpha / a) / a0};
}

}  // namespace vireon
