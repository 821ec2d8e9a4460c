#pragma once

#include <cstdint>

namespace vireon {

// Guarded numeric helpers shared by the record and every conversion. Angles are in degrees.
// The guards keep values that reach a plot, a file or an average finite.

double PolarRe(double deg, double mag);  // mag·cos(deg)
double PolarIm(double deg, double mag);  // mag·sin(deg)
double Hypot(double a, double b);        // √(a² + b²) without intermediate overflow
double PhaseDeg(double re, double im);   // atan2(im, re) in degrees; ±90 when it fails

std::int64_t Pow2Floor(std::int64_t n);  // largest power of two ≤ n, 1 for n < 1
std::int64_t Pow2Ceil(std::int64_t n);   // smallest power of two ≥ n (saturates at 2^62)

// b / a, the divisor first. A divisor at or below 1e-20 in magnitude or a quotient beyond
// ±1e20 gives sign(b)·sign(a)·1e20, which is 0 for a divisor of exactly 0.
double SafeDiv(double a, double b);

// ln|x| and log10|x|: -100000 for x = 0; where the logarithm fails, 100000 when |x| > 1e-25,
// else -100000.
double SafeLn(double x);
double SafeLog10(double x);

double ToDb(double x);    // 20·log10(x); -300 below 1e-15
double FromDb(double v);  // 10^(v/20), v limited to -400..250, never below 1e-20

// x reduced into (-a, a]: the whole part is reduced modulo 2a and the fraction kept, so the
// result keeps the sign of x wherever it can.
double WrapAngle(double a, double x);

// WrapAngle(180, x) moved by whole turns until it lies within ±180 of ref (at most 1 000 000
// turns each way).
double NearestTurn(double ref, double x);

// Linear interpolation of y in ln x between (xL, yL) and (xH, yH). Falls back to yL when a
// frequency is below 1e-12, the two frequencies are equal or the slope is beyond 9e19.
double LogFreqInterp(double yH, double xH, double yL, double xL, double x);

}  // namespace vireon
