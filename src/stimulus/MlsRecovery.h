#pragma once

#include <span>

#include "record/DataObj.h"
#include "stimulus/MlsTables.h"

namespace vireon {

// In-place Walsh-Hadamard transform (unnormalised); the length must be a power of two.
void FastHadamardTransform(std::span<double> values);

// Replaces one recorded, aligned period of the sequence (the first 2^order - 1 samples) by the
// system's circular impulse response; later samples take the value of the last one. Refused
// (false, samples unchanged) when the tables are not those of the sequence's order or the samples
// are fewer than one period.
bool RecoverMLSImpulse(std::span<double> samples, const MlsTables& tables, int sequence_order);
// The same on one column of a time record.
bool RecoverMLSImpulse(TDataMeas& record, int column, const MlsTables& tables, int sequence_order);

}  // namespace vireon
