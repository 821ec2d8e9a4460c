#pragma once

#include "audio/settings/SoundcardSettings.h"
#include "audio/settings/TimingSettings.h"
#include "config/ConfigBindings.h"

namespace vireon {

// Binds the device choices (hardware file, "Soundcards") and the engine's timing values (both
// files) to their configuration keys. The record resolution is written as the play resolution
// while it follows it. Rates are kept in Hz as read; AudioInterfaceSettings::ApplySoundcards maps
// them onto the rate table.
void BindAudioSettings(ConfigBindings& software, ConfigBindings& hardware,
                       SoundcardSettings& soundcards, TimingSettings& timing);

}  // namespace vireon
