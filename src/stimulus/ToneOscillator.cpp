#include "stimulus/ToneOscillator.h"

#include <cmath>

namespace vireon {

namespace {
constexpr std::int64_t kExactEvery = 1024;
}  // namespace

void ToneOscillator::SetList(const SineParsArray& list) {
  list_ = list;
  rotors_.assign(list_.size(), Rotor{});
  for (std::size_t i = 0; i < list_.size(); ++i) {
    rotors_[i].cos_step = std::cos(list_[i].Omega);
    rotors_[i].sin_step = std::sin(list_[i].Omega);
  }
  next_n_ = -1;
}

double ToneOscillator::Value(std::int64_t n) {
  const bool exact = n % kExactEvery == 0 || n != next_n_;
  next_n_ = n + 1;
  double sum = 0.0;
  for (std::size_t i = 0; i < list_.size(); ++i) {
    const TSinePars& c = list_[i];
    if (static_cast<ToneKind>(c.Kind) != ToneKind::kSine) {
      sum += ToneComponentValue(c, n);
      continue;
    }
    Rotor& r = rotors_[i];
    if (exact) {
      const double angle = static_cast<double>(n) * c.Omega + c.Phase;
      r.cos_angle = std::cos(angle);
      r.sin_angle = std::sin(angle);
    }
    sum += c.Amplitude * r.cos_angle;
    const double cos_next = r.cos_angle * r.cos_step - r.sin_angle * r.sin_step;
    r.sin_angle = r.sin_angle * r.cos_step + r.cos_angle * r.sin_step;
    r.cos_angle = cos_next;
  }
  return sum;
}

}  // namespace vireon
