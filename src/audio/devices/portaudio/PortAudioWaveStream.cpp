#include "audio/devices/portaudio/PortAudioWaveStream.h"

#include <utility>

namespace vireon {

PortAudioWaveStream::PortAudioWaveStream(std::shared_ptr<PortAudioStreamHost> host,
                                         WaveDirection direction)
    : host_(std::move(host)), direction_(direction) {}

PortAudioWaveStream::~PortAudioWaveStream() {
  if (host_) host_->Close(direction_);
}

int PortAudioWaveStream::Pause() { return host_ ? host_->Pause(direction_) : kMmInvalidHandle; }

int PortAudioWaveStream::Queue(int buffer_index, std::span<std::uint8_t> buffer) {
  return host_ ? host_->Queue(direction_, buffer_index, buffer) : kMmInvalidHandle;
}

int PortAudioWaveStream::Start() { return host_ ? host_->Start(direction_) : kMmInvalidHandle; }

int PortAudioWaveStream::Reset() { return host_ ? host_->Reset(direction_) : kMmInvalidHandle; }

int PortAudioWaveStream::Close() {
  if (!host_) return kMmInvalidHandle;
  const int result = host_->Close(direction_);
  host_.reset();
  return result;
}

std::int64_t PortAudioWaveStream::HostXruns() const { return host_ ? host_->Xruns(direction_) : 0; }

std::int64_t PortAudioWaveStream::DryCallbacks() const {
  return host_ ? host_->DryCallbacks(direction_) : 0;
}

}  // namespace vireon
