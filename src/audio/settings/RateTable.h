#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace vireon {

// The sample rates the program offers, fastest first; the index is stored and shown everywhere.

struct RateEntry {
  int rate;                  // Hz
  std::string_view caption;  // the "SampleRate" menu item
  std::string_view short_k;  // the status bar's rounded kHz
};

inline constexpr int kRateCount = 10;
// Rates 0 .. 7 (768000 .. 32000 Hz) are the ones a per-device file keeps flags for.
inline constexpr int kFileRateCount = 8;
inline constexpr int kDefaultRateIndex = 3;  // 96000 Hz

// Which table rates a device accepts, by index.
using RateAvailability = std::array<bool, kRateCount>;

std::span<const RateEntry> RateTable();
// The index of exactly this rate; -1 when the table has no such rate.
int RateIndexOf(int rate);

// The usable index for a requested rate: the slowest table rate at or above it when available,
// else the nearest available faster rate, else the nearest available slower one down to 32000 Hz;
// -1 when none is available.
int SelectRate(int rate, const RateAvailability& available);

// "&SampleRate: " + the menu caption, "&SampleRate: INVALID" for an index outside the table.
std::string SampleRateMenuCaption(int index);

}  // namespace vireon
