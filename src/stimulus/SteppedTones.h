#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "stimulus/ToneSet.h"

namespace vireon {

// Stepped tones: tones whose frequency and level move from a start to a stop value over a number
// of steps, one tone list per step.

struct TStepFSpec {
  double FreqStart = 20.0;    // Hz
  double FreqStop = 20000.0;  // Hz
  double LevelStart = 1.0;    // fraction of full scale
  double LevelStop = 1.0;
  std::int32_t LogFreq = 1;  // 1 logarithmic steps, 0 linear
  std::int32_t LogLevel = 1;
};
using TStepFSpecArray = std::vector<TStepFSpec>;

struct SteppedToneSettings {
  TStepFSpecArray channel1 = TStepFSpecArray(1);  // one tone of the defaults each
  TStepFSpecArray channel2 = TStepFSpecArray(1);
  int steps = 100;
  bool use_spec = true;  // false: the steps come from the list file
  std::string list_file_name;
};

// The lists of step k (0-based) from the tone table; false once k reaches the step count.
// List Q is built from channel 2's tone table only when `two_channel` (the "2ch asynch" class).
bool NextStep(const SteppedToneSettings& settings, int k, bool two_channel, int play_rate,
              int record_rate, ToneLists& lists);

// Divides every amplitude by the sum of their magnitudes when that sum is 1 or more.
void NormaliseStepAmplitudes(SineParsArray& list);

}  // namespace vireon
