#pragma once

#include <span>
#include <vector>

#include "common/Notices.h"

namespace vireon {

// Constrained cubic spline through knots (x ascending, y): a Hermite cubic per interval whose
// knot slopes are the harmonic mean of the neighbouring secants (0 at a local extremum or next
// to a flat interval), so it never overshoots between the knots of a monotone run. Outside the
// knots it extrapolates linearly through the two outermost knots. The slopes are computed once,
// so one fit serves any number of evaluations.
class ConstrainedSpline {
 public:
  ConstrainedSpline(std::span<const double> x, std::span<const double> y);

  // The curve at every new abscissa. A value that cannot be computed (non-finite knots, no
  // knots) becomes 1.0 and "Math error during curve fitting!" goes to the notices once.
  std::vector<double> Evaluate(std::span<const double> new_x, Notices& notices) const;

 private:
  // May be non-finite; Evaluate guards it. guess: the interval of the previous abscissa.
  double RawValueAt(double x, std::size_t& guess) const;
  std::size_t RightKnotOf(double x, std::size_t guess) const;
  double Interval(std::size_t right) const;

  std::vector<double> x_;
  std::vector<double> y_;
  std::vector<double> slopes_;
};

// The record's curve interpolation: y resampled at the new frequencies with the constrained
// spline over ln f. A frequency of 0 or less is placed 0.693 (one octave) below the next point
// in ln f, in both the knots and the new frequencies.
std::vector<double> InterpolateLogFreq(std::span<const double> x, std::span<const double> y,
                                       std::span<const double> new_x, Notices& notices);

}  // namespace vireon
