#include "record/ConstrainedSpline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace vireon {
namespace {

// Monotone cubic Hermite interpolation with harmonic-mean knot slopes, written from the
// textbook basis functions in long double.
long double HermiteReference(const std::vector<double>& x, const std::vector<double>& y,
                             std::size_t k, double at) {
  const auto secant = [&](std::size_t i) {
    return (static_cast<long double>(y[i + 1]) - y[i]) /
           (static_cast<long double>(x[i + 1]) - x[i]);
  };
  const auto slope = [&](std::size_t i) -> long double {
    const long double left = secant(i - 1);
    const long double right = secant(i);
    if (left * right <= 0) return 0;
    return 2 / (1 / left + 1 / right);
  };
  const long double h = static_cast<long double>(x[k + 1]) - x[k];
  const long double t = (at - static_cast<long double>(x[k])) / h;
  const long double h00 = 2 * t * t * t - 3 * t * t + 1;
  const long double h10 = t * t * t - 2 * t * t + t;
  const long double h01 = -2 * t * t * t + 3 * t * t;
  const long double h11 = t * t * t - t * t;
  return h00 * y[k] + h10 * h * slope(k) + h01 * y[k + 1] + h11 * h * slope(k + 1);
}

TEST(ConstrainedSplineTest, InteriorIntervalsMatchMonotoneHermiteCubic) {
  std::mt19937_64 random(11);
  std::uniform_real_distribution<double> rise(0.0, 3.0);
  std::vector<double> x(40);
  std::vector<double> y(40);
  for (std::size_t i = 0; i < x.size(); ++i) {
    x[i] = 100.0 + 0.5 * static_cast<double>(i);
    y[i] = i == 0 ? -2.0 : y[i - 1] + (i % 7 == 3 ? 0.0 : rise(random));  // some flat steps
  }
  std::vector<double> probes;
  std::vector<std::size_t> intervals;
  for (std::size_t k = 1; k + 2 < x.size(); ++k) {
    for (const double t : {0.0, 0.13, 0.5, 0.77, 0.999}) {
      probes.push_back(x[k] + t * (x[k + 1] - x[k]));
      intervals.push_back(k);
    }
  }
  Notices notices;
  const std::vector<double> values = ConstrainedSpline(x, y).Evaluate(probes, notices);
  for (std::size_t p = 0; p < probes.size(); ++p) {
    const auto expected = static_cast<double>(HermiteReference(x, y, intervals[p], probes[p]));
    EXPECT_NEAR(values[p], expected, 1e-12 * (1 + std::fabs(expected))) << probes[p];
  }
  EXPECT_TRUE(notices.Texts().empty());
}

TEST(ConstrainedSplineTest, NeverLeavesTheRangeOfTheTwoKnotsOfAnInterval) {
  // Holds for any data: a knot at an extremum gets slope 0, the others at most twice the
  // smaller secant, and the end knots at most 1.5 times theirs.
  std::mt19937_64 random(3);
  std::uniform_real_distribution<double> step(0.01, 2.0);
  std::uniform_real_distribution<double> value(-5.0, 5.0);
  for (int trial = 0; trial < 20; ++trial) {
    const bool monotone = trial % 2 == 0;
    std::vector<double> x{0.0};
    std::vector<double> y{0.0};
    for (int i = 1; i < 30; ++i) {
      x.push_back(x.back() + step(random));
      y.push_back(monotone ? y.back() + std::fabs(value(random)) * (i % 5 != 0) : value(random));
    }
    std::vector<double> probes;
    for (std::size_t k = 0; k + 1 < x.size(); ++k) {
      for (int s = 1; s < 50; ++s) probes.push_back(x[k] + (x[k + 1] - x[k]) * s / 50.0);
    }
    Notices notices;
    const std::vector<double> values = ConstrainedSpline(x, y).Evaluate(probes, notices);
    for (std::size_t p = 0; p < probes.size(); ++p) {
      const std::size_t k = p / 49;
      const double low = std::min(y[k], y[k + 1]);
      const double high = std::max(y[k], y[k + 1]);
      EXPECT_GE(values[p], low - 1e-12) << "trial " << trial << " x " << probes[p];
      EXPECT_LE(values[p], high + 1e-12) << "trial " << trial << " x " << probes[p];
    }
  }
}

TEST(ConstrainedSplineTest, ValuesDoNotDependOnTheOrderOfTheAbscissas) {
  // Ascending abscissas reuse the interval of the previous one; any order must agree.
  const std::vector<double> x{0.0, 1.0, 1.0, 2.0, 4.0, 4.5, 8.0};
  const std::vector<double> y{0.0, 1.0, 2.0, -1.0, 3.0, 3.5, 0.0};
  std::vector<double> ascending;
  for (double at = -1.0; at <= 9.0; at += 0.125) ascending.push_back(at);
  std::vector<double> shuffled = ascending;
  std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937_64(2));
  const ConstrainedSpline spline(x, y);
  Notices notices;
  const std::vector<double> in_order = spline.Evaluate(ascending, notices);
  const std::vector<double> out_of_order = spline.Evaluate(shuffled, notices);
  for (std::size_t i = 0; i < shuffled.size(); ++i) {
    const auto at = std::find(ascending.begin(), ascending.end(), shuffled[i]) - ascending.begin();
    EXPECT_EQ(out_of_order[i], in_order[static_cast<std::size_t>(at)]) << shuffled[i];
  }
}

