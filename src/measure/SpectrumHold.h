#pragma once

#include <string_view>

#include "record/DataObj.h"

namespace vireon {

// The peak (or valley) hold trace of the single-channel spectrum: column 2 of the frequency
// record, beside the spectrum in column 1.

inline constexpr std::string_view kHoldColumnName = "Max/Min Hold";

bool HasHoldColumn(const TDataMeas& record);

// After each pass: with "Max" each hold value becomes max(hold, spectrum), with "Min" the
// minimum ("Max" wins when both are checked); the first pass, or one on another frequency
// grid, starts the hold from the spectrum. With neither the hold column is removed.
void UpdateSpectrumHold(TDataMeas& record, bool max_hold, bool min_hold);

// "Restart" and every start: the hold is dropped and begins again with the next pass.
void RestartSpectrumHold(TDataMeas& record);

}  // namespace vireon
