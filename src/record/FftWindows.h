#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "record/AnalysisContext.h"
#include "record/DataObj.h"

namespace vireon {

// Window codes (FWindowType 0..15): the list entry's code, plus one for its half window.
// Odd codes 3..15 leave the first half of the gate flat and apply only the falling half.
inline constexpr std::uint8_t kNoWindow = 0;
inline constexpr std::uint8_t kRectangularWindow = 1;
inline constexpr std::uint8_t kBlackmanHarris4Window = 2;
inline constexpr std::uint8_t kHannWindow = 14;

// The window list's entries ("No Window", "Rectangular", "Blackm-Harris4", ...) and the code of
// an entry with or without the half check box.
std::string_view WindowListName(int entry);  // entries 0..8
std::uint8_t WindowCode(int entry, bool half);

bool IsHalfWindow(std::uint8_t code);  // 3, 5, ..., 15

// Cosine-sum coefficients a0..a5 of w(F) = a0 − a1·cos F + a2·cos 2F − a3·cos 3F + ...
// (zero for codes that are not cosine sums) and the gain factor full windows carry.
std::array<double, 6> WindowCoefficients(std::uint8_t code);
double WindowGainFactor(std::uint8_t code);  // applied for even codes only

// The window of a code over a gate of `length` intervals at point i (0..length), times gain
// and the gain factor of a full window. Codes 0 and 1 are flat: just the gain.
double WindowValue(std::uint8_t code, std::int64_t i, std::int64_t length, double gain);

// Gates, shifts to the start and windows column 0 (and column 1) of a sampled record with more
// than 15 points; the delay of each channel grows by its gate start. Clears the context's
// offset one-shot.
void ApplyTimeWindow(TDataMeas& record, std::uint8_t code, std::int32_t max_length, double gain_a,
                     double gain_b, bool blend, AnalysisContext& context);

}  // namespace vireon
