#pragma once

#include <CLI/CLI.hpp>

#include <optional>

#include "stimulus/CfgStim.h"
#include "stimulus/StimulusSelection.h"
#include "stimulus/StimulusTable.h"

namespace vireon::cli {

// --stimulus (required) and --acq, as the commands that play a stimulus take them.
void AddStimulusOptions(CLI::App& command, int& stim_code, std::optional<int>& acq_type);

// The stimulus of `--stimulus` and the acquisition of `--acq` (default: the first one the
// stimulus allows; 27 is held as 99). Throws UsageError for an unknown code or a pair the
// compatibility rule refuses.
struct StimulusChoice {
  const StimulusType* type;
  int acq_type;
};
StimulusChoice ChooseStimulus(int stim_code, std::optional<int> acq_type);

}  // namespace vireon::cli
