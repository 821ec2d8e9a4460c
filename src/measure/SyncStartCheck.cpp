#include "measure/SyncStartCheck.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>

#include "record/DataTypes.h"

namespace vireon {
namespace {

constexpr double kSmallestShownDelay = 1e-06;  // seconds
constexpr int kDelayDigits = 4;

// The latencies as one time, seconds; a rate that is not set contributes nothing.
double LatencySeconds(int record_rate, int play_rate, std::int32_t output_latency,
                      std::int32_t input_latency) {
  const double output = play_rate > 0 ? static_cast<double>(output_latency) / play_rate : 0.0;
  const double input = record_rate > 0 ? static_cast<double>(input_latency) / record_rate : 0.0;
  return output + input;
}

// Rounded to nearest, ties to even (the default rounding mode).
std::int32_t SamplesAt(int rate, double seconds) {
  using Limits = std::numeric_limits<std::int32_t>;
  const double samples = std::nearbyint(rate * seconds);
  if (std::isnan(samples)) return 0;
  return static_cast<std::int32_t>(
      std::clamp(samples, double{Limits::min()}, double{Limits::max()}));
}

}  // namespace

SyncStartResult CheckSynchronousStart(bool same_device, int record_rate,
                                      const RateAvailability& sync_usable) {
  if (!same_device) return {kDifferentDevices, 0};
  const int index = SelectRate(record_rate, sync_usable);
  if (index < 0) return {kNoSyncRate, 0};
  return {kSyncStartOk, RateTable()[static_cast<std::size_t>(index)].rate};
}

RateAvailability SyncUsableRates(const TDeviceCal& play_device) {
  RateAvailability usable;
  usable.fill(true);
  for (std::size_t i = 0; i < play_device.sync_rate_flags.size(); ++i) {
    usable[i] = play_device.sync_rate_flags[i];
  }
  return usable;
}

std::string_view SyncStartNotice(int result) {
  switch (result) {
    case kDifferentDevices:
      return kSameDeviceNotice;
    case kNoSyncRate:
      return kNoSyncRateNotice;
    default:
      return {};
  }
}

std::int32_t AsynchronousPreRoll(int record_rate, int play_rate, std::int32_t output_latency,
                                 std::int32_t input_latency) {
  return SamplesAt(record_rate,
                   LatencySeconds(record_rate, play_rate, output_latency, input_latency));
}

std::int32_t AnalysisStartOffset(int record_rate, int play_rate, std::int32_t output_latency,
                                 std::int32_t input_latency, double propagation_time_s) {
  return SamplesAt(
      record_rate,
      LatencySeconds(record_rate, play_rate, output_latency, input_latency) + propagation_time_s);
}

std::string DelayCompensationTitle(const TDataMeas& record, bool suppressed) {
  const double delay = record.FDisplayDelay;
  if (suppressed || !std::isfinite(delay) || std::fabs(delay) <= kSmallestShownDelay) return {};
  if (record.FDataType == kRtaBands || record.FDataType == kComponentTrack) return {};
  char digits[32];
  const auto written = std::to_chars(std::begin(digits), std::end(digits), delay,
                                     std::chars_format::general, kDelayDigits);
  return " (DComp = " + std::string(digits, written.ptr) + "sec)";
}

}  // namespace vireon
