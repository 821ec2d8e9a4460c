#pragma once

#include <string>
#include <string_view>

namespace vireon {

// Composing and checking the text of a stepped-tone list file (".qfl") in the list file editor.

// The file text: "#" and the format letters on the first line when there are any, then the step
// lines, every line ended by CR LF.
std::string StepListText(std::string_view format, std::string_view step_lines);

// The two parts of a file's text: the format line without its "#" (empty when there is none)
// and the rest, its lines ended by LF alone.
struct StepListParts {
  std::string format;
  std::string step_lines;
};
StepListParts SplitStepListText(std::string_view text);

// What the stepped tones would read from a text: the format letters in force ("" when every
// number is a frequency), the steps played and the non-empty step lines; when fewer steps are
// played than there are lines, line `steps + 1` (counted over the non-empty lines) stops them.
struct StepListCheck {
  std::string format;
  int steps = 0;
  int lines = 0;
};
StepListCheck CheckStepList(std::string_view text);

}  // namespace vireon
