#pragma once

#include <cstdint>
#include <span>

#include "record/AnalysisContext.h"
#include "record/DataObj.h"

namespace vireon {

// Rectangular ↔ polar in place: re becomes the magnitude and im the phase in degrees, and back.
void ToPolar(std::span<double> re, std::span<double> im);
void ToRectangular(std::span<double> mag, std::span<double> deg);

// Windows column 0 (and column 1 with two_channels) and transforms them: column 1/2 receive
// channel A's real and imaginary parts, columns 3/4 channel B's. Nothing happens unless
// FWinStart < FWinEnd. Half windows with the frequency-dependent option use the sliding tail.
void WindowedFFT(TDataMeas& record, std::int32_t source_length, bool two_channels,
                 std::int32_t fft_length, double gain_b, double gain_a, AnalysisContext& context);

// Sampled type 0 → frequency response (type 1) of Pow2Floor(FNumPoints) points, raw DFT sums.
void ToFrequencyResponse(TDataMeas& record);

// Types 1, 2 and 15 on a linear axis of m or m+1 points → a time record of 2m samples, rotated
// right by the converter delay.
void ToTimeDomain(TDataMeas& record, const AnalysisContext& context);

// Windowed spectrum (type 2) of a sampled source into target, with the FFT length setting.
void ToSpectrum(TDataMeas& target, const TDataMeas& source, bool keep_low_bins,
                AnalysisContext& context);

// One DFT bin of column 0 at the frequency; 0 at or above half the sample rate.
double SingleFrequencyMagnitude(const TDataMeas& record, double frequency);

}  // namespace vireon
