#include "measure/PassBuilder.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <string>
#include <vector>

namespace vireon {
namespace {

constexpr double kFullScaleCounts = 8388608.0;

// Copies one capture into a column from `start` on, scaled, and measures what it copied.
PassChannelLevel CopyChannel(std::span<const std::int32_t> capture, std::int32_t start,
                             std::int32_t available, double scale, DataArray& column) {
  PassChannelLevel level;
  double sum_of_squares = 0.0;
  double peak_counts = 0.0;
  const std::int32_t count =
      std::clamp<std::int32_t>(available - start, 0, static_cast<std::int32_t>(column.size()));
  for (std::int32_t i = 0; i < count; ++i) {
    const double counts = capture[static_cast<std::size_t>(start + i)];
    column[static_cast<std::size_t>(i)] = counts * scale;
    peak_counts = std::max(peak_counts, std::abs(counts));
    sum_of_squares += counts * counts;
  }
  if (count > 0) {
    level.peak = peak_counts * std::abs(scale);
    level.rms = std::sqrt(sum_of_squares / count) * std::abs(scale);
    level.peak_of_full_scale = peak_counts / kFullScaleCounts;
  }
  return level;
}

std::string UnitsOf(std::uint8_t input_kind) { return input_kind <= 1 ? "Pa" : "V"; }

}  // namespace

double UncalibratedScale(InputRole role) {
  switch (role) {
    case InputRole::kProbe:
      return 1.0;
    case InputRole::kDigital:
      return 1.0 / kFullScaleCounts;
    case InputRole::kMicrophoneOrLine:
      break;
  }
  return 1.5e-06;
}

TDataMeas BuildPass(const Captures& captures, std::int32_t captured, const PassLayout& layout,
                    const ChannelScales& scales, PassLevels& levels) {
  TDataMeas pass;
  pass.FDataType = 0;
  pass.FNumFields = layout.two_channels ? 2 : 1;
  pass.FNumPoints = std::max<std::int32_t>(layout.length, 0);
  pass.FTitle = "Time Domain Data";
  pass.FSampleRate = layout.record_rate;
  pass.FSampleBits = layout.record_bits;
  pass.FStartTime = 0.0;
  pass.FEndX =
      layout.record_rate > 0 ? static_cast<double>(pass.FNumPoints - 1) / layout.record_rate : 0.0;
  pass.FXUnits = "sec";
  pass.AllocColumns();

  const std::int32_t available_a =
      std::min<std::int32_t>(captured, static_cast<std::int32_t>(captures.a.size()));
  const std::int32_t start_a = layout.offset + (layout.skew.left_late ? 1 : 0);
  levels.channels[0] =
      CopyChannel(captures.a, start_a, available_a, scales.a, pass.FFields[0].Values);
  pass.FFields[0].Name = "Time Domain[A]";
  pass.FFields[0].InputKind = layout.input_kinds[0];
  pass.FFields[0].Units = UnitsOf(layout.input_kinds[0]);
  if (layout.two_channels) {
    const std::int32_t available_b =
        std::min<std::int32_t>(captured, static_cast<std::int32_t>(captures.b.size()));
    const std::int32_t start_b = layout.offset + (layout.skew.right_late ? 1 : 0);
    levels.channels[1] =
        CopyChannel(captures.b, start_b, available_b, scales.b, pass.FFields[1].Values);
    pass.FFields[1].Name = "Time Domain[B]";
    pass.FFields[1].InputKind = layout.input_kinds[1];
    pass.FFields[1].Units = UnitsOf(layout.input_kinds[1]);
  }
  return pass;
}

}  // namespace vireon
