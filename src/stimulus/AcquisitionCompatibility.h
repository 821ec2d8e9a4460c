#pragma once

#include <optional>

namespace vireon {

// Which acquisition types the main window lets the user pick with a stimulus. Acquisition type
// 27 ("Custom Acquisition") is held as 99 and may be passed either way.
bool IsAcquisitionCompatible(int stim_code, int acq_type);

// The first compatible acquisition type in list order (0..26, then 99); nullopt when none is.
std::optional<int> FirstCompatibleAcquisition(int stim_code);

}  // namespace vireon