TEST(ConstrainedSplineTest, ReproducesStraightLinesAndExtrapolatesLinearly) {
  const std::vector<double> x{1.0, 2.5, 3.0, 7.0, 8.0};
  std::vector<double> y;
  for (const double xi : x) y.push_back(3.0 * xi - 1.0);
  const std::vector<double> probes{-4.0, 1.0, 1.7, 2.9, 5.5, 8.0, 20.0};
  Notices notices;
  const std::vector<double> values = ConstrainedSpline(x, y).Evaluate(probes, notices);
  for (std::size_t p = 0; p < probes.size(); ++p) {
    EXPECT_NEAR(values[p], 3.0 * probes[p] - 1.0, 1e-12) << probes[p];
  }
}

TEST(ConstrainedSplineTest, ExtrapolatesThroughTheTwoOutermostKnots) {
  const std::vector<double> x{0.0, 1.0, 2.0, 3.0};
  const std::vector<double> y{0.0, 2.0, 2.5, 5.5};
  Notices notices;
  const std::vector<double> values =
      ConstrainedSpline(x, y).Evaluate(std::vector<double>{-1.0, 4.0}, notices);
  EXPECT_DOUBLE_EQ(values[0], -2.0);
  EXPECT_DOUBLE_EQ(values[1], 8.5);
}

TEST(ConstrainedSplineTest, CoincidentKnotsDoNotBreakTheFit) {
  const std::vector<double> x{0.0, 1.0, 1.0, 2.0, 3.0};
  const std::vector<double> y{0.0, 1.0, 2.0, 3.0, 4.0};
  Notices notices;
  const std::vector<double> values =
      ConstrainedSpline(x, y).Evaluate(std::vector<double>{0.5, 1.0, 1.5, 2.0, 2.5}, notices);
  for (const double v : values) EXPECT_TRUE(std::isfinite(v));
  EXPECT_NEAR(values[3], 3.0, 1e-12);
  EXPECT_TRUE(notices.Texts().empty());
}

TEST(ConstrainedSplineTest, MathErrorGivesOneAndOneNotice) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<double> x{0.0, 1.0, 2.0, 3.0, 4.0};
  const std::vector<double> y{0.0, 1.0, nan, 3.0, 4.0};
  Notices notices;
  const std::vector<double> values =
      ConstrainedSpline(x, y).Evaluate(std::vector<double>{0.0, 1.5, 2.5, 3.5}, notices);
  EXPECT_EQ(values[0], 0.0);  // the interval [0, 1] keeps its knot values finite
  EXPECT_EQ(values[1], 1.0);
  EXPECT_EQ(values[2], 1.0);
  ASSERT_EQ(notices.Texts().size(), 1u);
  EXPECT_EQ(notices.Texts()[0], "Math error during curve fitting!");

  Notices empty_notices;
  const std::vector<double> no_knots =
      ConstrainedSpline({}, {}).Evaluate(std::vector<double>{1.0, 2.0}, empty_notices);
  EXPECT_EQ(no_knots, (std::vector<double>{1.0, 1.0}));
  EXPECT_EQ(empty_notices.Texts().size(), 1u);
}

TEST(InterpolateLogFreqTest, CurvesLinearInLogFrequencyResampleExactly) {
  // y = 2 + 5·ln f. The 0 Hz knot sits one octave (0.693 in ln f) below the next point and
  // carries the value of the line there, so the whole curve stays one straight line in ln f.
  const std::vector<double> f{0.0, 10.0, 25.0, 100.0, 400.0, 1000.0};
  std::vector<double> y;
  for (std::size_t i = 0; i < f.size(); ++i) {
    const double log_f = i == 0 ? std::log(10.0) - 0.693 : std::log(f[i]);
    y.push_back(2.0 + 5.0 * log_f);
  }
  const std::vector<double> new_f{0.0, 5.0, 10.0, 31.6, 640.0, 2000.0};
  Notices notices;
  const std::vector<double> values = InterpolateLogFreq(f, y, new_f, notices);
  EXPECT_NEAR(values[0], 2.0 + 5.0 * (std::log(5.0) - 0.693), 1e-12);
  for (std::size_t i = 1; i < new_f.size(); ++i) {
    EXPECT_NEAR(values[i], 2.0 + 5.0 * std::log(new_f[i]), 1e-12) << new_f[i];
  }
  EXPECT_TRUE(notices.Texts().empty());
}

}  // namespace
}  // namespace vireon
