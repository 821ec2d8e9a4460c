#pragma once

#include <cstdint>
#include <vector>

#include "stimulus/StimulusGenerator.h"
#include "stimulus/StimulusSelection.h"

namespace vireon {

// How the synchronous engine lays out its stimulus periods, in play samples.
struct PeriodTiming {
  std::int32_t adc_lpf_delay = 56;  // taken off the MLS pre-roll
  std::int32_t extra_tail = 0;      // added after every stimulus other than MLS
  std::int32_t inter_silence = 0;   // round(play rate × "InterSilence")
  std::int32_t line_period = 0;     // round(record rate / line frequency); 0: no alignment
  bool invert_alternate = false;    // "Invert Alternate Stims"
  double sync_pulse_level_db = -9.0;
  std::int32_t sync_bit_length = 63;  // h, see SyncBitLength
};

// Frames of one stimulus period before the record length: the MLS pre-roll that makes the
// captured period circular (2^order - ADC LPF delay - 1), else the extra tail.
std::int32_t PeriodLeadFrames(const StimulusGenerator& generator, const PeriodTiming& timing);

// The packed stereo frames the engine plays after its stabilizing lead-in, for `periods` stimulus
// periods of the selection's record length, from a generator just selected. Synchronous stimuli:
// what SyncOutputSequence writes after its lead-in (the stimulus on output 1 with its pre-roll,
// the gaps and line-cycle alignment between periods, none after the last, and the sync code in
// preamble mode on output 2). Asynchronous stimuli: `periods` record lengths of the generator's
// output, pre-delay included.
std::vector<std::uint8_t> GenerateStimulusFrames(StimulusGenerator& generator,
                                                 const StimulusSelection& selection,
                                                 const PeriodTiming& timing, int periods);

}  // namespace vireon
