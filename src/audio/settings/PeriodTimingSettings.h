#pragma once

#include "audio/settings/TimingSettings.h"
#include "stimulus/StimulusFrames.h"

namespace vireon {

// The synchronous engine's period layout from the settings: the inter-period silence in play
// samples, line-cycle alignment at the record rate, the ADC filter delay taken off the MLS
// pre-roll, and the sync code's level and bit length from the card's round trip.
PeriodTiming PeriodTimingFromSettings(const TimingSettings& timing, double inter_silence_s,
                                      int play_rate, int record_rate, bool invert_alternate);

}  // namespace vireon
