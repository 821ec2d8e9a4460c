#include "audio/devices/simulated/StageFilter.h"

#include "audio/devices/simulated/IirDesign.h"

namespace vireon {

StageFilter::StageFilter(std::span<const FilterStage> stages, int rate) {
  for (const FilterStage& stage : stages) {
    if (const auto* butterworth = std::get_if<ButterworthStage>(&stage)) {
      for (const BiquadStage& section : ButterworthSections(*butterworth, rate)) {
        stages_.emplace_back(Biquad{section});
      }
    } else if (const auto* peak = std::get_if<PeakStage>(&stage)) {
      if (const auto coefficients = PeakingBiquad(*peak, rate)) {
        stages_.emplace_back(Biquad{*coefficients});
      }
    } else if (const auto* biquad = std::get_if<BiquadStage>(&stage)) {
      stages_.emplace_back(Biquad{*biquad});
    } else if (const auto& fir = std::get<FirStage>(stage); !fir.taps.empty()) {
      stages_.emplace_back(Fir{fir.taps, std::vector<double>(2 * fir.taps.size(), 0.0), 0});
    }
  }
}

double StageFilter::Process(double x) {
  for (auto& stage : stages_) {
    x = std::visit([x](auto& s) { return s.Process(x); }, stage);
  }
  return x;
}

double StageFilter::Biquad::Process(double x) {
  const double y = c.b0 * x + s1;
  s1 = c.b1 * x - c.a1 * y + s2;
  s2 = c.b2 * x - c.a2 * y;
  return y;
}

double StageFilter::Fir::Process(double x) {
  const std::size_t n = taps.size();
  // history[position .. position + n) holds x[0], x[-1], ... x[-(n-1)] after this write.
  position = position == 0 ? n - 1 : position - 1;
  history[position] = x;
  history[position + n] = x;
  double y = 0.0;
  for (std::size_t k = 0; k < n; ++k) y += taps[k] * history[position + k];
  return y;
}

}  // namespace vireon
