#pragma once

#include <complex>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace vireon {

// The complex correction C(f) of an input of a given kind, or none when that input has no
// correction table (it is then left uncorrected).
using InputCorrection =
    std::function<std::optional<std::complex<double>>(std::uint8_t input_kind, double frequency)>;

// C(f) of the input kind, 1 when there is no correction for it.
std::complex<double> CorrectionAt(const InputCorrection& correction, std::uint8_t input_kind,
                                  double frequency);

// A microphone correction table: slope and intercept of the real and imaginary parts per
// position u = ln(f)·188.644… − 303.612… (about 188 points per e-fold of frequency).
struct CorrectionTable {
  std::vector<double> SlopeRe, InterceptRe, SlopeIm, InterceptIm;

  static double Position(double frequency);
  std::complex<double> At(double frequency) const;  // 1 for an empty table
};

// Multiplies each bin (re[k], im[k]) at frequencies[k] by C(f) of the input kind.
void ApplyInputCorrection(std::span<double> re, std::span<double> im, std::uint8_t input_kind,
                          std::span<const double> frequencies, const InputCorrection& correction);

}  // namespace vireon
