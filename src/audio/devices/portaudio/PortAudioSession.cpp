#include "audio/devices/portaudio/PortAudioSession.h"

#include <portaudio.h>

#include "audio/devices/portaudio/PortAudioErrors.h"
#include "common/VireonError.h"

namespace vireon {

PortAudioSession::PortAudioSession() {
  const PaError error = Pa_Initialize();
  if (error != paNoError) {
    throw VireonError("The audio library could not start: " + PaErrorText(error));
  }
}

PortAudioSession::~PortAudioSession() { Pa_Terminate(); }

}  // namespace vireon
