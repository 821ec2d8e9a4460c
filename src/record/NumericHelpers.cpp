#include "record/NumericHelpers.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>

namespace vireon {
namespace {

constexpr double kDegToRad = std::numbers::pi / 180.0;
constexpr double kRadToDeg = 180.0 / std::numbers::pi;

double SignOf(double v) { return v > 0 ? 1.0 : (v < 0 ? -1.0 : 0.0); }

// Shared by SafeLn and SafeLog10: 0 and failed logarithms map to the ±100000 sentinels.
template <typename Log>
double GuardedLog(double x, Log log) {
  if (x == 0) return -100000.0;
  const double result = log(std::fabs(x));
  if (std::isfinite(result)) return result;
  return std::fabs(x) > 1e-25 ? 100000.0 : -100000.0;
}

}  // namespace

double PolarRe(double deg, double mag) { return mag * std::cos(deg * kDegToRad); }

double PolarIm(double deg, double mag) { return mag * std::sin(deg * kDegToRad); }

double Hypot(double a, double b) { return std::hypot(a, b); }

double PhaseDeg(double re, double im) {
  const double deg = std::atan2(im, re) * kRadToDeg;
  if (std::isfinite(deg)) return deg;
  return re < 0 ? -90.0 : 90.0;
}

std::int64_t Pow2Floor(std::int64_t n) {
  if (n < 1) return 1;
  return static_cast<std::int64_t>(std::bit_floor(static_cast<std::uint64_t>(n)));
}

std::int64_t Pow2Ceil(std::int64_t n) {
  constexpr std::int64_t kLargest = std::int64_t{1} << 62;
  if (n <= 1) return 1;
  if (n >= kLargest) return kLargest;
  return static_cast<std::int64_t>(std::bit_ceil(static_cast<std::uint64_t>(n)));
}

double SafeDiv(double a, double b) {
  constexpr double kLimit = 1e20;
  if (std::fabs(a) > 1e-20) {
    const double quotient = b / a;
    if (std::fabs(quotient) <= kLimit) return quotient;
  }
  return SignOf(b) * SignOf(a) * kLimit;
}

double SafeLn(double x) {
  return GuardedLog(x, [](double v) { return std::log(v); });
}

double SafeLog10(double x) {
  return GuardedLog(x, [](double v) { return std::log10(v); });
}

double ToDb(double x) {
  // Written as "not at least" so that NaN also lands on the floor.
  if (!(x >= 1e-15)) return -300.0;
  return 20.0 * std::log10(x);
}

double FromDb(double v) {
  const double limited = std::isnan(v) ? -400.0 : std::clamp(v, -400.0, 250.0);
  return std::max(std::pow(10.0, limited / 20.0), 1e-20);
}

double WrapAngle(double a, double x) {
  if (!(a > 0) || !std::isfinite(x)) return x;
  const double magnitude = std::fabs(x);
  if (magnitude <= a) return x == -a ? a : x;  // already within a half turn: most phases
  const double full_turn = 2.0 * a;
  const double whole = std::trunc(magnitude);
  // For turns below 1 the fraction alone may exceed a turn, hence the second reduction.
  double reduced = std::fmod(std::fmod(whole, full_turn) + (magnitude - whole), full_turn);
  if (reduced > a) reduced -= full_turn;
  const double result = x < 0 ? -reduced : reduced;
  return result == -a ? a : result;
}

double NearestTurn(double ref, double x) {
  constexpr double kMaxTurns = 1e6;
  const double wrapped = WrapAngle(180.0, x);
  const double excess = wrapped - ref;
  if (excess > 180.0) {
    return wrapped - 360.0 * std::min(std::ceil((excess - 180.0) / 360.0), kMaxTurns);
  }
  if (excess < -180.0) {
    return wrapped + 360.0 * std::min(std::ceil((-excess - 180.0) / 360.0), kMaxTurns);
  }
  return wrapped;
}

double LogFreqInterp(double yH, double xH, double yL, double xL, double x) {
  constexpr double kTiny = 1e-12;
  // Negated so that NaN frequencies take the fallback too.
  if (!(x >= kTiny && xL >= kTiny && xH >= kTiny) || xL == xH) return yL;
  const double log_low = std::log(xL);
  const double slope = SafeDiv(std::log(xH) - log_low, yH - yL);
  if (std::fabs(slope) > 9e19) return yL;
  return yL + slope * (std::log(x) - log_low);
}

}  // namespace vireon
