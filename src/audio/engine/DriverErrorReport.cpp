#include "audio/engine/DriverErrorReport.h"

#include <array>
#include <string_view>

namespace vireon {

std::string DriverOperationName(int step) {
  switch (step) {
    case kStepOutputOpen:
      return "waveOutOpen";
    case kStepOutputPause:
      return "waveOutPause";
    case kStepOutputWrite0:
    case kStepOutputWrite1:
    case kStepOutputWrite2:
      return "waveOutWrite";
    case kStepInputStart:
      return "waveInStart";
    case kStepOutputRestart:
      return "waveOutRestart";
    case kStepInputOpen:
      return "waveInOpen";
    case kStepInputAdd:
      return "waveInAddBuffer";
    case kStepAborted:
      return "(operation aborted)";
    default:
      return "unknown";
  }
}

std::string DriverResultText(int result) {
  switch (result) {
    case 0:
      return "MMSYSERR_NOERROR { no error }";
    case 2:
      return "MMSYSERR_BADDEVICEID { device ID out of range }";
    case 3:
      return "MMSYSERR_NOTENABLED { driver failed enable }";
    case 4:
      return "MMSYSERR_ALLOCATED { device already allocated }";
    case 5:
      return "MMSYSERR_INVALHANDLE { device handle is invalid }";
    case 6:
      return "MMSYSERR_NODRIVER { no device driver present }";
    case 7:
      return "MMSYSERR_NOMEM { memory allocation error }";
    case 8:
      return "MMSYSERR_NOTSUPPORTED { function isn't supported }";
    case 9:
      return "MMSYSERR_BADERRNUM  { error value out of range }";
    case 10:
      return "MMSYSERR_INVALFLAG  { invalid flag passed }";
    case 11:
      return "MMSYSERR_INVALPARAM { invalid parameter passed }";
    case 12:
      return "MMSYSERR_HANDLEBUSY { handle being used simultaneously on another thread (eg "
             "callback) }";
    case 13:
      return "MMSYSERR_INVALIDALIAS { specified alias not found }";
    case 20:
      return "MMSYSERR_NODRIVERCB { driver does not call DriverCallback }";
    default:
      return "Unknown error";
  }
}

std::string DriverErrorReport(int step, int result, const std::string& backend_text) {
  static constexpr std::array<std::string_view, 8> kSuggestions = {
      "  Make sure that the souncard supports the requested rate and size",
      "    at the same time, and in full duplex.                         ",
      "  Make sure that an up-to-date, stable soundcard driver has been  ",
      "    installed (and recalibrate VIREON after updating the driver). ",
      "  If operating in 24 bit mode, make sure that WAV_EXT is checked  ",
      "    (in the Main Form, Config->Hardware Specific menu).           ",
      "  192kHz mode requires WindowsXP or later.                        ",
      "  Make sure the most recent version of DirectX has been installed ",
  };
  std::string text =
      "An error was returned by the Windows API\ror the soundcard driver, during "
      "the operation:\r       ";
  text += DriverOperationName(step);
  text += "\rThe error result was:\r     ";
  text += DriverResultText(result) + " (" + std::to_string(result) + ")";
  if (!backend_text.empty()) text += "\r     " + backend_text;
  text += "\r\rSuggestions:\r";
  for (const std::string_view line : kSuggestions) {
    text += line;
    text += '\r';
  }
  return text;
}

}  // namespace vireon
