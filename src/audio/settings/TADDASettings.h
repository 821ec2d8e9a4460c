#pragma once

namespace vireon {

// What the audio interface settings hand to the engine at every change.
struct TADDASettings {
  int PlayBits = 16;     // 16 or 24
  int RecBits = 16;      // 16 or 24
  int PlayRate = 96000;  // Hz, a rate of the rate table
  int RecRate = 96000;   // Hz, a rate of the rate table
  double Gain1 = 1.0;    // linear gain of "Output 1 (L)", through OutputGain
  double Gain2 = 1.0;    // the same for "Output 2 (R)"
  int InGain1 = 0;       // input gain track bar positions, dB
  int InGain2 = 0;
  int InSel1 = 2;  // designation of input 1, an index into the input list ("Mic 1")
  int InSel2 = 0;  // designation of input 2 ("Probe 1")

  bool operator==(const TADDASettings&) const = default;
};

}  // namespace vireon
