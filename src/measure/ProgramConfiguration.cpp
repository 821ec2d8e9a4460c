#include "measure/ProgramConfiguration.h"

#include <utility>

#include "audio/settings/AudioSettingsConfig.h"

namespace vireon {

ProgramConfiguration::ProgramConfiguration(const ConfiguredValues& values,
                                           std::filesystem::path data_directory)
    : data_directory_(std::move(data_directory)),
      folders_(values.folders),
      software_(ConfigFile::kSoftware, data_directory_.string()),
      hardware_(ConfigFile::kHardware, data_directory_.string()) {
  folders_.Reset(data_directory_);
  ConfigBindings& software = software_.Bindings();
  BindProgramPreferences(software, values.preferences, values.folders);
  BindStimulusSettings(software, values.stimulus);
  BindAcquisitionSettings(software, values.acquisition, values.extras, values.formats);
  BindComponentTracking(software, values.tracking);
  BindAcquisitionViews(software, views_);
  BindAudioSettings(software, hardware_.Bindings(), values.soundcards, values.timing);
}

std::filesystem::path ProgramConfiguration::DefaultFile(ConfigFile file) const {
  return data_directory_ /
         (file == ConfigFile::kSoftware ? kSoftwareConfigName : kHardwareConfigName);
}

void ProgramConfiguration::SoftwareConfig(const std::filesystem::path& file,
                                          WalkDirection direction) {
  if (direction == WalkDirection::kSave) {
    software_.Save(file);
    return;
  }
  folders_.Reset(data_directory_);
  software_.Load(file);
  if (software_.FileVersion() < kFirstVersionWithColumnFlags) ForceOldColumnFlags(views_);
  if (software_.FileVersion() <= kLastVersionWithoutStrictScripts) {
    software_.Assign(*FindConfigKey(ConfigFile::kSoftware, "WaveletBurst", "StrictScripts"), 0,
                     "1");
  }
}

void ProgramConfiguration::HardwareConfig(const std::filesystem::path& file,
                                          WalkDirection direction) {
  if (direction == WalkDirection::kSave) {
    hardware_.Save(file);
  } else {
    hardware_.Load(file);
  }
}

}  // namespace vireon
