#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "stimulus/ToneSet.h"

namespace vireon {

// A stepped-tone list file (".qfl"): one step per non-empty line. An optional first line "#..."
// gives the meaning of the numbers on each line: F frequency (starts a component), A amplitude,
// P phase in degrees, S duty, W waveform kind, and "/", "\" or "|" switching to channel 2.
class StepListFile {
 public:
  explicit StepListFile(std::string_view text);

  // The lists of the next step; nullopt once the steps are exhausted: at the end of the file or at
  // a line that does not read as numbers.
  std::optional<ToneLists> NextLine(int play_rate);

  const std::string& Format() const { return format_; }  // the letters in force, "" for all F

 private:
  std::string format_;
  std::vector<std::string> lines_;
  std::size_t next_ = 0;
};

}  // namespace vireon
