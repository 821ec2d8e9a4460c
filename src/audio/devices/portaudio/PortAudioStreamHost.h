#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>

#include <portaudio.h>

#include "audio/devices/WaveDevice.h"
#include "audio/devices/portaudio/BufferQueue.h"
#include "audio/devices/portaudio/PortAudioErrors.h"
#include "audio/devices/portaudio/PortAudioSession.h"

namespace vireon {

// The PortAudio stream of one device, carrying its play direction, its record direction or both.
// When both directions of one device are open they share this one stream, and so one sample
// clock. The stream runs once every open direction has been started; a Pause, Reset or Close of
// either direction halts it for both, and Start resumes it.
class PortAudioStreamHost {
 public:
  PortAudioStreamHost(std::shared_ptr<const PortAudioSession> session,
                      std::shared_ptr<PaErrorRecord> errors, PaDeviceIndex device);
  ~PortAudioStreamHost();
  PortAudioStreamHost(const PortAudioStreamHost&) = delete;
  PortAudioStreamHost& operator=(const PortAudioStreamHost&) = delete;

  // Whether `direction` can be added: it is free, the stream has not started yet, and the rate
  // equals that of the other direction (one stream has one rate).
  bool CanAttach(PaDeviceIndex device, WaveDirection direction, int rate) const;
  // Adds `direction` and (re)opens the PortAudio stream with every open direction.
  int Attach(WaveDirection direction, const WaveFormat& format, WaveCallback& callback);

  int Pause(WaveDirection direction);
  int Queue(WaveDirection direction, int buffer_index, std::span<std::uint8_t> buffer);
  int Start(WaveDirection direction);
  int Reset(WaveDirection direction);
  // Resets `direction` and removes it; the PortAudio stream closes with its last direction.
  int Close(WaveDirection direction);

  // xruns PortAudio reported for `direction` (output underflow; input overflow or underflow).
  std::int64_t Xruns(WaveDirection direction) const;
  // Callbacks in which `direction` had no queued buffer for some of its frames.
  std::int64_t DryCallbacks(WaveDirection direction) const;

 private:
  struct Side {
    std::unique_ptr<BufferQueue> queue;  // present while the direction is open
    WaveFormat format;
    bool started = false;
    std::atomic<std::int64_t> xruns{0};
  };

  static int OnAudio(const void* input, void* output, unsigned long frames,
                     const PaStreamCallbackTimeInfo* time, PaStreamCallbackFlags flags, void* host);
  void ServeAudio(const void* input, void* output, unsigned long frames,
                  PaStreamCallbackFlags flags);
  Side& SideOf(WaveDirection direction) { return sides_[static_cast<int>(direction)]; }
  const Side& SideOf(WaveDirection direction) const { return sides_[static_cast<int>(direction)]; }
  int OpenStream();
  void CloseStream();
  int HaltStream();
  // Stops a direction (the stream with it) and hands back every buffer it still holds.
  void StopSide(Side& side);

  const std::shared_ptr<const PortAudioSession> session_;
  const std::shared_ptr<PaErrorRecord> errors_;
  const PaDeviceIndex device_;
  mutable std::mutex control_;  // serialises the control calls; the audio callback never takes it
  std::array<Side, 2> sides_;
  PaStream* stream_ = nullptr;
  // Bytes per frame of each direction the open stream carries (0: not carried); the callback
  // writes silence on a carried play direction that has been closed.
  std::array<int, 2> stream_frame_bytes_{0, 0};
  bool running_ = false;
};

}  // namespace vireon
