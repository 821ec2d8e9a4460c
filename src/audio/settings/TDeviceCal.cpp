#include "audio/settings/TDeviceCal.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "common/AtomicFile.h"
#include "common/NumberText.h"
#include "files/TextNumbers.h"

namespace vireon {

namespace {

constexpr std::string_view kVersionPrefix = "VER=";
// Maximum codes this small cannot be a calibrated full level: they stand for "unknown".
constexpr int kSmallestMaximumCode = 1000;
// Probe balance ratios this small cannot come from a balance calibration.
constexpr double kSmallestBalanceRatio = 0.1;

// Takes the file's values line by line; the first failure sticks.
class LineReader {
 public:
  explicit LineReader(std::vector<std::string_view> lines) : lines_(std::move(lines)) {}

  bool Ok() const { return ok_; }

  double Double() {
    const std::optional<std::string_view> line = Next();
    const std::optional<double> value = line ? ParseDouble(*line) : std::nullopt;
    if (value && std::isfinite(*value)) return *value;
    ok_ = false;
    return 0.0;
  }
  int Integer() {
    const std::optional<std::string_view> line = Next();
    const std::optional<std::int64_t> value = line ? ParseInt(*line) : std::nullopt;
    if (value && *value >= std::numeric_limits<int>::min() &&
        *value <= std::numeric_limits<int>::max()) {
      return static_cast<int>(*value);
    }
    ok_ = false;
    return 0;
  }
  // Flags are written as 0/1; any count of 1 or more reads as set.
  bool Flag() { return Integer() >= 1; }

 private:
  std::optional<std::string_view> Next() {
    if (next_ >= lines_.size()) return std::nullopt;
    return lines_[next_++];
  }

  std::vector<std::string_view> lines_;
  std::size_t next_ = 0;
  bool ok_ = true;
};

void AddLine(std::string& text, std::string_view line) {
  text += line;
  text += "\r\n";
}

}  // namespace

std::string DeviceCalText(const TDeviceCal& cal) {
  std::string text;
  const auto add_double = [&](double v) { AddLine(text, FormatDouble(v)); };
  const auto add_int = [&](int v) { AddLine(text, FormatInt(v)); };
  AddLine(text, std::string(kVersionPrefix) + FormatInt(kDeviceCalVersion));
  add_int(cal.mixer_number);
  add_double(cal.scale1);
  add_double(cal.scale2);
  add_double(cal.stabilizing_ms);
  add_int(cal.latency);
  for (const double v : cal.further_values) add_double(v);
  add_double(cal.reference_level);
  add_double(cal.probe_balance_ratio);
  for (const VolumeStep& step : cal.volume_steps) add_double(step.factor);
  for (const VolumeStep& step : cal.volume_steps) add_double(step.second);
  for (const bool flag : cal.rate_flags) add_int(flag ? 1 : 0);
  add_int(cal.bits);
  add_int(cal.inverts ? 1 : 0);
  add_int(cal.second_polarity ? 1 : 0);
  add_int(cal.maximum_code);
  for (const bool flag : cal.sync_rate_flags) add_int(flag ? 1 : 0);
  add_int(cal.further_integer);
  // The mixer controls' state would follow here; this program keeps none.
  return text;
}

std::optional<TDeviceCal> ParseDeviceCal(std::string_view text) {
  std::vector<std::string_view> lines = SplitLines(text);
  TDeviceCal cal;
  cal.version = 1;  // a file without the version line
  if (!lines.empty() && lines.front().starts_with(kVersionPrefix)) {
    const std::optional<std::int64_t> version =
        ParseInt(lines.front().substr(kVersionPrefix.size()));
    if (!version || *version < 1 || *version > kDeviceCalVersion) return std::nullopt;
    cal.version = static_cast<int>(*version);
    lines.erase(lines.begin());
  }
  LineReader in(std::move(lines));
  cal.mixer_number = in.Integer();
  cal.scale1 = in.Double();
  cal.scale2 = in.Double();
  cal.stabilizing_ms = std::max(0.0, in.Double());
  cal.latency = in.Integer();
  for (double& v : cal.further_values) v = in.Double();
  if (cal.version < 3) {
    cal.older_reference = in.Double();
  } else {
    cal.reference_level = in.Double();
  }
  cal.probe_balance_ratio = in.Double();
  if (cal.probe_balance_ratio < kSmallestBalanceRatio) cal.probe_balance_ratio = 1.0;
  for (VolumeStep& step : cal.volume_steps) step.factor = in.Double();
  for (VolumeStep& step : cal.volume_steps) step.second = in.Double();
  for (bool& flag : cal.rate_flags) flag = in.Flag();
  cal.bits = in.Integer();
  cal.inverts = in.Flag();
  cal.second_polarity = in.Flag();
  cal.maximum_code = in.Integer();
  if (cal.maximum_code < kSmallestMaximumCode) cal.maximum_code = kFullScaleCode;
  for (bool& flag : cal.sync_rate_flags) flag = in.Flag();
  cal.further_integer = in.Integer();
  if (!in.Ok()) return std::nullopt;
  return cal;
}

std::optional<TDeviceCal> ReadDeviceCalFile(const std::filesystem::path& file) {
  const std::optional<std::string> text = ReadWholeFile(file);
  if (!text) return std::nullopt;
  return ParseDeviceCal(*text);
}

void WriteDeviceCalFile(const std::filesystem::path& file, const TDeviceCal& cal) {
  WriteFileAtomically(file, DeviceCalText(cal));
}

}  // namespace vireon
