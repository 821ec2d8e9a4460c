#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "audio/devices/WaveDevice.h"
#include "audio/devices/portaudio/PortAudioStreamHost.h"

namespace vireon {

// One open direction of a PortAudio device; the two directions of one device share their host's
// stream.
class PortAudioWaveStream final : public WaveStream {
 public:
  PortAudioWaveStream(std::shared_ptr<PortAudioStreamHost> host, WaveDirection direction);
  ~PortAudioWaveStream() override;
  PortAudioWaveStream(const PortAudioWaveStream&) = delete;
  PortAudioWaveStream& operator=(const PortAudioWaveStream&) = delete;

  int Pause() override;
  int Queue(int buffer_index, std::span<std::uint8_t> buffer) override;
  int Start() override;
  int Reset() override;
  int Close() override;

  // Underruns (play) or overruns (record) PortAudio reported while this direction was open.
  std::int64_t HostXruns() const override;
  // Audio callbacks that found no queued buffer: silence played, or input dropped.
  std::int64_t DryCallbacks() const;

 private:
  std::shared_ptr<PortAudioStreamHost> host_;  // empty once closed
  const WaveDirection direction_;
};

}  // namespace vireon
