#pragma once

#include <memory>
#include <string>

#include "audio/devices/DeviceCatalog.h"
#include "audio/devices/portaudio/PortAudioDriver.h"
#include "audio/devices/simulated/SimulatedCard.h"

namespace vireon {

// The devices the programs offer: PortAudio's, when asked for and when it starts, then the
// simulated card on the given clock (the command line's fast one, the desktop's real time),
// unless hidden (VIREON_NO_SIMULATED_CARD=1).
struct AudioDevices {
  std::unique_ptr<DeviceCatalog> catalog;
  SimulatedCard* simulated_card = nullptr;     // owned by the catalog; null when hidden
  const PortAudioDriver* portaudio = nullptr;  // owned by the catalog; null without it
  std::string DriverErrorText() const { return portaudio ? portaudio->LastErrorText() : ""; }
};

AudioDevices OpenAudioDevices(bool with_portaudio, Bench bench, SimulatedCard::Clock clock,
                              bool hide_simulated_card);

}  // namespace vireon
