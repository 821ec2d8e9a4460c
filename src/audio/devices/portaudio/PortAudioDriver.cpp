#include "audio/devices/portaudio/PortAudioDriver.h"

#include <portaudio.h>

#include <algorithm>

#include "audio/devices/portaudio/PortAudioWaveStream.h"

namespace vireon {

namespace {

bool IsStereoFormat(const WaveFormat& format) {
  return (format.bits == 16 || format.bits == 24) && format.rate > 0;
}

}  // namespace

PortAudioDriver::PortAudioDriver()
    : session_(std::make_shared<const PortAudioSession>()),
      errors_(std::make_shared<PaErrorRecord>()),
      devices_{ListPortAudioDevices(WaveDirection::kPlay),
               ListPortAudioDevices(WaveDirection::kRecord)} {}

const std::vector<PortAudioDevice>& PortAudioDriver::DevicesOf(WaveDirection direction) const {
  return devices_[static_cast<int>(direction)];
}

std::vector<std::string> PortAudioDriver::DeviceNames(WaveDirection direction) const {
  std::vector<std::string> names;
  for (const PortAudioDevice& device : DevicesOf(direction)) names.push_back(device.name);
  return names;
}

int PortAudioDriver::QueryFormat(WaveDirection direction, int device, const WaveFormat& format) {
  const std::vector<PortAudioDevice>& devices = DevicesOf(direction);
  if (device < 0 || device >= static_cast<int>(devices.size())) return kMmBadDeviceId;
  if (!IsStereoFormat(format)) return kWaveBadFormat;
  const PaStreamParameters parameters =
      StereoParameters(devices[device].index, direction, format.bits);
  const bool play = direction == WaveDirection::kPlay;
  return errors_->Record(Pa_IsFormatSupported(play ? nullptr : &parameters,
                                              play ? &parameters : nullptr, format.rate));
}

std::shared_ptr<PortAudioStreamHost> PortAudioDriver::JoinableHost(PaDeviceIndex device,
                                                                   WaveDirection direction,
                                                                   int rate) {
  std::erase_if(hosts_, [](const auto& host) { return host.expired(); });
  for (const std::weak_ptr<PortAudioStreamHost>& weak : hosts_) {
    std::shared_ptr<PortAudioStreamHost> host = weak.lock();
    if (host && host->CanAttach(device, direction, rate)) return host;
  }
  return nullptr;
}

int PortAudioDriver::Open(WaveDirection direction, int device, const WaveFormat& format,
                          WaveCallback& callback, std::unique_ptr<WaveStream>& stream) {
  const std::vector<PortAudioDevice>& devices = DevicesOf(direction);
  if (device < 0 || device >= static_cast<int>(devices.size())) return kMmBadDeviceId;
  if (!IsStereoFormat(format)) return kWaveBadFormat;
  const PaDeviceIndex index = devices[device].index;
  std::shared_ptr<PortAudioStreamHost> shared = JoinableHost(index, direction, format.rate);
  if (shared && shared->Attach(direction, format, callback) == kMmNoError) {
    stream = std::make_unique<PortAudioWaveStream>(std::move(shared), direction);
    return kMmNoError;
  }
  // A stream of its own: nothing to share, or the device refused one duplex stream (then the
  // directions still work, each on its own stream).
  auto host = std::make_shared<PortAudioStreamHost>(session_, errors_, index);
  const int result = host->Attach(direction, format, callback);
  if (result != kMmNoError) return result;
  hosts_.push_back(host);
  stream = std::make_unique<PortAudioWaveStream>(std::move(host), direction);
  return kMmNoError;
}

std::string PortAudioDriver::LastErrorText() const { return errors_->LastErrorText(); }

}  // namespace vireon
