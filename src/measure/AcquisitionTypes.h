#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vireon {

// The acquisition types of the main window's list: item 0..26 is the type itself, item 27
// ("Custom Acquisition") is held as 99.

inline constexpr int kAcquisitionItemCount = 28;
inline constexpr int kAcqCustom = 99;

std::string_view AcquisitionName(int acq_type);  // "" for a type outside the list
int AcqTypeOfItem(int item);                     // 27 → 99
int ItemOfAcqType(int acq_type);                 // 99 → 27

// Types the list offers with no stimulus: drawn disabled, never selected.
bool IsNeverSelectable(int acq_type);

// Whether the analysis of this pair reads input 2, so both inputs are captured.
bool NeedsSecondInput(int stim_code, int acq_type);

// Types 16, 17, 25 and 26 stop by themselves after one pass.
bool IsSinglePassType(int acq_type);

// Types whose primary plot shows the time record (0, 1, 2, 3, 12, and the asynchronous impulse
// types 25 and 26, which make no frequency record) rather than the frequency one.
bool ShowsTimeData(int acq_type);

// The message a start shows for a type whose analysis is not available in this version; nullopt
// when it can be measured.
std::optional<std::string> UnavailableAnalysisMessage(int acq_type);

}  // namespace vireon
