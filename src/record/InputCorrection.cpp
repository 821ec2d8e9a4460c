#include "record/InputCorrection.h"

#include <algorithm>
#include <cmath>

namespace vireon {

std::complex<double> CorrectionAt(const InputCorrection& correction, std::uint8_t input_kind,
                                  double frequency) {
  if (!correction) return 1.0;
  return correction(input_kind, frequency).value_or(1.0);
}

double CorrectionTable::Position(double frequency) {
  return std::log(frequency) * 188.64479628996327591 - 303.61208667329424876;
}

std::complex<double> CorrectionTable::At(double frequency) const {
  const std::size_t count =
      std::min({SlopeRe.size(), InterceptRe.size(), SlopeIm.size(), InterceptIm.size()});
  if (count == 0) return 1.0;
  const double u = frequency > 0 ? Position(frequency) : 0.0;
  const double nearest = std::clamp(std::round(u), 0.0, static_cast<double>(count - 1));
  const auto index = static_cast<std::size_t>(nearest);
  return {u * SlopeRe[index] + InterceptRe[index], u * SlopeIm[index] + InterceptIm[index]};
}

void ApplyInputCorrection(std::span<double> re, std::span<double> im, std::uint8_t input_kind,
                          std::span<const double> frequencies, const InputCorrection& correction) {
  if (!correction) return;
  const std::size_t count = std::min({re.size(), im.size(), frequencies.size()});
  for (std::size_t k = 0; k < count; ++k) {
    const std::optional<std::complex<double>> c = correction(input_kind, frequencies[k]);
    if (!c) return;  // this input has no table
    const std::complex<double> corrected = std::complex<double>(re[k], im[k]) * *c;
    re[k] = corrected.real();
    im[k] = corrected.imag();
  }
}

}  // namespace vireon
