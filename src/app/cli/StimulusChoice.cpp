#include "app/cli/StimulusChoice.h"

#include <algorithm>
#include <string>

#include "app/cli/ExitCodes.h"
#include "stimulus/AcquisitionCompatibility.h"

namespace vireon::cli {

void AddStimulusOptions(CLI::App& command, int& stim_code, std::optional<int>& acq_type) {
  command.add_option("--stimulus", stim_code, "Stimulus code 0..17 or 99")->required();
  command
      .add_option("--acq", acq_type,
                  "Acquisition type 0..26, 27 or 99 (default: the first compatible one)")
      ->check(CLI::Range(0, 27) | CLI::IsMember({99}));
}

StimulusChoice ChooseStimulus(int stim_code, std::optional<int> acq_type) {
  const StimulusType* type = FindStimulus(stim_code);
  if (type == nullptr) throw UsageError("Unknown stimulus code " + std::to_string(stim_code));
  if (!acq_type) {
    const std::optional<int> first = FirstCompatibleAcquisition(stim_code);
    if (!first) throw UsageError("No acquisition type is compatible with this stimulus");
    return {type, *first};
  }
  const int acq = *acq_type == 27 ? 99 : *acq_type;
  if (!IsAcquisitionCompatible(stim_code, acq)) {
    throw UsageError("Acquisition type " + std::to_string(acq) +
                     " is not compatible with stimulus " + std::to_string(stim_code));
  }
  return {type, acq};
}

}  // namespace vireon::cli
