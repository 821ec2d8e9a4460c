#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "stimulus/ToneSet.h"

namespace vireon {

// Wave-set files (".qmw"): the component count, then kind, frequency, amplitude, phase (radians)
// and duty of every component, one value per line.

inline constexpr std::string_view kAmplitudeSumMessage =
    "Sum of amplitudes cannot exceed 1! -- Please adjust amplitudes";

std::string ToneSetText(const SineParsArray& list);
// The list of a file's text with Omega at the play rate and phases wrapped; nullopt when the text
// is not a whole, sound wave set.
std::optional<SineParsArray> ParseToneSetText(std::string_view text, int play_rate);

// Both throw VireonError with the message to show; a failed load leaves the list as it was.
void SaveToneSet(const std::filesystem::path& file, const SineParsArray& list);
void LoadToneSet(const std::filesystem::path& file, SineParsArray& list, int play_rate);

}  // namespace vireon
