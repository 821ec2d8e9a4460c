#pragma once

#include <string>
#include <vector>

#include <portaudio.h>

#include "audio/devices/WaveDevice.h"

namespace vireon {

struct PortAudioDevice {
  PaDeviceIndex index = paNoDevice;
  std::string name;  // "<host API>: <device>", unique within its direction
};

// The devices of every host API with at least two channels in `direction` (we always stream
// stereo, so mono devices are left out), in PortAudio's order. Needs a PortAudioSession.
std::vector<PortAudioDevice> ListPortAudioDevices(WaveDirection direction);

// Parameters for our stereo frames of `bits` on `device`, at the device's high latency.
PaStreamParameters StereoParameters(PaDeviceIndex device, WaveDirection direction, int bits);

// `names` with every repeat of an earlier name given the first free suffix " (2)", " (3)", ...
std::vector<std::string> MakeNamesUnique(const std::vector<std::string>& names);

}  // namespace vireon
