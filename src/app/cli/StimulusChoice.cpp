#include "app/cli/StimulusChoice.h"

#include <algorithm>
#include <string>

#include "app/cli/ExitCodes.h"
#include "stimulus/AcquisitionCompatibility.h"
#include "stimulus/ChirpGenerator.h"
#include "stimulus/MlsSequence.h"

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

std::int32_t StimulusRecordLength(const StimulusType& type, const StimulusSettings& settings,
                                  const StimulusSelection& selection, std::int32_t other_length) {
  if (IsMls(type.kind)) {
    const int order =
        SetMLSOrder(std::clamp(settings.mls_length, 1 << kMinMlsTableOrder, 1 << kMaxMlsTableOrder))
            .order;
    return (std::int32_t{1} << order) - 1;
  }
  if (type.kind == GeneratorKind::kChirp) {
    const std::int32_t sweep = ChirpSweepFor(settings.chirp, selection.acq_type,
                                             selection.play_rate, selection.record_rate)
                                   .length;
    // An asynchronous sweep starts after its pre-delay and is played whole.
    return type.engine == EngineKind::kAsynchronous ? selection.async_chirp_delay + sweep : sweep;
  }
  return other_length;
}

}  // namespace vireon::cli
