#pragma once

#include <cstdint>

#include "record/DataObj.h"
#include "stimulus/MlsTables.h"

namespace vireon {

// Impulse responses of the MLS stimuli from one pass (column 0 = channel A, column 1 = channel
// B). Every result is placed so that its time axis starts at -d / rate, d being the converter's
// filter delay in samples: the impulse of a direct connection sits at sample d.
//
// Both refuse (false, pass unchanged) when the tables are not those of the sequence's order, the
// pass holds less than one period per channel or has no sample rate.

// Synchronous MLS: the engine's pre-roll already puts the impulse at sample d, so channel A is
// recovered in place. Start time and the channel delay (FDelayA; FDelayB for one-channel data)
// become -d / rate; FEndX follows the length.
bool RecoverSynchronousMlsImpulse(TDataMeas& pass, const MlsTables& tables, int order,
                                  std::int32_t converter_delay);

// ReSync MLS: both channels are recovered; both are rotated circularly over one period so that
// the peak of channel B, the reference, lands on sample d, which times channel A relative to the
// reference whatever the playback and recording latencies were. Start time and FDelayA become
// -d / rate. Also refused for a pass without channel B.
bool RecoverResyncMlsImpulses(TDataMeas& pass, const MlsTables& tables, int order,
                              std::int32_t converter_delay);

}  // namespace vireon
