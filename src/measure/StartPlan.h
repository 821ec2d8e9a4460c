#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "audio/engine/StreamingEngine.h"
#include "audio/sync/SyncBlockRoutines.h"
#include "common/Notices.h"
#include "measure/AcquisitionAnalysis.h"
#include "measure/AcquisitionSettings.h"
#include "measure/PassBuilder.h"
#include "stimulus/MlsTables.h"
#include "stimulus/StimulusSelection.h"
#include "stimulus/ToneSet.h"

namespace vireon {

class AudioInterfaceSettings;
struct StimulusSettings;
struct TimingSettings;

struct StartPlanInputs {
  int stim_code = 0;
  int acq_type = 0;
  const AcquisitionSettings& acquisition;
  AudioInterfaceSettings& audio;  // the synchronous check may change both rates
  StimulusSettings& stimulus;     // the chirp limits are put in order
  const TimingSettings& timing;
  MlsTableStore& mls_store;
  const ToneLists& tones;  // the fixed tones
  std::filesystem::path data_directory;
};

// Everything one start decides before the engine runs.
struct StartPlan {
  AnalysisSetup setup;  // with the sizes the stimulus imposes on the acquisition settings
  StimulusSelection selection;
  ToneLists tones;  // what the generator plays first
  SyncEngineSettings sync;
  EngineSettings engine;
  int play_bits = 24;
  int record_bits = 24;
  std::int32_t capture_length = 0;
  PassLayout layout;  // without the channel skew, which the engine reads at its start
  ChannelScales scales;
};

// The checks and preparations of a start, in the order the main window runs them. Nullopt when
// the start must end; its reason has then gone to the notices or, for the chirp arrays, to the
// message box.
std::optional<StartPlan> PlanStart(const StartPlanInputs& inputs, Notices& notices,
                                   const std::function<void(const std::string&)>& show_message);

}  // namespace vireon
