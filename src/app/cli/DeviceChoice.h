#pragma once

#include <string>

#include "audio/devices/WaveDevice.h"
#include "audio/settings/SoundcardSettings.h"

namespace vireon::cli {

// The play and record device names of a measuring command: the simulated card for --bench,
// --device for both, else the hardware configuration's devices, else the simulated card.
struct DeviceChoice {
  std::string play;
  std::string record;
  bool needs_portaudio;
};
DeviceChoice ChooseDevices(const std::string& bench, const std::string& device,
                           const SoundcardSettings& soundcards);

// The device's number in the driver's list; throws VireonError naming it when it is not listed.
int DeviceNumber(WaveDriver& driver, WaveDirection direction, const std::string& name);

// A message-box text on stderr, its "\r" line breaks as new lines.
void PrintMessage(std::string text);

}  // namespace vireon::cli
