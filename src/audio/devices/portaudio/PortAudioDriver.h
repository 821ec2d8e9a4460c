#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "audio/devices/WaveDevice.h"
#include "audio/devices/portaudio/PortAudioDeviceList.h"
#include "audio/devices/portaudio/PortAudioErrors.h"
#include "audio/devices/portaudio/PortAudioSession.h"
#include "audio/devices/portaudio/PortAudioStreamHost.h"

namespace vireon {

// The devices of every PortAudio host API (ALSA, JACK, PulseAudio, ...) as one wave driver.
// Devices are listed once, when the driver is made: an audio server started later is not seen.
class PortAudioDriver final : public WaveDriver {
 public:
  // Throws VireonError when PortAudio cannot start.
  PortAudioDriver();

  std::vector<std::string> DeviceNames(WaveDirection direction) const override;
  int QueryFormat(WaveDirection direction, int device, const WaveFormat& format) override;
  // Play and record of one device at one rate share one duplex stream when the device allows it.
  int Open(WaveDirection direction, int device, const WaveFormat& format, WaveCallback& callback,
           std::unique_ptr<WaveStream>& stream) override;

  // PortAudio's text for the last failure of this driver or its streams ("" if none).
  std::string LastErrorText() const;

 private:
  const std::vector<PortAudioDevice>& DevicesOf(WaveDirection direction) const;
  // An open stream of `device` that `direction` can share, if any.
  std::shared_ptr<PortAudioStreamHost> JoinableHost(PaDeviceIndex device, WaveDirection direction,
                                                    int rate);

  std::shared_ptr<const PortAudioSession> session_;
  std::shared_ptr<PaErrorRecord> errors_;
  std::array<std::vector<PortAudioDevice>, 2> devices_;  // by WaveDirection
  std::vector<std::weak_ptr<PortAudioStreamHost>> hosts_;
};

}  // namespace vireon
