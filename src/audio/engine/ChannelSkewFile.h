#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vireon {

// Cards that deliver one input a sample late name themselves in "SpecialSoundcard.qtq" of the data
// folder: a section per play device (its name upper-cased and cut at the first "[") or
// "DEFAULT", comment lines beginning with a double quote, and the keys `HasSampleShift`,
// `ShiftedSampleRate` and `ShiftLateOnLeft`.

inline constexpr std::string_view kChannelSkewFileName = "SpecialSoundcard.qtq";

// What the controller corrects when it converts the captures.
struct ChannelSkew {
  bool left_late = false;  // whole samples, at the rate the entry names
  bool right_late = false;
  double time_correction = 0.0;  // seconds, at other rates; negative when the left is late
  bool operator==(const ChannelSkew&) const = default;
};

struct ChannelSkewReading {
  ChannelSkew skew;
  std::string error;  // the message to show; empty when the file was fine or missing
};

ChannelSkewReading ParseChannelSkew(std::string_view text, std::string_view play_device_name,
                                    int record_rate);
// A missing file leaves every correction off.
ChannelSkewReading ReadChannelSkewFile(const std::filesystem::path& data_directory,
                                       std::string_view play_device_name, int record_rate);

}  // namespace vireon
