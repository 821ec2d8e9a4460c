#pragma once

#include "app/cli/SettingsOptions.h"
#include "audio/settings/SoundcardSettings.h"
#include "audio/settings/TimingSettings.h"
#include "measure/AcquisitionConfig.h"
#include "measure/AcquisitionFormats.h"
#include "measure/AcquisitionSettings.h"
#include "measure/ComponentTracking.h"
#include "stimulus/CfgStim.h"

namespace vireon::cli {

// The settings the measuring commands read, bound to both configuration files and walked in the
// order of the command-line contract: defaults, --config, --hardware, then each --set.
struct ProgramSettings {
  StimulusSettings stimulus;
  SoundcardSettings soundcards;
  TimingSettings timing;
  AcquisitionSettings acquisition;
  AcquisitionExtras acquisition_extras;
  AcquisitionFormats acquisition_formats;
  ComponentTrackSettings tracking;
};

// Throws UsageError for a key or value the settings refuse.
ProgramSettings LoadProgramSettings(const SettingsOptions& options);

}  // namespace vireon::cli
