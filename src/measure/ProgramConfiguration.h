#pragma once

#include <filesystem>
#include <string>

#include "audio/settings/SoundcardSettings.h"
#include "audio/settings/TimingSettings.h"
#include "config/ConfigWalk.h"
#include "config/ProgramPreferences.h"
#include "measure/AcquisitionConfig.h"
#include "measure/AcquisitionFormats.h"
#include "measure/AcquisitionSettings.h"
#include "measure/AcquisitionViews.h"
#include "measure/ComponentTracking.h"
#include "stimulus/CfgStim.h"

namespace vireon {

// Where the values the two configuration files keep live; every owner outlives the
// configuration.
struct ConfiguredValues {
  StimulusSettings& stimulus;
  TimingSettings& timing;
  SoundcardSettings& soundcards;
  AcquisitionSettings& acquisition;
  AcquisitionExtras& extras;
  AcquisitionFormats& formats;
  ComponentTrackSettings& tracking;
  ProgramPreferences& preferences;
  DataFolders& folders;
};

// The user's software configuration as a guided procedure set it aside before loading its own;
// read at start-up when a procedure did not put it back.
inline constexpr std::string_view kSetAsideConfigName = "VrSaveConfig.ini";

// Software files of this version or older read "StrictScripts" as on.
inline constexpr int kLastVersionWithoutStrictScripts = 225;

// The software ("VireonFree.ini") and hardware ("VireonFree.hdi") configuration: one walk per
// file over every bound setting. Keys no part of the program binds keep the text last read
// from a file, so a save writes them back, and a save rewrites only the lines it owns.
class ProgramConfiguration {
 public:
  // Starts the default folders at the data directory.
  ProgramConfiguration(const ConfiguredValues& values, std::filesystem::path data_directory);
  ProgramConfiguration(const ProgramConfiguration&) = delete;
  ProgramConfiguration& operator=(const ProgramConfiguration&) = delete;

  // The data directory's "VireonFree.ini" or "VireonFree.hdi".
  std::filesystem::path DefaultFile(ConfigFile file) const;

  // Reads or writes one file (a missing or unreadable file reads as empty; a write throws
  // VireonError when it fails and leaves the file as it was). Reading the software file starts
  // the default folders afresh.
  void SoftwareConfig(const std::filesystem::path& file, WalkDirection direction);
  void HardwareConfig(const std::filesystem::path& file, WalkDirection direction);

  // The primary plot's views of each acquisition type as the software file keeps them: set from
  // the display before a walk of the software file, handed back to it after a read.
  AcquisitionViews& Views() { return views_; }

  // The walks, for assignments of single keys.
  ConfigWalk& Software() { return software_; }
  ConfigWalk& Hardware() { return hardware_; }

 private:
  std::filesystem::path data_directory_;
  DataFolders& folders_;
  AcquisitionViews views_;
  ConfigWalk software_;
  ConfigWalk hardware_;
};

}  // namespace vireon
