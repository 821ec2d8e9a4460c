#pragma once

#include <string>

namespace vireon {

// Steps of the start sequence, as the driver error report names them.
enum StartStep : int {
  kStepOutputOpen = 0,
  kStepOutputPause = 1,
  kStepOutputWrite0 = 5,
  kStepOutputWrite1 = 6,
  kStepOutputWrite2 = 7,  // buffers 2 and 3
  kStepInputStart = 8,
  kStepOutputRestart = 9,
  kStepInputOpen = 10,
  kStepInputAdd = 12,
  kStepAborted = 88,
};

std::string DriverOperationName(int step);
std::string DriverResultText(int result);
// The message shown when the driver fails during a start. `backend_text` is the backend's own
// description of the error, shown under the result when there is one.
std::string DriverErrorReport(int step, int result, const std::string& backend_text = {});

}  // namespace vireon
