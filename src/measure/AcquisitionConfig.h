#pragma once

#include <cstdint>

#include "config/ConfigBindings.h"
#include "measure/AcquisitionFormats.h"
#include "measure/AcquisitionSettings.h"
#include "record/FftWindows.h"

namespace vireon {

// The acquisition window's settings that the analysis itself does not read, with their defaults.

enum class TriggerPolarity { kOff = 0, kPositive = 1, kNegative = 2, kBoth = 3 };  // "[+]" ...
enum class TriggerSlope { kRise = 0, kFall = 1, kAny = 2 };  // "rise /", "fall \\", "any/\\"

// The level trigger; polarity "Off" means no trigger.
struct AcquisitionTrigger {
  TriggerPolarity polarity = TriggerPolarity::kOff;  // "TrigPolarity"
  int channel = 0;                                   // "TrigChannel": 0 "from Ch1", 1 "from Ch2"
  double threshold = 1.0;                            // "TrigThreshold": V or Pa, 1e-06 .. 1000
  double position_percent = 50.0;            // "TrigPosPercent": pre-trigger share, 1 .. 100
  TriggerSlope slope = TriggerSlope::kRise;  // "TrigSlope"
  bool free_run_after_trigger = false;       // "FreeRunAfterTrig"

  friend bool operator==(const AcquisitionTrigger&, const AcquisitionTrigger&) = default;
};

// "Calc Total:" the total level of a spectrum per channel.
struct SpectrumTotals {
  bool channel1 = false;             // "ShouldCalcTotal1"
  bool channel2 = false;             // "ShouldCalcTotal2"
  bool displayed_freqs_only = true;  // "CalcDisplayedFreqsOnly": "Displayed Freqs" / "All Freqs"

  friend bool operator==(const SpectrumTotals&, const SpectrumTotals&) = default;
};

struct AcquisitionExtras {
  AcquisitionTrigger trigger;
  SpectrumTotals totals;
  // The window code kept for synchronous and for asynchronous stimuli.
  std::uint8_t window_sync = kBlackmanHarris4Window;   // "WndKindSync"
  std::uint8_t window_async = kBlackmanHarris4Window;  // "WndKindAsync"
  // The main window's selections, as items of its lists.
  int stimulus_item = 0;     // "Stimulus_Index"
  int acquisition_item = 0;  // "Acquisition_Index"

  friend bool operator==(const AcquisitionExtras&, const AcquisitionExtras&) = default;
};

// Binds the acquisition settings of the software file: those of "VireonSystem" and every
// "AcqMode" section's acquisition keys. Values read out of range are limited to the window's
// limits; an FFT size becomes the power of two not above it.
void BindAcquisitionSettings(ConfigBindings& software, AcquisitionSettings& settings,
                             AcquisitionExtras& extras, AcquisitionFormats& formats);

}  // namespace vireon
