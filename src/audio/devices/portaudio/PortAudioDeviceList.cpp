#include "audio/devices/portaudio/PortAudioDeviceList.h"

#include <bit>
#include <set>

namespace vireon {

std::vector<PortAudioDevice> ListPortAudioDevices(WaveDirection direction) {
  std::vector<PortAudioDevice> devices;
  std::vector<std::string> names;
  const PaDeviceIndex count = Pa_GetDeviceCount();
  for (PaDeviceIndex index = 0; index < count; ++index) {
    const PaDeviceInfo* device = Pa_GetDeviceInfo(index);
    if (device == nullptr) continue;
    const int channels =
        direction == WaveDirection::kPlay ? device->maxOutputChannels : device->maxInputChannels;
    if (channels < 2) continue;
    const PaHostApiInfo* host = Pa_GetHostApiInfo(device->hostApi);
    devices.push_back(PortAudioDevice{index, {}});
    names.push_back(std::string(host != nullptr ? host->name : "Unknown") + ": " + device->name);
  }
  names = MakeNamesUnique(names);
  for (std::size_t i = 0; i < devices.size(); ++i) devices[i].name = std::move(names[i]);
  return devices;
}

PaStreamParameters StereoParameters(PaDeviceIndex device, WaveDirection direction, int bits) {
  // Our little-endian buffers hold exactly PortAudio's interleaved paInt16 / packed paInt24
  // frames, which come in the machine's byte order.
  static_assert(std::endian::native == std::endian::little);
  PaStreamParameters parameters{};
  parameters.device = device;
  parameters.channelCount = 2;
  parameters.sampleFormat = bits == 16 ? paInt16 : paInt24;
  if (const PaDeviceInfo* info = Pa_GetDeviceInfo(device); info != nullptr) {
    // The high latency: the engine keeps a deep ring of long blocks and values no glitch.
    parameters.suggestedLatency = direction == WaveDirection::kPlay ? info->defaultHighOutputLatency
                                                                    : info->defaultHighInputLatency;
  }
  return parameters;
}

std::vector<std::string> MakeNamesUnique(const std::vector<std::string>& names) {
  // Every given name stays reserved, so a suffix never produces a name listed elsewhere.
  std::set<std::string> taken(names.begin(), names.end());
  std::set<std::string> seen;
  std::vector<std::string> unique;
  unique.reserve(names.size());
  for (const std::string& name : names) {
    if (seen.insert(name).second) {
      unique.push_back(name);
      continue;
    }
    std::string candidate;
    for (int suffix = 2;; ++suffix) {
      candidate = name + " (" + std::to_string(suffix) + ")";
      if (!taken.contains(candidate)) break;
    }
    taken.insert(candidate);
    seen.insert(candidate);
    unique.push_back(std::move(candidate));
  }
  return unique;
}

}  // namespace vireon
