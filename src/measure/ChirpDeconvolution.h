#pragma once

#include <complex>
#include <cstdint>
#include <span>
#include <vector>

#include "record/AnalysisContext.h"
#include "record/DataObj.h"

namespace vireon {

// Turning a recorded chirp into an impulse or frequency response. Every impulse result starts d
// samples into its record (d = the converter filter delay), so its time axis begins at -d/fs.

// The stimulus chirp (unit amplitude) zero-padded to the capture length N and transformed:
// X(k), k = 0..N/2, and the inverse filter e^(-i2πdk/N) / X(k), whose delay of d samples puts
// the deconvolved impulse d samples into the record. Bins without sweep energy filter to 0.
struct ChirpSpectra {
  std::int32_t length = 0;  // N
  std::vector<std::complex<double>> spectrum;
  std::vector<std::complex<double>> inverse;
};

// Throws VireonError("Error: Could not initialize Chirp Arrays.") for an empty chirp, an N that
// is not a power of two or is shorter than the chirp, or a failed allocation.
ChirpSpectra PrepareChirpSpectra(std::span<const double> chirp, std::int32_t capture_length,
                                 std::int32_t converter_delay);

// The next power of two at or above max(round(record/play × stimulus length × k), fft_size).
std::int32_t ChirpCaptureLength(int record_rate, int play_rate, std::int32_t stimulus_length,
                                double k, std::int32_t fft_size);

// The logarithmic sweep the distortion acquisitions deconvolve with: from f1 = fs/L to
// f2 = fs/2 - f1, K = T / ln(f2/f1) seconds, at the record rate fs.
struct SweepReference {
  std::int32_t length = 0;                     // L samples of the sweep
  std::int32_t capture_length = 0;             // N
  double start_hz = 0.0;                       // f1
  double stop_hz = 0.0;                        // f2
  double log_constant = 0.0;                   // K
  std::vector<double> sweep;                   // s[i], time-reversed for the intermodulation type
  std::vector<std::complex<double>> spectrum;  // X(k), k = 0..N/2
};

// Throws VireonError("Error: Could not initialize Chirp Arrays.") when no sweep fits.
SweepReference MakeSweepReference(double chirp_seconds, int play_rate, int record_rate,
                                  std::int32_t fft_size, bool reversed);

// Synchronous chirp: channel A deconvolved by the inverse filter at N points and scaled by
// 10^(-output level/20), so the impulse is relative to the stimulus; starts at -d/fs.
void DeconvolveSynchronousChirp(TDataMeas& pass, const ChirpSpectra& chirp, double output1_level_db,
                                std::int32_t converter_delay);

// Chirp ReSync: channel A (measured) over channel B (loopback). With the pass's FWindowType 0
// the direct frequency response is averaged (complex) into freq_rec, which then holds magnitude
// and phase; returns true. Otherwise the impulse response replaces the pass (one column,
// starting at -d/fs, the wrapped harmonic impulses of a log sweep of the given rate cut from
// its end); returns false. Microphone inputs are corrected through context.Correction.
bool ChirpResyncResponse(TDataMeas& pass, TDataMeas& freq_rec, double octaves_per_second,
                         std::int32_t converter_delay, AnalysisContext& context);

// Asynchronous impulse: each channel cross-correlated with the chirp, the earlier onset of the
// channels moved to sample d, the record cut to round(N/1.2). Spectra under 256 bins do nothing.
void RecoverAsynchronousImpulse(TDataMeas& pass, const ChirpSpectra& chirp,
                                std::int32_t converter_delay);

}  // namespace vireon
