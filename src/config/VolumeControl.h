#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vireon {

enum class MixerSide { kPlayback, kRecording };

// Whether a program of that name can be started (found on the search path).
using ProgramLookup = std::function<bool(std::string_view program)>;
ProgramLookup ProgramsOnPath(std::string search_path);

// The command line that opens the system volume control on one side: the sound server's
// volume control on its playback or recording tab when installed, else the console mixer in
// that view inside a terminal; none when neither can be started.
std::optional<std::vector<std::string>> VolumeControlCommand(MixerSide side,
                                                             const ProgramLookup& installed);

}  // namespace vireon
