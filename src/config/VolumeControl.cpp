#include "config/VolumeControl.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

namespace vireon {

ProgramLookup ProgramsOnPath(std::string search_path) {
  return [search_path = std::move(search_path)](std::string_view program) {
    std::size_t start = 0;
    while (start <= search_path.size()) {
      const std::size_t end = std::min(search_path.find(':', start), search_path.size());
      const std::filesystem::path candidate =
          std::filesystem::path(search_path.substr(start, end - start)) / program;
      std::error_code error;
      if (end > start && std::filesystem::is_regular_file(candidate, error)) return true;
      start = end + 1;
    }
    return false;
  };
}

std::optional<std::vector<std::string>> VolumeControlCommand(MixerSide side,
                                                             const ProgramLookup& installed) {
  const bool playback = side == MixerSide::kPlayback;
  if (installed("pavucontrol")) {
    return std::vector<std::string>{"pavucontrol", playback ? "--tab=1" : "--tab=2"};
  }
  if (installed("alsamixer") && installed("x-terminal-emulator")) {
    return std::vector<std::string>{"x-terminal-emulator", "-e", "alsamixer",
                                    playback ? "--view=playback" : "--view=capture"};
  }
  return std::nullopt;
}

}  // namespace vireon
