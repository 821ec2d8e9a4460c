#include "audio/settings/RateTable.h"

namespace vireon {

namespace {

constexpr std::array<RateEntry, kRateCount> kRates = {{
    {768000, "? 768.00 kHz", "768"},
    {384000, "384.00 kHz", "384"},
    {192000, "192.00 kHz", "192"},
    {96000, "96.000 kHz", "96"},
    {88200, "88.200 kHz", "88"},
    {48000, "48.000 kHz", "48"},
    {44100, "44.100 kHz", "44"},
    {32000, "32.000 kHz", "32"},
    {24000, "24.000 kHz", "24"},
    {22050, "22.050 kHz", "22"},
}};

// The lowest rates are only taken when asked for: a search for a usable rate stops at 32000 Hz.
constexpr int kSlowestFallbackIndex = 7;

}  // namespace

std::span<const RateEntry> RateTable() { return kRates; }

int RateIndexOf(int rate) {
  for (int i = 0; i < kRateCount; ++i) {
    if (kRates[static_cast<std::size_t>(i)].rate == rate) return i;
  }
  return -1;
}

int SelectRate(int rate, const RateAvailability& available) {
  int requested = kRateCount - 1;
  for (int i = kRateCount - 1; i >= 0; --i) {
    if (kRates[static_cast<std::size_t>(i)].rate >= rate) {
      requested = i;
      break;
    }
  }
  const auto usable = [&](int i) { return available[static_cast<std::size_t>(i)]; };
  if (usable(requested)) return requested;
  for (int i = requested - 1; i >= 0; --i) {
    if (usable(i)) return i;
  }
  for (int i = requested + 1; i <= kSlowestFallbackIndex; ++i) {
    if (usable(i)) return i;
  }
  return -1;
}

std::string SampleRateMenuCaption(int index) {
  if (index < 0 || index >= kRateCount) return "&SampleRate: INVALID";
  return "&SampleRate: " + std::string(kRates[static_cast<std::size_t>(index)].caption);
}

}  // namespace vireon
