#pragma once

#include <string>

#include "config/ConfigBindings.h"
#include "stimulus/SteppedTones.h"

namespace vireon {

// The settings of the stimulus configuration, with their defaults, and their configuration keys.

struct ChirpSettings {
  double start_hz = 20.0;              // "ChirpStartFreq"
  double stop_hz = 20000.0;            // "ChirpStopFreq"
  double time_length_s = 0.2;          // "ChirpTimeLength"
  bool linear_sweep = false;           // "ChirpLinearSweep"
  bool output2_lowpass = false;        // "UseChirpLP": "LPF on Output 2 (chirps)"
  double output2_lowpass_hz = 1000.0;  // "ChirpLPFfreq"
};

// "Apply Envelope" of tone bursts.
enum class EnvelopeKind { kNone = 0, kRaisedCosine = 1, kCosineSquared = 2, kCustom = 3 };
struct EnvelopeSettings {
  int kind = 0;       // "EnvelopeType", an EnvelopeKind
  int length = 1000;  // "EnvelopeLength", samples
};

struct WaveletBurstSettings {
  double cycles = 7.0;                // "WaveletLength"
  int window = 3;                     // "WaveletEnvelopeShape", index into the burst windows
  double second_tone_multiple = 1.0;  // "Wavelet2ndToneFreqMult"; 1 = no second tone
  double second_tone_db = -6.0;       // "Wavelet2ndTonedBLev"
};

struct StimulusSettings {
  ChirpSettings chirp;
  EnvelopeSettings envelope;
  WaveletBurstSettings wavelet;
  SteppedToneSettings stepped;
  int mls_length = 4096;          // "MLSLength", points
  double inter_silence_s = 0.1;   // "InterSilence": "Min. Inter-Silence"
  bool invert_alternate = false;  // "Invert Alternate Stims"; no configuration key holds it
  double output1_db = 1.0;        // "P_Out_Adj": "Output 1 (L)"
  double output2_db = 1.0;        // "Q_Out_Adj": "Output 2 (R)"
  bool output1_enabled = true;    // "OutputEnabled1": the enable box of "Output 1 (L)"
  bool output2_enabled = true;    // "OutputEnabled2"
  std::string wav_file_name;      // "Load Wave File"
};

// Binds every setting above that the software configuration file holds.
void BindStimulusSettings(ConfigBindings& software, StimulusSettings& settings);

}  // namespace vireon
