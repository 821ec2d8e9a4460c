#pragma once

#include <CLI/CLI.hpp>

#include <string>

#include "audio/devices/WaveDevice.h"
#include "audio/devices/portaudio/AudioDevices.h"
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

// --bench or --device, --rate and --bits, as the measuring commands take them.
struct DeviceOptions {
  std::string bench;
  std::string device;
  int rate = 48000;
  int bits = 24;
};
void AddDeviceOptions(CLI::App& command, DeviceOptions& options);

// The devices of a measuring command, opened: the simulated card with the bench of --bench (the
// built-in one without), PortAudio's when a named device needs it. Throws VireonError for a
// device that is not listed, or the simulated card paired with another device.
struct MeasuringDevices {
  AudioDevices devices;
  DeviceChoice names;
  int play_device = 0;
  int record_device = 0;
  bool on_card = false;
};
MeasuringDevices OpenMeasuringDevices(const DeviceOptions& options,
                                      const SoundcardSettings& soundcards,
                                      bool hide_simulated_card);

// A message-box text on stderr, its "\r" line breaks as new lines.
void PrintMessage(std::string text);

}  // namespace vireon::cli
