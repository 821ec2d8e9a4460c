#pragma once

#include "record/DataObj.h"

namespace vireon {

// Replaces column 0 (and column 1) of the sampled numerator by its deconvolution with the
// divisor (spectral division over Pow2Ceil of the longer length): "DeConvolved Ch1"/"Ch2". A
// bin where the divisor's spectrum is exactly zero gives 0. Records of other types or unequal
// sample rates are left unchanged.
void Deconvolve(TDataMeas& numerator, const TDataMeas& divisor);

// The same with the product of the spectra: "Convolved Ch1"/"Ch2".
void Convolve(TDataMeas& record, const TDataMeas& other);

}  // namespace vireon
