#pragma once

#include <cstdint>

#include "audio/engine/EngineBlocks.h"
#include "stimulus/MlsTables.h"
#include "stimulus/StimulusFrames.h"
#include "stimulus/StimulusGenerator.h"
#include "stimulus/StimulusSelection.h"

namespace vireon {

// What the synchronous engine takes from the settings at one start. Play and record run on one
// sample clock at one rate.
struct SyncEngineSettings {
  PeriodTiming timing;                    // its sync_bit_length is SyncBitLength(latency_s)
  double latency_s = 0.05;                // "Latency48k": the round trip the sync code must cover
  bool play_polarity_inverted = false;    // device calibration of the play device
  bool record_polarity_inverted = false;  // of the record device (off in digital I/O mode)
  std::int32_t capture_length = 0;        // the record length of the acquisition
};

// Capture A holds a whole sync search and the capture with the round trip.
std::size_t SyncCaptureSize(const SyncEngineSettings& settings);

// The synchronous engine's block routines: stimulus periods on output 1 and the sync code on
// output 2; input 2 locked to the code, input 1 captured aligned so that capture index 0 is the
// first sample of a period's capture (after the MLS pre-roll) as it comes back. `generator` has
// been selected for a synchronous stimulus; it and `sync_tables` (the order-8 tables of the sync
// register) outlive the routines.
BlockRoutinesFactory MakeSyncBlockRoutines(StimulusGenerator& generator,
                                           const StimulusSelection& selection,
                                           const SyncEngineSettings& settings,
                                           const MlsTables& sync_tables);

}  // namespace vireon
