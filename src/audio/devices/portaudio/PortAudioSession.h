#pragma once

namespace vireon {

// Holds the PortAudio library initialised for its lifetime. PortAudio takes its list of host APIs
// and devices at initialisation, so a session sees the audio servers running when it began.
class PortAudioSession {
 public:
  // Throws VireonError with PortAudio's text when the library cannot start.
  PortAudioSession();
  ~PortAudioSession();
  PortAudioSession(const PortAudioSession&) = delete;
  PortAudioSession& operator=(const PortAudioSession&) = delete;
};

}  // namespace vireon
