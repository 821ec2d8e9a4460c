#pragma once

#include <span>

#include "record/DataObj.h"

namespace vireon {

// Discrete Fourier transforms of power-of-two length on split real/imaginary arrays.
// Forward kernel e^(-i2πkn/N) without scaling; inverse kernel e^(+i2πkn/N) scaled by 1/N.
// Twiddle tables are built once per size and shared read-only, so any thread may transform.
// Lengths that are not a power of two, or unequal arrays, leave the data unchanged.

// Forward complex transform in place.
void ComplexFFT(std::span<double> re, std::span<double> im);

// Forward transform of a real array: im is resized to re's length, zero-filled, and both
// receive the spectrum.
void ForwardFFT(DataArray& re, DataArray& im);

// Inverse transform in place: re receives the (real part of the) result scaled by 1/N and im
// is zeroed.
void InverseFFT(std::span<double> re, std::span<double> im);

// The complex inverse transform scaled by 1/N, keeping the imaginary part.
void InverseComplexFFT(std::span<double> re, std::span<double> im);

// ComplexFFT with the stages built for the baseline instruction set even where a wider one is
// available, so tests can show that both builds give bit-identical results.
void ComplexFFTBaselineStages(std::span<double> re, std::span<double> im);

}  // namespace vireon
