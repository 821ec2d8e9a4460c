#pragma once

#include <array>
#include <string>
#include <string_view>

namespace vireon {

// What is connected to each input: the four entries of both inputs' lists, in list order.
enum class InputDesignation { kProbe1 = 0, kProbe2 = 1, kMic1 = 2, kMic2 = 3 };
inline constexpr int kInputDesignationCount = 4;

inline constexpr std::string_view kInput1Caption = "Input 1 (L) (meas) used as:";
inline constexpr std::string_view kInput2Caption = "Input 2 (R) (ref) used as:";

// The list entries: the probes with their resistor in ohms, the microphones with their
// calibration file's name, " (------------)" when none is loaded.
std::array<std::string, kInputDesignationCount> InputListEntries(double probe1_ohms,
                                                                 double probe2_ohms,
                                                                 std::string_view mic1_file,
                                                                 std::string_view mic2_file);

// The level calibration's slot of a list entry (Mic1 = 0, Mic2 = 1, Probe1 = 2, Probe2 = 3);
// -1 for an index outside the list.
int CalibrationSlotOf(int list_index);

}  // namespace vireon
