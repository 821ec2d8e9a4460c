#include "stimulus/StimulusPeriod.h"

#include <algorithm>

#include "stimulus/ChirpGenerator.h"
#include "stimulus/MlsSequence.h"

namespace vireon {

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

}  // namespace vireon
