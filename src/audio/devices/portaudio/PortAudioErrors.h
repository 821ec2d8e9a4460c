#pragma once

#include <mutex>
#include <string>

#include <portaudio.h>

namespace vireon {

// The device-layer result for a PortAudio error: an unavailable device is busy, an unknown one is
// out of range, a refused sample format, rate or channel count is a bad format.
int MmResultFromPaError(PaError error);

// PortAudio's own text for an error, with the host API's detail when the host reported one.
std::string PaErrorText(PaError error);

// The text of the last PortAudio failure of a driver and its streams, appended by the driver
// error report after the device-layer text. Control calls of any thread may record into it.
class PaErrorRecord {
 public:
  // Keeps the text of `error` when it is an error and returns its device-layer result.
  int Record(PaError error);
  std::string LastErrorText() const;

 private:
  mutable std::mutex mutex_;
  std::string text_;
};

}  // namespace vireon
