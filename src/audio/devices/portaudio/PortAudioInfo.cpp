#include "audio/devices/portaudio/PortAudioInfo.h"

#include <portaudio.h>

namespace vireon {

std::string PortAudioVersionText() { return Pa_GetVersionText(); }

}  // namespace vireon
