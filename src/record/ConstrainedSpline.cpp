#include "record/ConstrainedSpline.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vireon {
namespace {

// Coincident knots would divide by zero; they count as lying far apart instead.
constexpr double kZeroIntervalGap = 1e30;

double Gap(double from, double to) {
  const double gap = to - from;
  return gap == 0 ? kZeroIntervalGap : gap;
}

// Non-positive frequencies cannot be logged: each one goes one octave below the point after it.
std::vector<double> LogFrequencies(std::span<const double> f) {
  constexpr double kOctaveInLn = 0.693;
  std::vector<double> log_f(f.size());
  double next = 0.0;
  for (std::size_t i = f.size(); i-- > 0;) {
    log_f[i] = f[i] > 0 ? std::log(f[i]) : next - kOctaveInLn;
    next = log_f[i];
  }
  return log_f;
}

}  // namespace

ConstrainedSpline::ConstrainedSpline(std::span<const double> x, std::span<const double> y)
    : x_(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(std::min(x.size(), y.size()))),
      y_(y.begin(), y.begin() + static_cast<std::ptrdiff_t>(x_.size())),
      slopes_(x_.size(), 0.0) {
  const std::size_t n = x_.size();
  if (n < 2) return;
  if (n == 2) {
    slopes_[0] = slopes_[1] = (y_[1] - y_[0]) / Interval(1);
    return;
  }
  for (std::size_t i = 1; i + 1 < n; ++i) {
    const double rise_left = y_[i] - y_[i - 1];
    const double rise_right = y_[i + 1] - y_[i];
    const double secant_left = rise_left / Interval(i);
    const double secant_right = rise_right / Interval(i + 1);
    if (secant_left * secant_right > 0) {
      slopes_[i] = 2.0 / (Interval(i + 1) / rise_right + Interval(i) / rise_left);
    }
  }
  const double first_secant = (y_[1] - y_[0]) / Interval(1);
  const double last_secant = (y_[n - 1] - y_[n - 2]) / Interval(n - 1);
  slopes_[0] = 1.5 * first_secant - 0.5 * slopes_[1];
  slopes_[n - 1] = 1.5 * last_secant - 0.5 * slopes_[n - 2];
}

double ConstrainedSpline::Interval(std::size_t right) const {
  return Gap(x_[right - 1], x_[right]);
}

std::size_t ConstrainedSpline::RightKnotOf(double x, std::size_t guess) const {
  const std::size_t n = x_.size();
  // Ascending abscissas mostly fall into the interval of the previous one or the next; the
  // bisection finds the same interval, which is unique for ascending knots.
  for (std::size_t high = std::max<std::size_t>(guess, 1); high < std::min(guess + 2, n); ++high) {
    if (x_[high - 1] <= x && (x < x_[high] || high == n - 1)) return high;
  }
  std::size_t low = 0;
  std::size_t high = n - 1;
  while (high - low > 1) {
    const std::size_t mid = (low + high) / 2;
    if (x_[mid] > x) {
      high = mid;
    } else {
      low = mid;
    }
  }
  return high;
}

double ConstrainedSpline::RawValueAt(double x, std::size_t& guess) const {
  const std::size_t n = x_.size();
  if (n == 0) return std::numeric_limits<double>::quiet_NaN();
  if (n == 1) return y_[0];
  if (x < x_[0]) return y_[0] + (x - x_[0]) * (y_[1] - y_[0]) / Interval(1);
  if (x > x_[n - 1]) return y_[n - 1] + (x - x_[n - 1]) * (y_[n - 1] - y_[n - 2]) / Interval(n - 1);

  const std::size_t high = RightKnotOf(x, guess);
  const std::size_t low = high - 1;
  guess = high;
  const double h = Interval(high);
  const double a = (x_[high] - x) / h;
  const double b = 1.0 - a;
  const double rise = y_[high] - y_[low];
  const double slope_low = slopes_[low];
  const double slope_high = slopes_[high];
  return a * y_[low] + b * y_[high] +
         (a * a * a - a) / 6.0 * (6.0 * rise - 2.0 * h * (2.0 * slope_low + slope_high)) +
         (b * b * b - b) / 6.0 * (2.0 * h * (2.0 * slope_high + slope_low) - 6.0 * rise);
}

std::vector<double> ConstrainedSpline::Evaluate(std::span<const double> new_x,
                                                Notices& notices) const {
  std::vector<double> values(new_x.size());
  bool math_error = false;
  std::size_t guess = 1;
  for (std::size_t i = 0; i < new_x.size(); ++i) {
    const double value = RawValueAt(new_x[i], guess);
    math_error = math_error || !std::isfinite(value);
    values[i] = std::isfinite(value) ? value : 1.0;
  }
  if (math_error) notices.Notice("Math error during curve fitting!");
  return values;
}

std::vector<double> InterpolateLogFreq(std::span<const double> x, std::span<const double> y,
                                       std::span<const double> new_x, Notices& notices) {
  const std::vector<double> log_x = LogFrequencies(x);
  return ConstrainedSpline(log_x, y).Evaluate(LogFrequencies(new_x), notices);
}

}  // namespace vireon
