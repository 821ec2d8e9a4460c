#include "app/cli/ProgramSettings.h"

#include "audio/settings/AudioSettingsConfig.h"
#include "config/ConfigWalk.h"

namespace vireon::cli {

ProgramSettings LoadProgramSettings(const SettingsOptions& options) {
  ProgramSettings settings;
  ConfigWalk software(ConfigFile::kSoftware);
  ConfigWalk hardware(ConfigFile::kHardware);
  BindStimulusSettings(software.Bindings(), settings.stimulus);
  BindAcquisitionSettings(software.Bindings(), settings.acquisition, settings.acquisition_extras,
                          settings.acquisition_formats);
  BindComponentTracking(software.Bindings(), settings.tracking);
  BindAudioSettings(software.Bindings(), hardware.Bindings(), settings.soundcards, settings.timing);
  ApplySettings(options, software, hardware);
  return settings;
}

}  // namespace vireon::cli
