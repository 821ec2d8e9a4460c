#pragma once

#include <cstdint>

#include "stimulus/CfgStim.h"
#include "stimulus/StimulusSelection.h"
#include "stimulus/StimulusTable.h"

namespace vireon {

// The record length of one stimulus period: an MLS period, a chirp's sweep (after its pre-delay
// when asynchronous), else `other_length` (the acquisition's record length).
std::int32_t StimulusRecordLength(const StimulusType& type, const StimulusSettings& settings,
                                  const StimulusSelection& selection, std::int32_t other_length);

}  // namespace vireon
