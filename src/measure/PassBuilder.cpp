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

  struct Input {
    const std::vector<std::int32_t>& capture;
    bool late;
    double scale;
    const char* name;
  };
  const std::array<Input, 2> inputs = {
      Input{captures.a, layout.skew.left_late, scales.a, "Time Domain[A]"},
      Input{captures.b, layout.skew.right_late, scales.b, "Time Domain[B]"}};
  for (std::size_t c = 0; c < static_cast<std::size_t>(pass.FNumFields); ++c) {
    const Input& input = inputs[c];
    const std::int32_t available =
        std::min<std::int32_t>(captured, static_cast<std::int32_t>(input.capture.size()));
    TFieldType& field = pass.FFields[c];
    levels.channels[c] = CopyChannel(input.capture, layout.offset + (input.late ? 1 : 0), available,
                                     input.scale, field.Values);
    field.Name = input.name;
    field.InputKind = layout.input_kinds[c];
    field.Units = UnitsOf(layout.input_kinds[c]);
  }
  return pass;
}

bool InputOverloaded(const PassLevels& levels) {
  const double threshold = std::pow(10.0, -1.0 / 20.0);
  return std::any_of(
      levels.channels.begin(), levels.channels.end(),
      [threshold](const PassChannelLevel& level) { return level.peak_of_full_scale > threshold; });
}

}  // namespace vireon
