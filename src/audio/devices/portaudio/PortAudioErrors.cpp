#include "audio/devices/portaudio/PortAudioErrors.h"

#include "audio/devices/WaveDevice.h"

namespace vireon {

int MmResultFromPaError(PaError error) {
  switch (error) {
    case paNoError:
      return kMmNoError;
    case paInvalidDevice:
      return kMmBadDeviceId;
    case paDeviceUnavailable:
      return kMmAllocated;
    case paInvalidSampleRate:
    case paSampleFormatNotSupported:
    case paInvalidChannelCount:
      return kWaveBadFormat;
    case paInsufficientMemory:
      return kMmNoMem;
    default:
      return kMmError;
  }
}

std::string PaErrorText(PaError error) {
  std::string text = Pa_GetErrorText(error);
  if (error == paUnanticipatedHostError) {
    const PaHostErrorInfo* host = Pa_GetLastHostErrorInfo();
    if (host != nullptr && host->errorText != nullptr && host->errorText[0] != '\0') {
      text += ": ";
      text += host->errorText;
    }
  }
  return text;
}

int PaErrorRecord::Record(PaError error) {
  if (error < 0) {
    std::string text = PaErrorText(error);
    const std::lock_guard lock(mutex_);
    text_ = std::move(text);
  }
  return MmResultFromPaError(error);
}

std::string PaErrorRecord::LastErrorText() const {
  const std::lock_guard lock(mutex_);
  return text_;
}

}  // namespace vireon
