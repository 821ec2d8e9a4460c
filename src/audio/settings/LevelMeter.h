#pragma once

namespace vireon {

// The input level bars (0 .. 100, two units per dB below full scale) and overload lamps.

// The bar for a block's peak in counts, relative to the maximum code (at most full scale).
double LevelBarValue(double peak_counts, int maximum_code);

// Lit when the input is within 1 dB of its maximum and is one of the first seven entries of its
// list (the calibrated inputs).
bool InputOverloaded(double bar_value, int list_index);

}  // namespace vireon
