#include "record/SlidingWind.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vireon {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// One-pole smoothing forward and then backward, which cancels its phase shift.
void SmoothBothWays(DataArray& y, double g) {
  const double h = 1.0 - g;
  for (std::size_t i = 1; i < y.size(); ++i) y[i] = h * y[i] + g * y[i - 1];
  for (std::size_t i = y.size(); i-- > 1;) y[i - 1] = h * y[i - 1] + g * y[i];
}

double BlackmanHarris4(double f) {
  return 0.355768 - 0.487396 * std::cos(f) + 0.144232 * std::cos(2 * f) -
         0.012604 * std::cos(3 * f);
}

}  // namespace

void SlidingTailWindow(DataArray& x, std::int32_t start, std::int32_t end, double sample_rate,
                       bool zero_before_start) {
  const auto len = static_cast<std::int64_t>(x.size());
  if (len < 8 || !(sample_rate > 0)) return;
  const std::int64_t s = std::clamp<std::int64_t>(start, 0, len - 4);
  const std::int64_t t = std::clamp<std::int64_t>(end, s + 3, len - 1);
  const std::int64_t gate = t - s + 1;
  const double f5 = 5.0 * sample_rate / static_cast<double>(gate);
  const std::int64_t half = gate / 2;
  const std::int64_t mid = s + half;
  if (zero_before_start) std::fill(x.begin(), x.begin() + s, 0.0);

  const double g = std::exp(-kTwoPi * f5 / sample_rate);
  DataArray q(x.begin(), x.begin() + len / 2);
  SmoothBothWays(q, g);
  // The detail left out by the smoothing, faded out over the gate's second half. The copy
  // holds only the first half of the record: a gate reaching beyond it is cut there.
  const auto q_len = static_cast<std::int64_t>(q.size());
  DataArray d(static_cast<std::size_t>(std::min(s + gate, q_len)));
  for (std::size_t i = 0; i < d.size(); ++i) d[i] = x[i] - q[i];
  for (std::int64_t k = half; k < gate; ++k) {
    const std::int64_t index = mid + k - half;
    if (index >= static_cast<std::int64_t>(d.size())) break;
    d[static_cast<std::size_t>(index)] *=
        BlackmanHarris4(kTwoPi * static_cast<double>(k) / static_cast<double>(gate));
  }
  for (std::size_t i = 0; i < d.size(); ++i) q[i] += d[i];

  const auto at = [&x](std::int64_t i) -> double& { return x[static_cast<std::size_t>(i)]; };
  for (std::int64_t i = 1; i < t; ++i) at(i) = at(i) * (1 - g) + at(i - 1) * g;
  // The tail's smoothing widens with time: its corner falls as 5 / (time since the gate).
  const auto sliding = [&](std::int64_t i) {
    return std::exp(-kTwoPi * 5.0 / static_cast<double>(i + gate - t + 1));
  };
  for (std::int64_t i = t; i < len; ++i) {
    const double w = sliding(i);
    at(i) = at(i) * (1 - w) + at(i - 1) * w;
  }
  for (std::int64_t i = len - 2; i >= t; --i) {
    const double w = sliding(i);
    at(i) = at(i) * (1 - w) + at(i + 1) * w;
  }
  for (std::int64_t k = t - 1; k >= 1; --k) at(k) = at(k) * (1 - g) + at(k - 1) * g;

  const std::int64_t copy_end = std::min({len - 1, t, q_len - 1});
  for (std::int64_t i = 0; i <= copy_end; ++i) at(i) = q[static_cast<std::size_t>(i)];
  std::fill(x.begin() + std::max<std::int64_t>(len / 2 - 1, 0), x.end(), 0.0);
}

}  // namespace vireon
