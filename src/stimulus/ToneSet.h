#pragma once

#include <cstdint>
#include <vector>

namespace vireon {

// Tone lists: the components whose sum the tone stimuli play, list P on output 1 and list Q on
// output 2.

enum class ToneKind : std::int32_t {
  kSine = 0,
  kSquare = 1,
  kStep = 2,
  kImpulse = 3,
  kTriangle = 4
};

struct TSinePars {
  double Frequency = 1000.0;  // Hz
  double Omega = 0.0;         // angular step per sample, 2π·Frequency / play rate
  double Amplitude = 0.5;     // fraction of full scale
  double Phase = 0.0;         // radians in (-π, π]; the position in samples for Step and Impulse
  std::int32_t Kind = 0;      // a ToneKind
  double Duty = 0.5;          // fraction, used by Square
};
using SineParsArray = std::vector<TSinePars>;

struct ToneLists {
  SineParsArray p;  // output 1
  SineParsArray q;  // output 2
};

// The lists as a configuration load leaves them: one 1000 Hz sine each, amplitude 0.5 in P and 1
// in Q.
ToneLists DefaultToneLists();

// Appends a component with its Omega at the play rate and its phase wrapped into (-π, π] (the
// position in samples of a step or an impulse is kept as it is).
void AddComponent(SineParsArray& list, ToneKind kind, double duty, double phase, double amplitude,
                  double frequency, int play_rate);
void ClearToneSet(SineParsArray& list);
// Omega of every component, after the play rate changed.
void SetToneRate(SineParsArray& list, int play_rate);

double WrapPhase(double radians);  // into (-π, π]
double AmplitudeSum(const SineParsArray& list);

// "Auto Output Peak setting": scales the amplitudes so that they sum to at most 1, keeping their
// proportions or ("All Same") making them equal first.
enum class PeakSetting { kProportions, kAllSame };
void AutoPeak(SineParsArray& list, PeakSetting setting);

// One component, and the sum of a list's components, at sample n of the list's own counter, in
// fractions of full scale.
double ToneComponentValue(const TSinePars& component, std::int64_t n);
double ToneSetValue(const SineParsArray& list, std::int64_t n);

// "Auto-Generate Waveform Set": each quantity starts at `start` and moves towards `limit` by adding
// `step` or, with `multiply`, by the factor `step`.
struct AutoRamp {
  double start = 0.0;
  double limit = 0.0;
  double step = 0.0;
  bool multiply = false;
};
struct AutoGenerateParameters {
  AutoRamp frequency;  // Hz
  AutoRamp level;      // fraction of full scale
  AutoRamp phase;      // degrees
  int max_components = 20;
  bool exact_bins = false;  // move each frequency to the nearest bin of an fft_size-point transform
  int fft_size = 4096;
};
void AutoGenerate(SineParsArray& list, const AutoGenerateParameters& parameters, int play_rate);

}  // namespace vireon
