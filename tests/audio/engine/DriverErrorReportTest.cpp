#include <gtest/gtest.h>

#include "audio/engine/DriverErrorReport.h"

namespace vireon {
namespace {

constexpr const char* kSuggestions =
    "Suggestions:\r"
    "  Make sure that the souncard supports the requested rate and size\r"
    "    at the same time, and in full duplex.                         \r"
    "  Make sure that an up-to-date, stable soundcard driver has been  \r"
    "    installed (and recalibrate VIREON after updating the driver). \r"
    "  If operating in 24 bit mode, make sure that WAV_EXT is checked  \r"
    "    (in the Main Form, Config->Hardware Specific menu).           \r"
    "  192kHz mode requires WindowsXP or later.                        \r"
    "  Make sure the most recent version of DirectX has been installed \r";

TEST(DriverErrorReportTest, ReportTextIsTheFixedMessage) {
  EXPECT_EQ(DriverErrorReport(0, 2),
            std::string("An error was returned by the Windows API\ror the soundcard driver, "
                        "during the operation:\r       waveOutOpen\rThe error result was:\r"
                        "     MMSYSERR_BADDEVICEID { device ID out of range } (2)\r\r") +
                kSuggestions);
  // The backend's own text follows the result line.
  EXPECT_EQ(DriverErrorReport(12, 7, "Insufficient memory"),
            std::string("An error was returned by the Windows API\ror the soundcard driver, "
                        "during the operation:\r       waveInAddBuffer\rThe error result was:\r"
                        "     MMSYSERR_NOMEM { memory allocation error } (7)\r"
                        "     Insufficient memory\r\r") +
                kSuggestions);
}

TEST(DriverErrorReportTest, OperationAndResultNames) {
  const std::pair<int, const char*> operations[] = {
      {0, "waveOutOpen"},          {1, "waveOutPause"}, {5, "waveOutWrite"},
      {6, "waveOutWrite"},         {7, "waveOutWrite"}, {8, "waveInStart"},
      {9, "waveOutRestart"},       {10, "waveInOpen"},  {12, "waveInAddBuffer"},
      {88, "(operation aborted)"}, {2, "unknown"},      {11, "unknown"}};
  for (const auto& [step, name] : operations) EXPECT_EQ(DriverOperationName(step), name) << step;

  const std::pair<int, const char*> results[] = {
      {0, "MMSYSERR_NOERROR { no error }"},
      {9, "MMSYSERR_BADERRNUM  { error value out of range }"},
      {10, "MMSYSERR_INVALFLAG  { invalid flag passed }"},
      {12,
       "MMSYSERR_HANDLEBUSY { handle being used simultaneously on another thread (eg "
       "callback) }"},
      {13, "MMSYSERR_INVALIDALIAS { specified alias not found }"},
      {20, "MMSYSERR_NODRIVERCB { driver does not call DriverCallback }"},
      {1, "Unknown error"},
      {32, "Unknown error"}};
  for (const auto& [result, text] : results) EXPECT_EQ(DriverResultText(result), text) << result;
}

}  // namespace
}  // namespace vireon
