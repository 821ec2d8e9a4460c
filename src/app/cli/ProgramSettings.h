#pragma once

#include "app/cli/SettingsOptions.h"
#include "measure/ProgramConfiguration.h"

namespace vireon::cli {

// Every setting the configuration files keep, at the program's defaults.
struct ProgramSettings {
  StimulusSettings stimulus;
  SoundcardSettings soundcards;
  TimingSettings timing;
  AcquisitionSettings acquisition;
  AcquisitionExtras acquisition_extras;
  AcquisitionFormats acquisition_formats;
  ComponentTrackSettings tracking;
  ProgramPreferences preferences;
  DataFolders folders;

  ConfiguredValues Values() {
    return {stimulus, timing,      soundcards, acquisition, acquisition_extras, acquisition_formats,
            tracking, preferences, folders};
  }
};

// The data directory's configuration over the settings.
ProgramConfiguration ConfigurationOf(ProgramSettings& settings);

// The settings the command's options give.
ProgramSettings LoadProgramSettings(const SettingsOptions& options);

}  // namespace vireon::cli
