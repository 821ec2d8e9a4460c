#pragma once

#include <string>

namespace vireon {

// The PortAudio library's own version text, as the backend reports it in logs.
std::string PortAudioVersionText();

}  // namespace vireon
