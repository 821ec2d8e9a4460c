#pragma once

#include "config/ConfigBindings.h"
#include "stimulus/ToneSet.h"

namespace vireon {

// The settings of "Component Tracking Configuration": which stimulus component each of the two
// curves of the component-tracking acquisitions follows, and what it reports.

inline constexpr int kMinComponentMultiplier = -100;
inline constexpr int kMaxComponentMultiplier = 100;
inline constexpr int kMinToneNumber = 1;
inline constexpr int kMaxToneNumber = 100;
inline constexpr int kMinMaxHarmonic = 2;
inline constexpr int kMaxMaxHarmonic = 100;

// "Reference result to measurement at Frequency": the curve's result is divided by the
// magnitude measured at F(A) or F(B).
enum class ComponentReference { kA = 0, kB = 1, kNone = 2 };

// One curve: f = |mult_a·F(A) + mult_b·F(B)|, F(A) being the frequency of tone number tone_a of
// output channel_a (1 or 2), F(B) likewise.
struct ComponentCurve {
  int mult_a = 1;
  int mult_b = 1;
  int tone_a = 1;
  int tone_b = 1;
  int channel_a = 1;
  int channel_b = 1;
  ComponentReference reference = ComponentReference::kNone;
  bool thd = false;  // "Analyze THD": store the total harmonic distortion of f instead
};

struct ComponentTrackSettings {
  ComponentCurve curve1;  // column "Frequency Comp[A]"
  ComponentCurve curve2;  // column "Frequency Comp[B]"
  int max_harmonic = 5;   // "Max Harmonic for THD=", shared by both curves
  // x of each point: tone 1 of this output (2 counts only for the two-channel stepped tones),
  // its frequency or its level.
  int domain_channel = 1;
  bool domain_is_frequency = true;
};

// Tone number `tone` (from 1, clamped to the list) of output `channel` (1, or 2 for list Q);
// nullptr for an empty list.
const TSinePars* ToneAt(const ToneLists& tones, int channel, int tone);
// 0 where a tone is missing.
double ComponentFrequency(const ComponentCurve& curve, const ToneLists& tones);

// The "ComponentTracking" section's keys of the software configuration.
void BindComponentTracking(ConfigBindings& software, ComponentTrackSettings& settings);

}  // namespace vireon
