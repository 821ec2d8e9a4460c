#include "audio/devices/simulated/DutChain.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "stimulus/SamplePacking.h"

namespace vireon {
namespace {

double FromDbRms(double db) { return std::pow(10.0, db / 20.0); }

}  // namespace

DutChain::DutChain(const Bench& bench, int input, int rate, int record_bits)
    : source_(bench.inputs[input].source),
      polynomial_(bench.inputs[input].polynomial),
      filter_(bench.inputs[input].filter, rate),
      gain_(bench.inputs[input].gain),
      delay_line_(static_cast<std::size_t>(bench.latency) + bench.inputs[input].delay, 0.0),
      hum_(bench.inputs[input].hum),
      rate_(rate),
      clip_(bench.inputs[input].clip),
      full_scale_(FullScale(record_bits)) {
  if (const auto noise_db = bench.inputs[input].noise_db) {
    noise_.emplace(bench.seed, input + 1);
    noise_rms_ = FromDbRms(*noise_db);
  }
  // A sine's peak is sqrt(2) times its RMS level.
  if (hum_) hum_amplitude_ = std::numbers::sqrt2 * FromDbRms(hum_->db);
}

std::int32_t DutChain::Process(double output1, double output2) {
  const double x = source_ == InputSource::kOutput1   ? output1
                   : source_ == InputSource::kOutput2 ? output2
                                                      : 0.0;
  double y = 0.0;
  for (auto c = polynomial_.rbegin(); c != polynomial_.rend(); ++c) y = y * x + *c;
  y = Delayed(gain_ * filter_.Process(y));
  if (noise_) y += noise_rms_ * noise_->Next();
  if (hum_) y += Hum();
  y = std::clamp(y, -clip_, clip_);
  return SaturatedSample(y * full_scale_, full_scale_);
}

double DutChain::Delayed(double y) {
  if (delay_line_.empty()) return y;
  const double out = delay_line_[delay_position_];
  delay_line_[delay_position_] = y;
  delay_position_ = delay_position_ + 1 == delay_line_.size() ? 0 : delay_position_ + 1;
  return out;
}

double DutChain::Hum() {
  // The phase is taken from the sample count modulo the rate, so it stays exact however long
  // the card runs.
  const double cycles = std::fmod(hum_->hz * static_cast<double>(hum_sample_), rate_) / rate_;
  ++hum_sample_;
  return hum_amplitude_ * std::sin(2.0 * std::numbers::pi * cycles);
}

}  // namespace vireon
